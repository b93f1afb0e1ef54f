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

# Pointer and keys, in the game's 1024 x 768 coordinates (the window is that size).
move() { xdotool mousemove --window "$WID" "$1" "$2"; sleep 0.05; }
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
# kept as SHOTS/NN-name.png.
shot() {
  local dir=$USERDIR/_screenshots before after
  before=$(ls "$dir" 2>/dev/null | wc -l)
  xdotool key F12
  for _ in $(seq 1 50); do
    after=$(ls "$dir" 2>/dev/null | wc -l)
    [ "$after" -gt "$before" ] && break
    sleep 0.1
  done
  [ "$after" -gt "$before" ] || fail "no screenshot taken ($1)"
  SHOT_COUNT=$((SHOT_COUNT + 1))
  SHOT=$SHOTS/$(printf '%02d' $SHOT_COUNT)-$1.png
  mv "$dir/$(ls -t "$dir" | head -1)" "$SHOT"
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
wait_for() {
  local name=$1 seconds=$2; shift 2
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
