#!/usr/bin/env bash
# profiles.xml in trouble, through the real game in its window: a file with
# one stray byte in its UTF-8, a full disk (a small tmpfs) and a profiles.xml
# that cannot be replaced (a read-only bind mount over it). Each time the
# player is told in the game, the old file is kept whole and nothing is
# garbled; a later save that can be written is, and a failure after it is
# told again. settings.xml on a full disk too: a failed write is told when
# the options close, and one at exit at the next start. The disk cases need
# to mount (root); without it they are skipped and say so.
SHOTS_NAME=e2e-shots-savefaults
. "$(dirname "$0")/lib/setup.sh"
MOUNTS=()
cleanup() {
  for m in "${MOUNTS[@]}"; do umount -l "$m" 2>/dev/null; done
  [ -n "${KEEP:-}" ] || rm -rf "$WORK"
}
trap cleanup EXIT

# A player of our own, the letter not yet read: Play writes the profile.
PROFILE='<profiles selected="0"><profile name="Ana"><state seen-tutorial="0" num-hints="0"><game name="quiltro7"><game-state current-country="0"/></game></state></profile></profiles>'

# From the start to the main menu. With a second argument a notice of the
# profile file is awaited over the title, and closed (its screenshot kept).
to_menu() {
  start_game
  if [ -n "${2:-}" ]; then
    click 512 384; click 512 384
    sleep 1.2; click 512 384
    sleep 1.2; click 512 384
    close_notice "$1-notice" 20 || fail "no notice of the damaged profiles.xml"
    wait_for title 15 looks 432 556 160 30 211 161 95
  else
    skip_startup
  fi
  click 512 576
  wait_for "$1-menu" 8 looks 340 230 60 35 $CARD
}
no_temp_files() { ls -a "$USERDIR" | grep -q '\.tmp' && fail "a temporary file was left: $(ls -a "$USERDIR")"; return 0; }

step "1. one stray byte in a UTF-8 profiles.xml: damage, not Latin-1"
USERDIR=$WORK/stray; mkdir -p "$USERDIR"
printf '<profiles selected="1"><profile name="Jos\xc3\xa9"/><profile name="Ana"><state seen-tutorial="1"/></profile>\n<profile name="x\xff"/></profiles>' > "$USERDIR/profiles.xml"
cp "$USERDIR/profiles.xml" "$WORK/stray.orig"
to_menu stray notice
cmp -s "$USERDIR/profiles.xml.damaged-1" "$WORK/stray.orig" || fail "the damaged file was not kept as it was"
quit_through_dialog
grep -q "$(printf 'name="Jos\xc3\xa9"')" "$USERDIR/profiles.xml" || fail "a name was garbled: $(head -c 200 "$USERDIR/profiles.xml")"
grep -q "$(printf 'Jos\xc3\x83')" "$USERDIR/profiles.xml" && fail "the file was read as Latin-1"
holds profiles.xml '^<profiles selected="1">'
no_temp_files

if ! { mkdir -p "$WORK/probe" && mount -t tmpfs -o size=64k tmpfs "$WORK/probe" 2>/dev/null; }; then
  echo "cannot mount here (not root?): the full disk and the read-only file are skipped"
  echo "ok"
  exit 0
fi
umount "$WORK/probe"

