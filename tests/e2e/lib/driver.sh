# Drives the real game in its window as a player would: xdotool for the
# mouse and keys, the game's own screenshots (F12) for what shows. Sourced by
# the end-to-end scripts; needs GAME, TOOLS, USERDIR, SHOTS and RUNDIR set.

fail() { echo "FAIL: $*"; [ -n "${GAME_PID:-}" ] && kill -0 "$GAME_PID" 2>/dev/null && kill -KILL "$GAME_PID"; exit 1; }
step() { echo "-- $*"; }

# Starts the game on the packed data in RUNDIR and waits for its window.
start_game() {
  QUILTRO7_USER_DATA=$USERDIR "$GAME" -changedir "$RUNDIR" >> "$SHOTS/game.log" 2>&1 &
  GAME_PID=$!
  WID=
  for _ in $(seq 1 100); do
    WID=$(xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null | head -1)
    [ -n "$WID" ] && break
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended at start: $(tail -5 "$SHOTS/game.log")"
    sleep 0.1
  done
  [ -n "$WID" ] || fail "no game window"
  xdotool windowfocus --sync "$WID" 2>/dev/null
  sleep 0.3
}

# Waits up to 15 s for the game to end by itself; sets rc (124 when it did not).
wait_exit() {
  for _ in $(seq 1 150); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$GAME_PID" 2>/dev/null; then kill -KILL "$GAME_PID"; wait "$GAME_PID"; rc=124; else wait "$GAME_PID"; rc=$?; fi
  GAME_PID=
}

# Pointer and keys, in the game's 1024 x 768 coordinates, mapped to the window
# as the game letterboxes its frame (full screen makes the window larger).
SCALE_NUM=1 SCALE_DEN=1 OFF_X=0 OFF_Y=0
window_geometry() {
  local w h
  eval "$(xdotool getwindowgeometry --shell "$WID" | grep -E '^(WIDTH|HEIGHT)=')"
  w=$WIDTH h=$HEIGHT
  if [ $(( w * 768 )) -le $(( h * 1024 )) ]; then SCALE_NUM=$w SCALE_DEN=1024; else SCALE_NUM=$h SCALE_DEN=768; fi
  OFF_X=$(( (w - 1024 * SCALE_NUM / SCALE_DEN) / 2 )) OFF_Y=$(( (h - 768 * SCALE_NUM / SCALE_DEN) / 2 ))
}
move() {
  xdotool mousemove --window "$WID" $(( OFF_X + $1 * SCALE_NUM / SCALE_DEN )) $(( OFF_Y + $2 * SCALE_NUM / SCALE_DEN ))
  sleep 0.05
}
click() { move "$1" "$2"; xdotool click "${3:-1}"; sleep "${CLICK_PAUSE:-0.25}"; }
drag() {
  move "$1" "$2"; xdotool mousedown "${5:-1}"; sleep 0.1
  move "$(( ($1 + $3) / 2 ))" "$(( ($2 + $4) / 2 ))"; move "$3" "$4"; sleep 0.1
  xdotool mouseup "${5:-1}"; sleep 0.25
}
key() { xdotool key --delay 60 "$@"; sleep 0.2; }
type_text() { xdotool type --delay 80 "$1"; sleep 0.2; }

SHOT_COUNT=0
# Takes a screenshot with the game's own key; the file's path is in SHOT,
# kept as SHOTS/NN-name.png. The game writes it aside and renames it when
# complete: only a new screenshot_NNNN.png name is a whole picture.
shot() {
  local dir=$USERDIR/_screenshots before name=
  before=$(ls "$dir" 2>/dev/null | grep -E '^screenshot_[0-9]+\.png$')
  xdotool key F12
  # A busy game (a large picture appearing on a loaded machine) takes the
  # key late: the same allowance as wait_for's.
  for _ in $(seq 1 $(( 50 * ${WAIT_SCALE:-2} ))); do
    name=$(ls "$dir" 2>/dev/null | grep -E '^screenshot_[0-9]+\.png$' | grep -vxF -e "$before" | head -1)
    [ -n "$name" ] && break
    sleep 0.1
  done
  [ -n "$name" ] || fail "no screenshot taken ($1)"
  SHOT_COUNT=$((SHOT_COUNT + 1))
  SHOT=$SHOTS/$(printf '%02d' $SHOT_COUNT)-$1.png
  mv "$dir/$name" "$SHOT"
}

