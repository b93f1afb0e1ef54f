#!/usr/bin/env bash
# Without the music library beside the program the game says so and exits
# with an error, before opening its window (window.sh checks that it starts
# with its sounds).
set -u
GAME=$1
DATA=$2
USERDIR=$(mktemp -d)
BARE=$(mktemp -d)
trap 'rm -rf "$USERDIR" "$BARE"' EXIT
export QUILTRO7_USER_DATA=$USERDIR SDL_AUDIODRIVER=dummy

cp "$GAME" "$BARE/"
# No display: the message goes to stderr instead of a dialog that waits.
out=$(timeout 30 env -u DISPLAY -u WAYLAND_DISPLAY "$BARE/$(basename "$GAME")" -changedir "$DATA" 2>&1 < /dev/null); rc=$?
if [ $rc -eq 0 ] || ! grep -q "Can't find libstreammusic.so" <<<"$out"; then
  echo "FAIL: without the music library rc=$rc output: $out"; exit 1
fi
echo "ok"
