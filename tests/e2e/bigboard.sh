#!/usr/bin/env bash
# The largest board the game has, 25 x 25, played in the real window as a
# player reads it: one stroke along each run of every row. The picture comes,
# the results show, and profiles.xml holds the win.
SHOTS_NAME=e2e-shots-bigboard
. "$(dirname "$0")/lib/setup.sh"

read -r MODE SET PUZZLE < <(puzzle_of_size 25)
[ -n "${PUZZLE:-}" ] || fail "the catalogue has no 25 x 25 puzzle"
step "a 25 x 25 puzzle ($MODE $SET $PUZZLE), opened directly"
# The developer path opens it once loading ends, for the stored player, who
# has met the hint and the first mistake before (their notices would stop
# the strokes).
printf '%s' '<profiles selected="0"><profile name="Ana"><state seen-tutorial="1" seen-hint="1" made-mistake="1"/></profile></profiles>' > "$USERDIR/profiles.xml"
export QUILTRO7_DEV_PUZZLE="$MODE,$SET,$PUZZLE"
start_game
wait_play board
board_layout 25
[ "$TILE" -ge 18 ] || fail "cells of $TILE pixels"
step "every run of every row, one stroke each"
CLICK_PAUSE=0.15 reveal_runs "$MODE" "$SET" "$PUZZLE"
wait_for results 20 busy 60 200 130 20
busy "$BOARD_X" "$BOARD_Y" 400 400 || fail "no picture shown"
record "$MODE" "$SET" "$PUZZLE" | grep -Eq 'completed="1" best-time="[1-9]' ||
  fail "the win is not in profiles.xml: $(record "$MODE" "$SET" "$PUZZLE")"
grep -q 'Progress could not be saved' "$SHOTS/game.log" && fail "a save failed"
kill_game
echo "ok ($SHOT_COUNT screenshots in $SHOTS)"
