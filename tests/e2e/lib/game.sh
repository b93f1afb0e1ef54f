# What the end-to-end runs know of our game: where its screens put things,
# how to get from a start to the main menu and out again, and how to read
# the progress profiles.xml keeps. Sourced after lib/driver.sh.

# Colours the checks look for.
CARD="232 221 189"      # the main menu's player band

# The publisher's splash, the logo and the two distributor splashes, each
# skipped by a click; then the title with its play button.
skip_startup() {
  click 512 384; click 512 384
  sleep 1.2; click 512 384
  sleep 1.2; click 512 384
  wait_for title 15 looks 432 556 160 30 211 161 95
}
# The unlock count of a set in profiles.xml: unlock MODE SET.
unlock() {
  awk -v mode="$1" -v set="$2" '
    /<mode[ >]/ { m++; s = 0 } /<set / { s++; if (m == mode + 1 && s == set + 1) { sub(/.*unlock="/, ""); sub(/".*/, ""); print } }' "$USERDIR/profiles.xml"
}
# Kills the game as a crash or a power cut would.
kill_game() { kill -KILL "$GAME_PID"; wait "$GAME_PID" 2>/dev/null; GAME_PID=; }
# From a fresh start to the main menu of the stored player.
restart_to_menu() {
  start_game
  skip_startup
  click 512 576
  wait_for "$1" 8 looks 340 230 60 35 $CARD
}
# A puzzle button of a wing's puzzle choice: five a row, 104 apart.
puzzle_x() { echo $(( 118 + $1 % 5 * 104 )); }
puzzle_y() { echo $(( 237 + $1 / 5 * 104 )); }
# Whether puzzle N's number shows under its button (a button that spills
# off the page keeps no number).
puzzle_numbered() { busy $(( $(puzzle_x "$1") - 12 )) $(( $(puzzle_y "$1") + 45 )) 24 18; }
# The number of puzzles in a set of the catalogue: puzzle_count MODE SET.
puzzle_count() {
  awk -v mode="$1" -v set="$2" '
    /<mode[ >]/ { m++; s = 0 } /<set[ >]/ { s++ } /<puzzle[ >]/ && m == mode + 1 && s == set + 1 { n++ }
    END { print n + 0 }' "$DATADIR/properties/puzzles_quiltro7.xml"
}
# The puzzle page's plain paper under its second row, and the way back to
# the map below the page.
PUZZLE_PAGE="60 414 500 12 246 240 226"
MAP_BUTTON="340 500"
# A slot of the profiles screen (its name button's centre).
slot_y() { echo $(( 167 + $1 * 60 )); }
# A puzzle is in play once its HUD shows the Options button.
wait_play() { wait_for "$1" 20 busy 40 690 160 12; sleep 0.3; }
# From the main menu: Quit, and yes; the game ends well.
quit_through_dialog() {
  click 512 618
  wait_for confirm-quit 5 looks $NOTICE_AT
  sleep 1
  click 382 466
  wait_exit
  [ "$rc" -eq 0 ] || fail "quit: exit status $rc"
}

# The first puzzle of the catalogue whose side is N: "MODE SET PUZZLE".
puzzle_of_size() {
  "$(dirname "${BASH_SOURCE[0]}")/../../../tools/puzzle_of_size.sh" "$DATADIR/properties/puzzles_quiltro7.xml" "$1" | cut -d" " -f1-3
}
# Reveals every tile of the solution (MODE SET PUZZLE) as a player who reads
# it row by row: one stroke along each run, a click for a single tile.
reveal_runs() {
  local row=0 line c start
  while read -r line; do
    c=0
    while [ $c -lt ${#line} ]; do
      if [ "${line:c:1}" = 1 ]; then
        start=$c
        while [ $c -lt ${#line} ] && [ "${line:c:1}" = 1 ]; do c=$((c + 1)); done
        if [ $((c - 1)) -gt $start ]; then drag_cells "$start" "$row" "$((c - 1))" "$row"; else click_cell "$start" "$row"; fi
      else
        c=$((c + 1))
      fi
    done
    row=$((row + 1))
  done < <(solution "$DATADIR" "$1" "$2" "$3")
}