# "R G B spread" of a region of the last screenshot.
region() { "$TOOLS/shotprobe" region "$SHOT" "$@"; }
# Whether the region's mean colour is within 40 of R G B.
looks() {
  local x=$1 y=$2 w=$3 h=$4 r=$5 g=$6 b=$7 mr mg mb _
  read -r mr mg mb _ < <(region "$x" "$y" "$w" "$h")
  [ $(( (mr - r) * (mr - r) + (mg - g) * (mg - g) + (mb - b) * (mb - b) )) -le 1600 ]
}
# Whether the region holds detail (text, a picture), not one flat colour.
busy() { local _r _g _b s; read -r _r _g _b s < <(region "$@"); [ "$s" -ge "${BUSY:-12}" ]; }

# Takes screenshots until the check (a command over SHOT) holds, up to
# `seconds`; the last screenshot is kept under `name`.
# The limits are a fast machine's, doubled (WAIT_SCALE) for slow or busy ones:
# they only bound how long a failure takes to show.
wait_for() {
  local name=$1 seconds=$(( $2 * ${WAIT_SCALE:-2} )); shift 2
  local end=$(( $(date +%s) + seconds ))
  while :; do
    shot "$name"
    "$@" && return 0
    [ "$(date +%s)" -ge "$end" ] && fail "$name: not seen within ${seconds}s (last picture $SHOT)"
    rm -f "$SHOT"; SHOT_COUNT=$((SHOT_COUNT - 1))
    sleep 0.4
  done
}

# A profiles.xml or settings.xml attribute check: file, pattern (grep -E).
holds() { grep -Eq "$2" "$USERDIR/$1" || fail "$1 lacks /$2/"; }

# The solution of a catalogue puzzle, one row of 0 and 1 a line:
# solution DATA MODE SET PUZZLE (indexes from 0, in catalogue order).
solution() {
  awk -v mode="$2" -v set="$3" -v puzzle="$4" '
    /<mode[ >]/ { m++; s = 0 } /<set[ >]/ { s++; p = 0 } /<puzzle[ >]/ { p++ }
    /<\/grid>/ { ingrid = 0 }
    ingrid && m == mode + 1 && s == set + 1 && p == puzzle + 1 { gsub(/[ \t\r]/, ""); print }
    /<grid>/ { ingrid = 1 }' "$1/properties/puzzles_quiltro7.xml"
}

