#!/usr/bin/env bash
# Starts the real game with SDL's dummy audio driver: its sounds load (the Ogg
# and AU effects leave their decoded copies in the user folder), it plays on
# and ends cleanly. Without the music library beside the program it says so
# and exits with an error.
set -u
GAME=$1
DATA=$2
USERDIR=$(mktemp -d)
BARE=$(mktemp -d)
trap 'rm -rf "$USERDIR" "$BARE"' EXIT
export QUILTRO7_USER_DATA=$USERDIR SDL_AUDIODRIVER=dummy

if [ -z "${DISPLAY:-}" ]; then
  echo "no display: skipped"; exit 0
fi
"$GAME" -changedir "$DATA" &
pid=$!
sleep 3
if ! kill -0 $pid 2>/dev/null; then echo "FAIL: game exited early"; exit 1; fi
kill -TERM $pid
for _ in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
wait $pid; rc=$?
[ $rc -eq 0 ] || { echo "FAIL: exit code $rc after SIGTERM"; exit 1; }
for copy in Glow hover; do
  head -c 4 "$USERDIR/cached/sounds/$copy.wav" 2>/dev/null | grep -q RIFF || { echo "FAIL: no cached $copy.wav"; exit 1; }
done

cp "$GAME" "$BARE/"
out=$("$BARE/$(basename "$GAME")" -changedir "$DATA" 2>&1 < /dev/null); rc=$?
if [ $rc -eq 0 ] || ! grep -q "Can't find libstreammusic.so" <<<"$out"; then
  echo "FAIL: without the music library rc=$rc output: $out"; exit 1
fi
echo "ok"