step "2. a full disk: the save fails cleanly and is told once; freed, the next save is written"
USERDIR=$WORK/full; mkdir -p "$USERDIR"
mount -t tmpfs -o size=8m tmpfs "$USERDIR" || fail "mount"
MOUNTS+=("$USERDIR")
printf '%s' "$PROFILE" > "$USERDIR/profiles.xml"
cp "$USERDIR/profiles.xml" "$WORK/full.orig"
to_menu full
dd if=/dev/zero of="$USERDIR/filler" bs=4k 2>/dev/null
# Play: the letter opens, and the story's start cannot be written.
click 512 318
sleep 1.5
rm -f "$USERDIR/filler"
close_notice save-failed 8 || fail "no notice of the failed save"
cmp -s "$USERDIR/profiles.xml" "$WORK/full.orig" || fail "the old profiles.xml was not kept whole"
no_temp_files
grep -q "Progress could not be saved in $USERDIR" "$SHOTS/game.log" || fail "the failure is not in the log"
# The letter's OK saves again, now with room: written, and no second notice.
wait_for letter 8 looks 230 580 150 20 246 240 226
click 512 630
wait_for tutorial-offer 5 looks $NOTICE_AT
grep -q 'introduced="1"' "$USERDIR/profiles.xml" || fail "the save after the disk was freed was not written"
[ "$(grep -c 'Progress could not be saved' "$SHOTS/game.log")" -eq 1 ] || fail "the failure was told more than once"
# Full again after that success: the next failure (No to the lessons, which
# then count as done) is a new stretch, and told again.
# (Screenshots need room: the filler goes before the notice is looked for.)
dd if=/dev/zero of="$USERDIR/filler" bs=4k 2>/dev/null
sleep 0.5; click 642 466
sleep 1.5
grep -q 'seen-tutorial="1"' "$USERDIR/profiles.xml" && fail "the refused save was written"
rm -f "$USERDIR/filler"
close_notice save-failed-again 8 || fail "a failure after a success was not told"
[ "$(grep -c 'Progress could not be saved' "$SHOTS/game.log")" -eq 2 ] || fail "the second failing stretch was not told once"
kill_game

step "3. a profiles.xml that cannot be replaced: told, kept as it was"
USERDIR=$WORK/locked; mkdir -p "$USERDIR"
printf '%s' "$PROFILE" > "$USERDIR/profiles.xml"
cp "$USERDIR/profiles.xml" "$WORK/locked.orig"
mount --bind "$USERDIR/profiles.xml" "$USERDIR/profiles.xml" && mount -o remount,bind,ro "$USERDIR/profiles.xml" ||
  fail "bind mount"
MOUNTS+=("$USERDIR/profiles.xml")
to_menu locked
click 512 318
close_notice cannot-replace 8 || fail "no notice of the failed save"
cmp -s "$USERDIR/profiles.xml" "$WORK/locked.orig" || fail "profiles.xml changed"
no_temp_files
kill_game

step "4. settings.xml on a full disk: told when the options close, and a failure at exit at the next start"
USERDIR=$WORK/settings; mkdir -p "$USERDIR"
mount -t tmpfs -o size=8m tmpfs "$USERDIR" || fail "mount"
MOUNTS+=("$USERDIR")
printf '%s' "$PROFILE" > "$USERDIR/profiles.xml"
to_menu settings
click 512 558
wait_for options 5 looks 200 480 40 20 32 44 75
dd if=/dev/zero of="$USERDIR/filler" bs=4k 2>/dev/null
# Back: the profile and settings.xml are written, and neither can be.
click 372 566
sleep 1.5
rm -f "$USERDIR/filler"
close_notice options-notice 8 || fail "no notice of the failed saves"
close_notice options-second-notice 8 || fail "no second notice (one for each file)"
grep -q "Settings could not be saved in $USERDIR" "$SHOTS/game.log" || fail "the settings failure is not in the log"
wait_for settings-menu-again 8 looks 340 230 60 35 $CARD
# Quit with the disk full again: settings.xml cannot be written at exit.
click 512 618
wait_for confirm-quit 5 looks $NOTICE_AT
dd if=/dev/zero of="$USERDIR/filler" bs=4k 2>/dev/null
sleep 1; click 382 466
wait_exit
[ "$rc" -eq 0 ] || fail "quit: exit status $rc"
[ -e "$USERDIR/settings.xml.unsaved" ] || fail "the failure at exit left no word for the next start: $(ls "$USERDIR")"
rm -f "$USERDIR/filler"
to_menu settings-lost notice
[ -e "$USERDIR/settings.xml.unsaved" ] && fail "the failure at exit is told again"
quit_through_dialog
holds settings.xml '<settings '
echo "ok ($SHOT_COUNT screenshots in $SHOTS)"
