#!/usr/bin/env bash
# Without the music library beside the program the game says so and exits
# with an error, before opening its window (window.sh checks that it starts
# with its sounds). Without a sound device it starts and runs in silence.
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

# No sound device at all (a driver that cannot open): the game starts, its
# sounds and music count as loaded, and it quits cleanly.
if [ -n "${DISPLAY:-}" ]; then
  SDL_AUDIODRIVER=no_such_driver "$GAME" -changedir "$DATA" > "$USERDIR/silent.log" 2>&1 &
  pid=$!
  sleep 4
  if ! kill -0 $pid 2>/dev/null; then
    echo "FAIL: without a sound device the game stopped: $(cat "$USERDIR/silent.log")"; exit 1
  fi
  kill -TERM $pid; wait $pid; rc=$?
  if [ $rc -ne 0 ] || grep -q "FATAL ERROR" "$USERDIR/silent.log"; then
    echo "FAIL: without a sound device rc=$rc: $(cat "$USERDIR/silent.log")"; exit 1
  fi
fi
echo "ok"
