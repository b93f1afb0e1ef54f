#!/usr/bin/env bash
# "haltrimo", the developer code that quits without saving, given as a
# player's name through the real game: on the name entry of a fresh user
# folder and on the profiles screen. The game ends at once, profiles.xml
# keeps what it held, and the next start plays on.
SHOTS_NAME=e2e-shots-quitcode
. "$(dirname "$0")/lib/setup.sh"

# From a start to the name entry (nobody selected).
to_name_entry() {
  start_game
  skip_startup
  click 512 576
  wait_for "$1" 5 looks 420 362 180 10 12 14 22
}
# The game must end by itself, well.
ends_by_itself() {
  wait_exit
  [ "$rc" -eq 0 ] || fail "$1: exit status $rc"
}

step "1. a fresh user folder: the name entry given the code"
to_name_entry entry
type_text "haltrimo"
key Return
ends_by_itself "the name entry"
[ -e "$USERDIR/profiles.xml" ] && grep -q haltrimo "$USERDIR/profiles.xml" && fail "the code was saved as a name"

step "2. the next start asks for a name again and plays"
to_name_entry entry-again
type_text "Ana"
key Return
wait_for main-menu 8 looks 340 230 60 35 $CARD
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended"
kill_game
holds profiles.xml '^<profiles selected="0"><profile name="Ana">'

step "3. the profiles screen: a free slot given the code"
restart_to_menu main-menu-ana
click 640 248
wait_for profiles 8 busy 330 150 360 30
click 512 "$(slot_y 1)"
sleep 0.5
cp "$USERDIR/profiles.xml" "$WORK/before-code.xml"
type_text "haltrimo"
key Return
ends_by_itself "the profiles screen"
cmp -s "$USERDIR/profiles.xml" "$WORK/before-code.xml" || fail "profiles.xml changed: $(head -c 200 "$USERDIR/profiles.xml")"
grep -q haltrimo "$USERDIR/profiles.xml" && fail "the code was saved as a name"

step "4. the next start plays: Play leads to the game, which stays"
# Choosing the free slot left nobody selected: the title asks for a name.
to_name_entry entry-after-profiles
type_text "Bo"
key Return
wait_for main-menu-bo 8 looks 340 230 60 35 $CARD
sleep 1
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended"
quit_through_dialog
holds profiles.xml '<profile name="Ana">'
holds profiles.xml '<profile name="Bo">'
echo "ok ($SHOT_COUNT screenshots in $SHOTS)"