# The board's place for an N x N puzzle, from our layout data: the tile is the
# width of "G<N>TileHighlight_ipad", the clue room comes from game.xml, and the
# board stands centred in the room right of the HUD ("hud_back_ipad") with its
# clue column ("Grid<N>_V_ipad"). Sets BOARD_X, BOARD_Y, TILE.
board_layout() {
  local n=$1 images=$DATADIR/images hud col offy _
  read -r TILE _ < <("$TOOLS/shotprobe" size "$images/G${n}TileHighlight_ipad.png")
  read -r hud _ < <("$TOOLS/shotprobe" size "$images/hud_back_ipad.png")
  read -r col _ < <("$TOOLS/shotprobe" size "$images/Grid${n}_V_ipad.png")
  offy=$(grep -Eo "<grid size=\"$n\" [^>]*" "$DATADIR/properties/game.xml" | grep -Eo 'offset-y="[0-9]+"' | grep -Eo '[0-9]+')
  local side=$(( n * TILE )) free t
  free=$(( 1024 - side )); t=$(( (free - col - hud) / 2 ))
  if [ $t -gt 0 ]; then BOARD_X=$(( t + col + hud )); else BOARD_X=$free; fi
  BOARD_Y=$(( offy + (768 - offy - side) / 2 ))
}
# The centre of cell (column, row) after board_layout.
cell_x() { echo $(( BOARD_X + $1 * TILE + TILE / 2 )); }
cell_y() { echo $(( BOARD_Y + $1 * TILE + TILE / 2 )); }
click_cell() { click "$(cell_x "$1")" "$(cell_y "$2")" "${3:-1}"; }
drag_cells() { drag "$(cell_x "$1")" "$(cell_y "$2")" "$(cell_x "$3")" "$(cell_y "$4")" "${5:-1}"; }
# Clicks every tile of the solution (MODE SET PUZZLE) not listed in SKIP
# ("c,r c,r ..."), row by row.
reveal_tiles() {
  local row=0 line c
  while read -r line; do
    for ((c = 0; c < ${#line}; c++)); do
      [ "${line:c:1}" = 1 ] || continue
      case " ${SKIP:-} " in *" $c,$row "*) continue ;; esac
      click_cell "$c" "$row"
    done
    row=$((row + 1))
  done < <(solution "$DATADIR" "$1" "$2" "$3")
}

# A dialog's paper card across its middle (a notice or a question).
NOTICE_AT="270 385 480 40 248 244 232"
# A notice's one OK button (between its normal and its hovered navy), and the
# card's plain paper under it.
NOTICE_OK="410 450 60 30 64 84 125"
NOTICE_FOOT="300 500 424 16 246 241 224"
# Whether the last screenshot shows a notice. The paper's colour alone is
# also what a bare board of 10 x 10 or more averages to there (light cells
# under thin lines), and closing that "notice" would click a cell: the
# button and the plain paper under it are the notice's own.
notice_shows() {
  local _r _g _b spread
  read -r _r _g _b spread < <(region ${NOTICE_FOOT% * * *})
  looks $NOTICE_AT && looks $NOTICE_OK && looks $NOTICE_FOOT && [ "$spread" -le 4 ]
}
# A notice over the screen: waits up to `seconds` (default 5) for one,
# closes it and says so; false when none shows.
close_notice() {
  local end=$(( $(date +%s) + ${2:-5} ))
  while :; do
    shot "${1:-notice}"
    if notice_shows; then answer 512 466; return 0; fi
    rm -f "$SHOT"; SHOT_COUNT=$((SHOT_COUNT - 1))
    [ "$(date +%s)" -ge "$end" ] && return 1
    sleep 0.4
  done
}
# Clicks a dialog's button until the dialog (as the last screenshot shows it)
# has gone or changed: a dialog coming in takes no clicks yet, and a player
# would click again; up to five tries.
answer() {
  local shown=$SHOT try
  for try in 1 2 3 4 5; do
    sleep 0.5
    click "$1" "$2"
    sleep 0.8
    shot answered
    if changed_from "$shown" 250 240 520 140; then rm -f "$SHOT"; SHOT_COUNT=$((SHOT_COUNT - 1)); return 0; fi
    rm -f "$SHOT"; SHOT_COUNT=$((SHOT_COUNT - 1))
  done
  fail "the dialog did not answer a click at $1,$2"
}
# Whether the last screenshot differs from FILE in the region X Y W H.
changed_from() { [ "$("$TOOLS/shotprobe" differ "$1" "$SHOT" "$2" "$3" "$4" "$5")" -gt 0 ]; }

# The stored record of a puzzle in profiles.xml: record MODE SET PUZZLE.
record() {
  awk -v mode="$1" -v set="$2" -v puzzle="$3" '
    /<mode[ >]/ { m++; s = 0 } /<set[ >]/ { s++; p = 0 }
    /<puzzle / { p++; if (m == mode + 1 && s == set + 1 && p == puzzle + 1) print }' "$USERDIR/profiles.xml"
}
