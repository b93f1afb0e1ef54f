#!/usr/bin/env bash
# The game's headline figures in one run:
#   1. launch to the first drawn frame, against Simon Tatham's Pattern
#      (sgt-puzzles) started the same way, runs taken in turn A B A B;
#   2. processor time per second on a still start screen, the main menu, a
#      still play screen (the largest board of the catalogue, found in
#      gamedata/properties/puzzles_quiltro7.xml) and the results screen of
#      that board once its picture has appeared, the last three with their
#      music and with the music's volume at 0, and which threads spent it;
#   3. private memory (Private_Dirty) on each;
#   4. the same two figures for Pattern and, when installed, KDE Picmi
#      (Debian package picmi) left still, and our play screen's against them;
#   5. frame time while the picture of a solved 25 x 25 puzzle appears, on
#      SDL's offscreen OpenGL driver (the play screen benchmark).
# Everything on screen runs in one X server started once, as on a desktop.
# How each is taken: docs/benchmarks.md.
#   bench/figures.sh [build-dir] [launch-runs] [seconds]   (defaults: build, 7, 10)
# Needs xvfb-run and a build with QUILTRO_BENCH=ON (quiltro7, tools/pakbuild,
# bench/first_frame, bench/quiltro7_bench); xdotool (optional) parks the
# pointer off the game's window, drives the title to the main menu and solves
# the board for the results screen.
# Takes about 4 minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(cd "${1:-build}" && pwd)
RUNS=${2:-7}
SECONDS_MEASURED=${3:-10}
GAME=$BUILD/quiltro7
PAK=$BUILD/tools/pakbuild
FIRST_FRAME=$BUILD/bench/first_frame
BENCH=$BUILD/bench/quiltro7_bench
for tool in "$GAME" "$PAK" "$FIRST_FRAME" "$BENCH"; do
  [ -x "$tool" ] || { echo "build $tool first (cmake -DQUILTRO_BENCH=ON)"; exit 1; }
done
PATTERN=""
for candidate in /usr/games/sgt-pattern /usr/games/pattern /usr/bin/sgt-pattern; do
  [ -x "$candidate" ] && { PATTERN=$candidate; break; }
done
PICMI=""
for candidate in /usr/games/picmi /usr/bin/picmi; do
  [ -x "$candidate" ] && { PICMI=$candidate; break; }
done
# A KDE program needs a session bus; without one Picmi ends at once.
command -v dbus-run-session > /dev/null || PICMI=""

