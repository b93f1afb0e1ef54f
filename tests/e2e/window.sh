#!/usr/bin/env bash
# Starts the real game in a window, closes it the way a desktop does (SIGTERM,
# then the close request), and checks it left settings.xml behind. Also checks
# that a bad parameter is refused with the message and a non-zero exit.
set -u
GAME=$1
DATA=$2
USERDIR=$(mktemp -d)
trap 'rm -rf "$USERDIR"' EXIT
export QUILTRO7_USER_DATA=$USERDIR

# Without a display the message box text goes to stderr only.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$GAME" -bogus 2>&1 < /dev/null); rc=$?
if [ $rc -eq 0 ] || ! grep -q "Invalid command line parameter: -bogus" <<<"$out"; then
  echo "FAIL: -bogus gave rc=$rc output: $out"; exit 1
fi

# No display at all: a clear message and a non-zero exit, not an invisible game.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 "$GAME" -changedir "$DATA" 2>&1 < /dev/null); rc=$?
if [ $rc -eq 0 ] || ! grep -q "Cannot open the game window" <<<"$out"; then
  echo "FAIL: without a display rc=$rc output: $out"; exit 1
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "no display: window part skipped"; exit 0
fi
"$GAME" -changedir "$DATA" 2> "$USERDIR/run.err" &
pid=$!
sleep 3
if ! kill -0 $pid 2>/dev/null; then echo "FAIL: game exited early"; exit 1; fi
kill -TERM $pid
for _ in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
wait $pid; rc=$?
[ $rc -eq 0 ] || { echo "FAIL: exit code $rc after SIGTERM"; exit 1; }
grep -q '<settings ' "$USERDIR/settings.xml" || { echo "FAIL: settings.xml not written"; exit 1; }
# Its sounds loaded: the Ogg and AU effects left their decoded copies.
for copy in Glow hover; do
  head -c 4 "$USERDIR/cached/sounds/$copy.wav" 2>/dev/null | grep -q RIFF || { echo "FAIL: no cached $copy.wav"; exit 1; }
done
# Every command our scripts use is known to the game itself (a command
# registered only by a file the game never links would show here).
if grep -q "Unknown script command" "$USERDIR/run.err"; then
  echo "FAIL: $(grep "Unknown script command" "$USERDIR/run.err" | head -3)"; exit 1
fi
echo "ok"
