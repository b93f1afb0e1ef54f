#!/usr/bin/env bash
# FATAL ERROR boxes of the real game on a display, and how they end: by a key
# in our own message window once the game window is up (a damaged data file,
# a damaged main.pak; not by a key held since before it showed), by SIGTERM
# or SIGINT in any box, the desktop's one included, a box before the game
# has its data folder, and the binary alone in an empty folder (no music
# library beside it). Each must end the game with status 1 and leave no box,
# no crash report and no report window behind.
# The desktop's box is tried both ways SDL shows it: with core X fonts
# (xfonts-base) SDL draws its own X11 box in a forked copy of the game, which
# must go when the game is killed and take SIGTERM; without them SDL runs
# zenity (here a stand-in that waits for ever), tried on an X server of our
# own whose font path has none.
set -u
GAME=$1
DATA=$2
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 0; fi
command -v xdotool > /dev/null || { echo "no xdotool: skipped"; exit 0; }
for tool in xwininfo xlsfonts xev Xvfb; do
  command -v $tool > /dev/null || { echo "FAIL: no $tool (x11-utils, xvfb)"; exit 1; }
done
TOOLS=$(dirname "$GAME")/tools
WORK=$(mktemp -d)
MAINDISPLAY=$DISPLAY
PID=
COPIES=
KEYHELD=
HOLDER=
cleanup() {
  [ -n "$KEYHELD" ] && DISPLAY=$MAINDISPLAY xdotool keyup space 2> /dev/null
  [ -n "$HOLDER" ] && kill "$HOLDER" 2> /dev/null
  [ -n "$PID" ] && kill -KILL "$PID" 2> /dev/null
  [ -s "$WORK/zenity.pid" ] && kill -KILL "$(cat "$WORK/zenity.pid")" 2> /dev/null
  for p in $COPIES; do kill -KILL "$p" 2> /dev/null; done
  stop_x_servers
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$WORK/game.err" ] && tail -5 "$WORK/game.err"; exit 1; }
step() { echo "-- $*"; }
. "$(dirname "$0")/lib/xserver.sh"

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
# sets PID and USERDIR. What earlier runs left (the zenity stand-in's pid
# file) is cleared first, and no box may count as shown before this one
# starts: a wait for its box then sees only its own.
N=0
start() {
  rm -f "$WORK/zenity.pid"
  box_shown && fail "a box counts as shown before the game started"
  N=$((N + 1)); USERDIR=$WORK/user$N
  mkdir -p "$USERDIR"
  env QUILTRO7_USER_DATA="$USERDIR" "$@" > "$WORK/game.err" 2>&1 &
  PID=$!
}
visible() { xdotool search --onlyvisible --name "$1" 2> /dev/null | head -1; }
# The viewable FATAL ERROR windows, ours or SDL's X11 box, whose name (a
# UTF8_STRING) xdotool's search does not match.
fatal_windows() {
  xwininfo -root -tree 2> /dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "FATAL ERROR":.*/\1/p' | while read -r id; do
    xwininfo -id "$id" 2> /dev/null | grep -q 'Map State: IsViewable' && echo "$id"
  done
}
# The running copies of the game that the game forked (SDL's X11 box): its
# children that run its own program file.
copies_of() {
  local child exe
  exe=$(readlink -f /proc/"$1"/exe 2> /dev/null) || return 0
  for child in $(cat /proc/"$1"/task/*/children 2> /dev/null); do
    [ "$(readlink -f /proc/"$child"/exe 2> /dev/null)" = "$exe" ] && echo "$child"
  done
}
# Whether a process runs (one ended, waiting for its parent, has not).
running() { [ -e /proc/"$1"/stat ] && ! awk '{ exit ($3 != "Z") }' /proc/"$1"/stat 2> /dev/null; }
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
  [ -z "$(fatal_windows)" ] || fail "$1: the FATAL ERROR box stayed"
  [ -z "$(visible '^Fatal Error!$')" ] || fail "$1: a crash report window opened"
  for f in "$WORK"/broken/crash.txt "$WORK"/badpak/crash.txt "$WORK"/alone/crash.txt "$USERDIR"/crash.txt; do
    [ -e "$f" ] && fail "$1: the game crashed: $(head -3 "$f")"
  done
  grep -q "An unexpected error" "$WORK/game.err" && fail "$1: the game crashed on the way out"
  return 0
}
# The shown box waits; the signal $1 ends the game cleanly, and SDL's box
# (a forked copy of the game) goes with it. $2 names the step.
box_ends_by() {
  COPIES=$(copies_of "$PID")
  sleep 0.3
  kill -0 "$PID" 2> /dev/null || fail "$2: the box did not wait"
  kill -"$1" "$PID"
  finish
  ended_cleanly "$2, SIG$1"
  for copy in $COPIES; do running "$copy" && fail "$2: SDL's box stayed"; done
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
# Waits up to 20 s for any box: our window, SDL's X11 box or the zenity
# stand-in. Fails with $1 if none.
box_shown() { [ -s "$WORK/zenity.pid" ] || [ -n "$(fatal_windows)" ]; }
wait_box() {
  for _ in $(seq 1 200); do
    box_shown && return 0
    kill -0 "$PID" 2> /dev/null || fail "the game ended before its box showed"
    sleep 0.1
  done
  fail "$1"
}
# How the shown box is drawn: "zenity", "x11" (SDL's own box, in a forked
# copy of the game) or "own" (our window).
box_kind() {
  if [ -s "$WORK/zenity.pid" ]; then echo zenity
  elif [ -n "$(copies_of "$PID")" ]; then echo x11
  else echo own
  fi
}
# Waits for the desktop's box, says which it is and fails unless it is $1.
wait_desktop_box() {
  wait_box "no desktop box"
  sleep 0.2
  kind=$(box_kind)
  case $kind in
    x11) echo "   seen: SDL's own X11 box, drawn by a forked copy of the game ($DISPLAY)" ;;
    zenity) echo "   seen: SDL's zenity box ($DISPLAY)" ;;
    *) echo "   seen: our own window ($DISPLAY)" ;;
  esac
  [ "$kind" = "$1" ] || fail "the desktop's box was drawn by '$kind', not '$1'"
}
# The fonts SDL asks for its own box.
SDL_BOX_FONTS='-*-*-medium-r-normal--*-120-*-*-*-*-*-*'
has_box_fonts() { [ -n "$(DISPLAY=$1 xlsfonts -fn "$SDL_BOX_FONTS" 2> /dev/null | head -1)" ]; }

mkdir -p "$WORK/bin"
cat > "$WORK/bin/zenity" << EOF
#!/bin/sh
echo \$\$ > "$WORK/zenity.pid"
exec sleep 60
EOF
chmod +x "$WORK/bin/zenity"

# The desktop's box on the current display, drawn as $1 says.
desktop_box_steps() {
  local kind=$1
  step "the desktop's box ($kind), told to quit by SIGINT"
  start PATH="$WORK/bin:$PATH" "$GAME" -changedir "$WORK/broken"
  wait_desktop_box "$kind"
  box_ends_by INT "the desktop's box ($kind)"
  if [ -s "$WORK/zenity.pid" ]; then
    kill -0 "$(cat "$WORK/zenity.pid")" 2> /dev/null && { kill "$(cat "$WORK/zenity.pid")"; fail "the zenity box stayed"; }
  fi

  step "a box before anything else (no data folder, $kind), SIGTERM"
  start PATH="$WORK/bin:$PATH" "$GAME" -changedir "$WORK/nonexistent"
  wait_desktop_box "$kind"
  sleep 0.3
  kill -TERM "$PID"
  finish
  ended_cleanly "no data folder ($kind), SIGTERM"
  grep -q "FATAL ERROR: Cannot open the data folder" "$WORK/game.err" || fail "no data folder: not named"
  if [ -s "$WORK/zenity.pid" ]; then
    kill -0 "$(cat "$WORK/zenity.pid")" 2> /dev/null && fail "no data folder: the zenity box stayed"
  fi
  [ "$kind" = x11 ] || return 0

  step "SDL's box takes SIGTERM"
  start PATH="$WORK/bin:$PATH" "$GAME" -changedir "$WORK/broken"
  wait_desktop_box x11
  COPIES=$(copies_of "$PID")
  kill -TERM $COPIES
  for _ in $(seq 1 10); do
    gone=1; for copy in $COPIES; do running "$copy" && gone=; done
    [ -n "$gone" ] && break; sleep 0.1
  done
  [ -n "$gone" ] || fail "SIGTERM did not end SDL's box within a second"
  # The game goes on to the next box it can show; a quit signal ends it.
  wait_box "no box after SDL's"
  kill -TERM "$PID"
  finish
  ended_cleanly "SDL's box ended by SIGTERM, then the game"

  step "the game killed under SDL's box: the box goes with it"
  start PATH="$WORK/bin:$PATH" "$GAME" -changedir "$WORK/broken"
  wait_desktop_box x11
  COPIES=$(copies_of "$PID")
  kill -KILL "$PID"
  wait "$PID" 2> /dev/null
  PID=
  sleep 1
  for copy in $COPIES; do running "$copy" && fail "SDL's box (process $copy) outlived the game"; done
  [ -z "$(fatal_windows)" ] || fail "SDL's box window outlived the game"
  [ -e "$WORK/broken/crash.txt" ] && fail "the copy crashed: $(head -3 "$WORK/broken/crash.txt")"
  return 0
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

step "a key held since before our window showed does not close it; a fresh press does"
# Pressed in a window of another program and held there, as a player holds
# a key to skip the splash screens (xev: a window that takes the focus).
xev -name keyholder -geometry 40x40+0+0 > /dev/null 2>&1 &
HOLDER=$!
for _ in $(seq 1 100); do holder=$(visible '^keyholder$'); [ -n "$holder" ] && break; sleep 0.1; done
[ -n "$holder" ] || fail "no window to hold a key in"
xdotool windowfocus --sync "$holder"
xdotool keydown space
KEYHELD=1
start QUILTRO7_MESSAGE_BOX=own "$GAME" -changedir "$WORK/broken"
own_box_over_game "held key"
# Given the focus, as a desktop's window manager gives it to a new window:
# the held key's repeats come to it.
xdotool windowfocus --sync "$WIN" 2> /dev/null
sleep 1
kill -0 "$PID" 2> /dev/null || fail "the key held before the window showed closed it"
xdotool keyup space
KEYHELD=
kill "$HOLDER"; wait "$HOLDER" 2> /dev/null; HOLDER=
sleep 0.3
kill -0 "$PID" 2> /dev/null || fail "releasing the held key closed the window"
press_key
finish
ended_cleanly "held key, then a fresh press"

# The desktop's box where SDL can draw its own (core fonts on the display;
# without them on ours, an X server of our own with them).
if has_box_fonts "$MAINDISPLAY"; then
  desktop_box_steps x11
else
  [ -s /usr/share/fonts/X11/misc/fonts.dir ] || fail "no core X fonts (xfonts-base): SDL's own box cannot be tried"
  start_x_server -fp /usr/share/fonts/X11/misc,built-ins
  has_box_fonts "$XDISPLAY" || fail "no core X fonts on the X server of our own"
  export DISPLAY=$XDISPLAY
  desktop_box_steps x11
  export DISPLAY=$MAINDISPLAY
  stop_x_server
fi
# And where it cannot: an X server whose font path holds no core fonts.
start_x_server -fp built-ins
has_box_fonts "$XDISPLAY" && fail "the X server without fonts has SDL's fonts"
export DISPLAY=$XDISPLAY
desktop_box_steps zenity
export DISPLAY=$MAINDISPLAY
stop_x_server

step "the binary alone in an empty folder (no music library), SIGTERM"
mkdir -p "$WORK/alone"
cp "$GAME" "$WORK/alone/"
cd "$WORK/alone" || fail "no folder"
start "$WORK/alone/$(basename "$GAME")"
wait_box "alone: no box"
sleep 0.2
echo "   seen: $(box_kind) box"
box_ends_by TERM alone
grep -q "FATAL ERROR: " "$WORK/game.err" || fail "alone: no FATAL ERROR text"
cd / || true
echo "ok"