# The largest board of the catalogue (the first of that size in catalogue
# order), as "<mode>,<set>,<puzzle> <size>": the story's sets move and grow.
read -r MODE SET NUMBER PUZZLE_SIZE < <(tools/puzzle_of_size.sh gamedata/properties/puzzles_quiltro7.xml largest)
PUZZLE=${NUMBER:+$MODE,$SET,$NUMBER}
[ -n "$PUZZLE" ] || { echo "no puzzle in gamedata/properties/puzzles_quiltro7.xml"; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/data" "$WORK/user"
"$PAK" gamedata "$WORK/data/main.pak" > /dev/null
export GAME FIRST_FRAME PATTERN PICMI RUNS SECONDS_MEASURED WORK PUZZLE PUZZLE_SIZE
export QUILTRO7_USER_DATA=$WORK/user SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

# Runs inside the X server (black root, so an undrawn window reads as black).
cat > "$WORK/inner.sh" <<'INNER'
set -u
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
frame_ms() { "$FIRST_FRAME" -- "$@" 2>/dev/null | awk '/^first frame:/ { print $3 }'; }
ours() { frame_ms "$GAME" -changedir "$WORK/data"; }
theirs() { frame_ms "$PATTERN"; }

echo "== Launch to the first drawn frame (ms; $RUNS runs each after one warm-up, in turn)"
ours > /dev/null
[ -n "$PATTERN" ] && theirs > /dev/null
: > "$WORK/a"; : > "$WORK/b"; : > "$WORK/r"
for _ in $(seq 1 "$RUNS"); do
  a=$(ours); echo "$a" >> "$WORK/a"
  if [ -n "$PATTERN" ]; then
    b=$(theirs); echo "$b" >> "$WORK/b"
    [ -n "$a" ] && [ -n "$b" ] && awk -v a="$a" -v b="$b" 'BEGIN { printf "%.3f\n", a / b }' >> "$WORK/r"
  fi
done
printf '  %-26s median %7s   runs: %s\n' "Grand Quiltro 7 (logo):" "$(median < "$WORK/a")" "$(tr '\n' ' ' < "$WORK/a")"
if [ -n "$PATTERN" ]; then
  printf '  %-26s median %7s   runs: %s\n' "Pattern ($PATTERN):" "$(median < "$WORK/b")" "$(tr '\n' ' ' < "$WORK/b")"
  printf '  %-26s median %7s   (target: at most 1.0)\n' "ratio, pair by pair:" "$(median < "$WORK/r")"
else
  echo "  Pattern: not installed (Debian package sgt-puzzles), comparison skipped"
fi

# utime + stime of the process in ms per second of wall time, and the
# scheduler's own count (ns resolution) for figures below the 10 ms tick.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
runtime_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f", s }'; }
private_dirty_kib() { awk '/^Private_Dirty:/ { print $2 }' "/proc/$1/smaps_rollup"; }
measure_still() {  # label, pid[, key: the figures kept for the comparison]
  local pid=$2 hz t0 r0 s0 t1 r1 s1
  hz=$(getconf CLK_TCK)
  kill -0 "$pid" 2>/dev/null || { printf '  %-40s the game ended early\n' "$1"; return; }
  for task in /proc/"$pid"/task/*; do
    awk -v id="${task##*/}" '{ print id, $1 }' "$task/schedstat" 2>/dev/null
  done | sort > "$WORK/before"
  t0=$(ticks "$pid"); r0=$(runtime_ns "$pid"); s0=$(date +%s.%N)
  sleep "$SECONDS_MEASURED"
  t1=$(ticks "$pid"); r1=$(runtime_ns "$pid"); s1=$(date +%s.%N)
  awk -v t="$((t1 - t0))" -v r="$((r1 - r0))" -v hz="$hz" -v a="$s0" -v b="$s1" -v m="$(private_dirty_kib "$pid")" -v l="$1" \
      -v keep="$WORK/figure-${3:-none}" \
    'BEGIN { cpu = r / 1e6 / (b - a); mib = m / 1024
             printf "  %-40s CPU %5.2f ms/s (ticks %4.1f)   Private_Dirty %6.1f MiB\n", l, cpu, t * 1000.0 / hz / (b - a), mib
             printf "%.3f %.1f\n", cpu, mib > keep }'
  # Which threads worked: the main one, the audio device's, the music
  # feeder (named as the program), llvmpipe's rasterisers.
  for task in /proc/"$pid"/task/*; do
    awk -v id="${task##*/}" '{ print id, $1 }' "$task/schedstat" 2>/dev/null
  done | sort > "$WORK/after"
  join "$WORK/before" "$WORK/after" 2>/dev/null | while read -r id a b; do
    awk -v n="$(cat /proc/"$pid"/task/"$id"/comm 2>/dev/null)" -v d="$((b - a))" -v s="$SECONDS_MEASURED" \
      'BEGIN { if (d / 1e6 / s >= 0.1) printf "%s %.2f, ", n, d / 1e6 / s }'
  done | sed -e 's/, $//' -e 's/^/      threads: /'
  echo
}
stop() { kill -TERM "$1" 2>/dev/null; wait "$1" 2>/dev/null || true; }
# A user folder of its own for each run; MUSIC0 set: the music's volume at 0.
fresh_user() {
  rm -rf "$WORK/user"; mkdir -p "$WORK/user"
  [ -n "${MUSIC0:-}" ] && echo '<settings><music-group name="music" volume="0.000"/></settings>' > "$WORK/user/settings.xml"
  true
}
# The start screen: past the start-up screens (the publisher's picture, the
# logo and the two splashes last about 15 s) and loading, the pointer off the window.
start_screen() {
  fresh_user
  "$GAME" -changedir "$WORK/data" 2>/dev/null &
  pid=$!
  command -v xdotool > /dev/null && xdotool mousemove 1279 1023
  sleep 25
}
# The main menu, reached as a new player does: the title's play button, a
# name, Enter (needs xdotool).
main_menu() {
  start_screen
  local window
  window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1)
  # The name entry slides in for about a second; typed before it has the focus,
  # the name is lost and the figure is the entry's (its caret redraws the frame).
  xdotool mousemove --window "$window" 512 576 click 1; sleep 3
  xdotool type --delay 80 "Ana"; xdotool key Return; sleep 0.5
  xdotool mousemove 1279 1023; sleep 5
}
play_screen() {
  fresh_user
  QUILTRO7_DEV_PUZZLE=$PUZZLE "$GAME" -changedir "$WORK/data" 2>/dev/null &
  pid=$!
  command -v xdotool > /dev/null && xdotool mousemove 1279 1023
  sleep 8
}
# The same board solved (the developer code "wunderpa", typed over the play
# screen), 8 s later: the picture has appeared (about 1 s) and the summary
# stands still beside it.
results_screen() {
  play_screen
  local window
  window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1)
  xdotool mousemove --window "$window" 1010 10
  xdotool type --delay 50 wunderpa
  xdotool mousemove 1279 1023
  sleep 8
}
# Another program left still, 10 s after it started, the pointer off its
# window, in a home folder of its own. Picmi runs in a session bus of its own
# (its pid is the program's, not the bus's).
peer_start() {
  rm -rf "$WORK/peerhome"; mkdir -p "$WORK/peerhome"
  if [ "$1" = "$PICMI" ]; then
    HOME=$WORK/peerhome XDG_RUNTIME_DIR=$WORK/peerhome dbus-run-session -- \
      sh -c "echo \$\$ > '$WORK/peer.pid'; exec '$1'" > /dev/null 2>&1 &
    bus=$!
    sleep 1; pid=$(cat "$WORK/peer.pid")
  else
    HOME=$WORK/peerhome "$1" > /dev/null 2>&1 &
    pid=$! bus=
  fi
  command -v xdotool > /dev/null && xdotool mousemove 1279 1023
  sleep 10
}
peer_stop() { kill -TERM "$pid" 2>/dev/null; wait "${bus:-$pid}" 2>/dev/null || true; }
# "ours / theirs" of two kept figures (field 1 CPU, 2 memory).
ratio() {
  awk -v f="$3" '{ v[FILENAME] = $f } END { a = v[ARGV[1]]; b = v[ARGV[2]]
    if (b > 0) printf "%.2f", a / b; else printf "n/a (theirs %s)", b }' "$WORK/figure-$1" "$WORK/figure-$2" 2>/dev/null
}

