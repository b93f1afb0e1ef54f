#!/usr/bin/env bash
# Full screen kept in settings.xml, started on an X display larger than the
# game with no window manager to give the window the screen: the game says
# so, plays in a window and keeps the setting. What the X server shows is
# read from Xvfb's own copy of its screen (-fbdir), not from the game's
# screenshots alone. Full screen is then switched off and on in the options
# within one run, and the same start under a window manager (openbox) fills
# the screen as before.
SHOTS_NAME=e2e-shots-fullscreen
. "$(dirname "$0")/lib/setup.sh"
. "$(dirname "$0")/lib/xserver.sh"
cleanup() {
  [ -n "${GAME_PID:-}" ] && kill -KILL "$GAME_PID" 2> /dev/null
  [ -n "${WM_PID:-}" ] && kill "$WM_PID" 2> /dev/null
  stop_x_servers
  [ -n "${KEEP:-}" ] || rm -rf "$WORK"
}
trap cleanup EXIT
for tool in Xvfb openbox xprop; do
  command -v $tool > /dev/null || fail "no $tool (xvfb, openbox, x11-utils)"
done

FALLBACK="Full screen cannot be shown here"
SETTINGS='<settings version="v1.2" volume="0.800" mouse-speed="10" window="0" vsync="1" custom-cursors="1" stretch="0"/>'
PROFILE='<profiles selected="0"><profile name="Ana"><state seen-tutorial="1" num-hints="0"><game name="quiltro7"><game-state current-country="1"/></game></state></profile></profiles>'
TITLE_PLAY="432 556 160 30 211 161 95"
ENTRY="420 362 180 10 12 14 22"
MENU_CARD="340 230 60 35 $CARD"
OPTIONS="200 480 40 20 32 44 75"
FULL_BOX="569 426"
STRETCH_LABEL="600 462 200 26"

# A display of our own, its screen kept in $SCREEN; sets DISPLAY.
own_display() {
  mkdir -p "$WORK/$1"
  start_x_server -fbdir "$WORK/$1"
  export DISPLAY=$XDISPLAY
  SCREEN=$WORK/$1/Xvfb_screen0
}
# The X server's screen as it is now, as the last picture (SHOT), with the
# game's frame placed where the desktop put the window: game coordinates
# given to looks and busy then fall on the screen (scale and offsets as
# window_geometry reads them, plus the window's place).
screen_shot() {
  local X Y
  window_geometry
  eval "$(xdotool getwindowgeometry --shell "$WID" | grep -E '^(X|Y)=')"
  SHOT_COUNT=$((SHOT_COUNT + 1))
  SHOT=$SHOTS/$(printf '%02d' $SHOT_COUNT)-$1.xwd
  cp "$SCREEN" "$SHOT"
  WIN_X=$X WIN_Y=$Y
}
on_screen() {  # check x y w h [r g b]: the check on the screen's region
  local check=$1 x=$2 y=$3 w=$4 h=$5; shift 5
  $check $(( WIN_X + OFF_X + x * SCALE_NUM / SCALE_DEN )) $(( WIN_Y + OFF_Y + y * SCALE_NUM / SCALE_DEN )) \
    $(( w * SCALE_NUM / SCALE_DEN )) $(( h * SCALE_NUM / SCALE_DEN )) "$@"
}
# The window's frame is drawn on the screen: the check holds there, and the
# frame is no flat black.
shows() {  # name x y w h r g b
  local name=$1; shift
  screen_shot "$name"
  on_screen looks "$@" || fail "$name: not on the screen ($(on_screen region "$1" "$2" "$3" "$4"))"
  on_screen busy 0 0 1024 768 || fail "$name: the window shows one flat colour"
}
# SIGTERM ends the game well and the full-screen setting is kept; with no
# window manager every X request the game made was sound. (A window manager
# that frames the window races SDL's own requests about the frame, and the
# server may refuse one: that is told, and the game goes on.)
end_well() {
  kill -TERM "$GAME_PID"
  wait_exit
  [ "$rc" -eq 0 ] || fail "SIGTERM: exit status $rc: $(tail -3 "$SHOTS/game.log")"
  if [ "${1:-}" != managed ]; then
    grep -q "X Error\|X error" "$SHOTS/game.log" && fail "an X error: $(grep -m1 -A3 "X Error\|X error" "$SHOTS/game.log")"
  fi
  holds settings.xml 'window="0"'
}
fallbacks() { grep -c "$FALLBACK" "$SHOTS/game.log"; }

step "1. full screen at start, no window manager: a window, said on standard error"
own_display bare
printf '%s\n' "$SETTINGS" > "$USERDIR/settings.xml"
start_game
window_geometry
skip_startup
shows title $TITLE_PLAY
[ "$(fallbacks)" -eq 1 ] || fail "the fallback to a window is not said once: $(tail -3 "$SHOTS/game.log")"
click 512 576
wait_for entry 5 looks $ENTRY
shows entry-on-screen $ENTRY
end_well

step "2. full screen off and on in the options, in one run"
printf '%s' "$PROFILE" > "$USERDIR/profiles.xml"
: > "$SHOTS/game.log"
start_game
window_geometry
skip_startup
click 512 576
wait_for main-menu 8 looks $MENU_CARD
click 512 558
wait_for options 5 looks $OPTIONS
busy $STRETCH_LABEL || fail "the options do not show full screen ticked"
click $FULL_BOX
sleep 1; shot options-windowed
busy $STRETCH_LABEL && fail "full screen unticked: the stretch option stays"
click 372 566
wait_for menu-windowed 8 looks $MENU_CARD
shows menu-windowed-on-screen $MENU_CARD
click 512 558
wait_for options-again 5 looks $OPTIONS
click $FULL_BOX
sleep 1; shot options-full
busy $STRETCH_LABEL || fail "full screen ticked again: no stretch option"
click 372 566
wait_for menu-full 8 looks $MENU_CARD
shows menu-full-on-screen $MENU_CARD
[ "$(fallbacks)" -eq 2 ] || fail "the start and the switch back do not each say the fallback: $(fallbacks)"
end_well
stop_x_server

step "3. the same start under a window manager: the window fills the screen"
own_display managed
openbox > "$WORK/openbox.log" 2>&1 &
WM_PID=$!
for _ in $(seq 1 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q "window id" && break; sleep 0.1; done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" || fail "openbox did not start: $(tail -3 "$WORK/openbox.log")"
: > "$SHOTS/game.log"
start_game
window_geometry
skip_startup
eval "$(xdotool getwindowgeometry --shell "$WID" | grep -E '^(WIDTH|HEIGHT)=')"
[ "$WIDTH"x"$HEIGHT" = 1280x1024 ] || fail "under a window manager the window is ${WIDTH}x$HEIGHT, not the screen"
shows title-full-screen $TITLE_PLAY
[ "$(fallbacks)" -eq 0 ] || fail "the window manager's full screen was refused"
end_well managed
kill "$WM_PID"; wait "$WM_PID" 2> /dev/null; WM_PID=
echo "ok"
