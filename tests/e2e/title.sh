#!/usr/bin/env bash
# A first start in the real window, driven as a player would: the start-up
# screens skipped by clicks, the title's play button, a name typed with a
# refused leading space, a Backspace and Enter, then the main menu; the
# profile is saved at exit.
set -u
GAME=$1
DATA=$2
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 0; fi
TOOLS=$(dirname "$GAME")/tools
WORK=$(mktemp -d)
[ -n "${KEEP:-}" ] || trap 'rm -rf "$WORK"' EXIT
USERDIR=$WORK/user RUNDIR=$WORK/run SHOTS=$WORK/shots
mkdir -p "$USERDIR" "$RUNDIR" "$SHOTS"
"$TOOLS/pakbuild" "$DATA" "$RUNDIR/main.pak" > /dev/null || { echo "FAIL: pakbuild"; exit 1; }
. "$(dirname "$0")/lib/driver.sh"

start_game
step "start-up screens"
click 512 384; click 512 384
sleep 1.2; click 512 384
sleep 1.2; click 512 384
# The play button: warm light where the loading bar was.
wait_for title 15 looks 432 556 160 30 211 161 95
step "name entry"
click 512 576
# The name field: the dark well of the entry box.
wait_for entry 5 looks 420 362 180 10 12 14 22
type_text " Anx"
key BackSpace
type_text "a"
key Return
# The main menu: the player's band on its card.
wait_for menu 8 looks 340 230 60 35 232 221 189
kill -TERM "$GAME_PID"
wait_exit
[ "$rc" -eq 0 ] || fail "exit code $rc"
holds profiles.xml '^<profiles selected="0"><profile name="Ana">'
echo "ok"