echo "== Still screens over ${SECONDS_MEASURED} s (targets: CPU at most 2 ms/s; memory at most KDE Picmi's)"
start_screen; measure_still "start screen:" "$pid"; stop "$pid"
if command -v xdotool > /dev/null; then
  main_menu; measure_still "main menu, its music playing:" "$pid"; stop "$pid"
  MUSIC0=1 main_menu; measure_still "main menu, music at 0:" "$pid"; stop "$pid"
fi
board="$PUZZLE_SIZE x $PUZZLE_SIZE ($PUZZLE)"
play_screen; measure_still "play screen $board, music:" "$pid"; stop "$pid"
MUSIC0=1 play_screen; measure_still "play screen $board, music 0:" "$pid" ours; stop "$pid"
if command -v xdotool > /dev/null; then
  results_screen; measure_still "results of that board, music:" "$pid"; stop "$pid"
  MUSIC0=1 results_screen; measure_still "results of that board, music 0:" "$pid" results; stop "$pid"
  printf '  %-40s CPU %s   Private_Dirty %s\n\n' "results / play screen (music 0):" "$(ratio results ours 1)" "$(ratio results ours 2)"
fi

echo "== Other picture-logic games left still, and our play screen (music at 0) against them"
peers=()
if [ -n "$PATTERN" ]; then
  peer_start "$PATTERN"; measure_still "Pattern, its default puzzle:" "$pid" pattern; peer_stop; peers+=(pattern)
else
  echo "  Pattern: not installed (Debian package sgt-puzzles), skipped"
fi
if [ -n "$PICMI" ]; then
  peer_start "$PICMI"; measure_still "KDE Picmi, its first puzzle:" "$pid" picmi; peer_stop; peers+=(picmi)
else
  echo "  KDE Picmi: not installed (Debian package picmi; it needs dbus-run-session), skipped"
fi
for peer in "${peers[@]}"; do
  printf '  %-40s CPU %s   Private_Dirty %s\n' "ours / $peer:" "$(ratio ours "$peer" 1)" "$(ratio ours "$peer" 2)"
done
INNER
echo "== Load of the machine at the start: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min; $(nproc) processors)"
xvfb-run -a -s "-screen 0 1280x1024x24 -br" bash "$WORK/inner.sh"
echo "== Load of the machine at the end: $(cut -d' ' -f1-3 /proc/loadavg)"

echo "== A frame while the picture of a solved 25 x 25 puzzle appears (update, draw, present)"
env -u DISPLAY -u WAYLAND_DISPLAY "$BENCH" --benchmark_filter='RevealFrame25' --benchmark_min_time=2 2>/dev/null |
  awk '/^BM_/ { printf "  %-34s wall %9s %s   CPU of the main thread %9s %s\n", $1 ":", $2, $3, $4, $5 }'
