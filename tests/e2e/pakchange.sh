#!/usr/bin/env bash
# main.pak emptied in place while the game runs (as a copy onto it does
# first), then a screen that reads from it: the game says that its archive
# changed, in our FATAL ERROR window, and ends with status 1, not with a bus
# error and a crash report.
SHOTS_NAME=e2e-shots-pakchange
. "$(dirname "$0")/lib/setup.sh"
export QUILTRO7_MESSAGE_BOX=own

# A player who has read the letter: the main menu's Play leads to the map.
echo '<profiles selected="0"><profile name="Ana"><state seen-tutorial="1"><game name="quiltro7"><game-state current-country="1"/></game></state></profile></profiles>' > "$USERDIR/profiles.xml"

step "the archive is emptied at the main menu; Play reads from it"
restart_to_menu menu
: > "$RUNDIR/main.pak"
click 512 576
for _ in $(seq 1 100); do
  [ -n "$(xdotool search --onlyvisible --name '^FATAL ERROR$' 2>/dev/null | head -1)" ] && break
  kill -0 "$GAME_PID" 2>/dev/null || break
  sleep 0.1
done
[ -n "$(xdotool search --onlyvisible --name '^FATAL ERROR$' 2>/dev/null | head -1)" ] ||
  fail "no FATAL ERROR window: $(tail -3 "$SHOTS/game.log")"
[ -z "$(xdotool search --onlyvisible --name '^Fatal Error!$' 2>/dev/null | head -1)" ] || fail "a crash report window opened"
key space
wait_exit
[ "$rc" -eq 1 ] || fail "exit status $rc, not 1: $(tail -3 "$SHOTS/game.log")"
grep -q "FATAL ERROR: Cannot read the game data archive: the game data archive changed while the game ran" \
  "$SHOTS/game.log" || fail "the message does not say the archive changed: $(tail -3 "$SHOTS/game.log")"
for f in "$RUNDIR/crash.txt" "$USERDIR/crash.txt"; do
  [ -e "$f" ] && fail "the game crashed: $(head -3 "$f")"
done
grep -q "An unexpected error" "$SHOTS/game.log" && fail "the game crashed on the way out"
sleep 0.3
[ -z "$(xdotool search --onlyvisible --name '^FATAL ERROR$' 2>/dev/null | head -1)" ] || fail "the FATAL ERROR window stayed"
echo "ok"
