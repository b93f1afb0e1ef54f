#!/usr/bin/env bash
# FATAL ERROR boxes of the real game on a display, and how they end: by a key
# in our own message window once the game window is up (a damaged data file,
# a damaged main.pak), by SIGTERM or SIGINT in any box, the desktop's one
# included (a zenity stand-in that waits for ever), a box before the game
# has its data folder, and the binary alone in an empty folder (no music
# library beside it). Each must end the game with status 1 and leave no box,
# no crash report and no report window behind.
set -u
GAME=$1
DATA=$2
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 0; fi
command -v xdotool > /dev/null || { echo "no xdotool: skipped"; exit 0; }
TOOLS=$(dirname "$GAME")/tools
WORK=$(mktemp -d)
PID=
cleanup() {
  [ -n "$PID" ] && kill -KILL "$PID" 2> /dev/null
  [ -s "$WORK/zenity.pid" ] && kill -KILL "$(cat "$WORK/zenity.pid")" 2> /dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$WORK/game.err" ] && tail -5 "$WORK/game.err"; exit 1; }
step() { echo "-- $*"; }

"$TOOLS/pakbuild" "$DATA" "$WORK/main.pak" > /dev/null || fail "pakbuild"
# A data folder of the packed archive and a loose game.xml broken at its end
# (a loose file answers before the archive).
mkdir -p "$WORK/broken/properties"
cp "$WORK/main.pak" "$WORK/broken/"
sed 's#</game>#</gam#' "$DATA/properties/game.xml" > "$WORK/broken/properties/game.xml"
# A main.pak cut short: its directory runs past its end.
mkdir -p "$WORK/badpak"
head -c 4096 "$WORK/main.pak" > "$WORK/badpak/main.pak"

# Starts the game (env assignments, then arguments) with a fresh user folder;
# sets PID and USERDIR.
N=0
start() {
  N=$((N + 1)); USERDIR=$WORK/user$N
  mkdir -p "$USERDIR"
  env QUILTRO7_USER_DATA="$USERDIR" "$@" > "$WORK/game.err" 2>&1 &
  PID=$!
}
visible() { xdotool search --onlyvisible --name "$1" 2> /dev/null | head -1; }
# Waits up to 20 s for a visible window named by the pattern; sets WIN.
wait_window() {
  WIN=
  for _ in $(seq 1 200); do
    WIN=$(visible "$1"); [ -n "$WIN" ] && return 0
    kill -0 "$PID" 2> /dev/null || fail "the game ended before '$1' showed (rc $(wait "$PID"; echo $?))"
    sleep 0.1
  done
  fail "no window '$1'"
}
# Waits up to 10 s for the game to end; sets rc (124 when it did not).
finish() {
  for _ in $(seq 1 100); do kill -0 "$PID" 2> /dev/null || break; sleep 0.1; done
  if kill -0 "$PID" 2> /dev/null; then kill -KILL "$PID"; wait "$PID"; rc=124; else wait "$PID"; rc=$?; fi
  PID=
}
# Ended with status 1, every box gone and no crash on the way out (which
# would have left crash.txt and opened the report's "Fatal Error!" window).
ended_cleanly() {
  [ "$rc" -eq 1 ] || fail "$1: exit status $rc, not 1"
  sleep 0.3
  [ -z "$(visible '^FATAL ERROR$')" ] || fail "$1: the FATAL ERROR box stayed"
  [ -z "$(visible '^Fatal Error!$')" ] || fail "$1: a crash report window opened"
  for f in "$WORK"/broken/crash.txt "$WORK"/badpak/crash.txt "$WORK"/alone/crash.txt "$USERDIR"/crash.txt; do
    [ -e "$f" ] && fail "$1: the game crashed: $(head -3 "$f")"
  done
  grep -q "An unexpected error" "$WORK/game.err" && fail "$1: the game crashed on the way out"
  return 0
}
# Our own FATAL ERROR window, over the game window that opened before it.
own_box_over_game() {
  wait_window '^FATAL ERROR$'
  [ -n "$(visible '^Grand Quiltro 7$')" ] || fail "$1: the game window was not open under the box"
  sleep 0.3
  kill -0 "$PID" 2> /dev/null || fail "$1: the box did not wait"
}
press_key() { xdotool windowfocus --sync "$WIN" 2> /dev/null; xdotool key space; }
# Waits up to 20 s for the desktop's box: the zenity stand-in, or, where SDL
# can draw its own X11 box (core X fonts), that box. Fails with $1 if none.
box_shown() { [ -s "$WORK/zenity.pid" ] || [ -n "$(visible '^FATAL ERROR$')" ]; }
wait_desktop_box() {
  for _ in $(seq 1 200); do
    box_shown && return 0
    kill -0 "$PID" 2> /dev/null || fail "the game ended before its box showed"
    sleep 0.1
  done
  fail "$1"
}

step "a damaged data file: our window names it; a key ends the game"
start QUILTRO7_MESSAGE_BOX=own "$GAME" -changedir "$WORK/broken"
own_box_over_game "game.xml"
press_key
finish
ended_cleanly "game.xml, a key"
line=$(grep -n '</game>' "$DATA/properties/game.xml" | cut -d: -f1)
grep -q "FATAL ERROR: .*Line $line .*properties/game.xml" "$WORK/game.err" || fail "game.xml: the message lacks its file or line"

step "a damaged main.pak: the same, with the archive's reason"
start QUILTRO7_MESSAGE_BOX=own "$GAME" -changedir "$WORK/badpak"
own_box_over_game "main.pak"
press_key
finish
ended_cleanly "main.pak, a key"
grep -q "FATAL ERROR: Cannot read the game data archive" "$WORK/game.err" || fail "main.pak: not named in the message"

step "our window over the game window, told to quit by SIGTERM"
start QUILTRO7_MESSAGE_BOX=own "$GAME" -changedir "$WORK/broken"
own_box_over_game "SIGTERM"
kill -TERM "$PID"
finish
ended_cleanly "our window, SIGTERM"

step "the desktop's box (a zenity that waits for ever), told to quit by SIGINT"
mkdir -p "$WORK/bin"
cat > "$WORK/bin/zenity" << EOF
#!/bin/sh
echo \$\$ > "$WORK/zenity.pid"
exec sleep 60
EOF
chmod +x "$WORK/bin/zenity"
start PATH="$WORK/bin:$PATH" "$GAME" -changedir "$WORK/broken"
wait_desktop_box "no desktop box"
sleep 0.5
kill -0 "$PID" 2> /dev/null || fail "the desktop box did not wait"
kill -INT "$PID"
finish
ended_cleanly "the desktop's box, SIGINT"
if [ -s "$WORK/zenity.pid" ]; then
  kill -0 "$(cat "$WORK/zenity.pid")" 2> /dev/null && { kill "$(cat "$WORK/zenity.pid")"; fail "the zenity box stayed"; }
fi

step "a box before anything else (no data folder), SIGTERM"
rm -f "$WORK/zenity.pid"
start PATH="$WORK/bin:$PATH" "$GAME" -changedir "$WORK/nonexistent"
wait_desktop_box "no data folder: no box"
sleep 0.3
kill -TERM "$PID"
finish
ended_cleanly "no data folder, SIGTERM"
grep -q "FATAL ERROR: Cannot open the data folder" "$WORK/game.err" || fail "no data folder: not named"
if [ -s "$WORK/zenity.pid" ]; then
  kill -0 "$(cat "$WORK/zenity.pid")" 2> /dev/null && fail "no data folder: the zenity box stayed"
fi

step "the binary alone in an empty folder (no music library), SIGTERM"
mkdir -p "$WORK/alone"
cp "$GAME" "$WORK/alone/"
cd "$WORK/alone" || fail "no folder"
start "$WORK/alone/$(basename "$GAME")"
wait_window '^FATAL ERROR$'
sleep 0.3
kill -0 "$PID" 2> /dev/null || fail "alone: the box did not wait"
kill -TERM "$PID"
finish
ended_cleanly "alone, SIGTERM"
grep -q "FATAL ERROR: " "$WORK/game.err" || fail "alone: no FATAL ERROR text"
cd / || true
echo "ok"
