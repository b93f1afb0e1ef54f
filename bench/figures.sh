#!/usr/bin/env bash
# The game's headline figures in one run:
#   1. launch to the first drawn frame, against Simon Tatham's Pattern
#      (sgt-puzzles) started the same way, runs taken in turn A B A B;
#   2. processor time per second on a still start screen and a still play
#      screen (the largest board the game ships, 20 x 20);
#   3. private memory (Private_Dirty) on both;
#   4. frame time while the picture of a solved 25 x 25 puzzle appears, on
#      SDL's offscreen OpenGL driver (the play screen benchmark).
# How each is taken: docs/benchmarks.md.
#   bench/figures.sh [build-dir] [launch-runs] [seconds]   (defaults: build, 7, 10)
# Needs xvfb-run and a build with QUILTRO_BENCH=ON (quiltro7, tools/pakbuild,
# bench/first_frame, bench/quiltro7_bench); xdotool (optional) parks the
# pointer off the game's window. Takes about 1.5 minutes.
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

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/data" "$WORK/user"
"$PAK" gamedata "$WORK/data/main.pak" > /dev/null
export GAME FIRST_FRAME PATTERN RUNS SECONDS_MEASURED WORK
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
measure_still() {  # label, pid
  local pid=$2 hz t0 r0 s0 t1 r1 s1
  hz=$(getconf CLK_TCK)
  kill -0 "$pid" 2>/dev/null || { printf '  %-26s the game ended early\n' "$1"; return; }
  t0=$(ticks "$pid"); r0=$(runtime_ns "$pid"); s0=$(date +%s.%N)
  sleep "$SECONDS_MEASURED"
  t1=$(ticks "$pid"); r1=$(runtime_ns "$pid"); s1=$(date +%s.%N)
  awk -v t="$((t1 - t0))" -v r="$((r1 - r0))" -v hz="$hz" -v a="$s0" -v b="$s1" -v m="$(private_dirty_kib "$pid")" -v l="$1" \
    'BEGIN { printf "  %-26s CPU %5.2f ms/s (ticks %4.1f)   Private_Dirty %6.1f MiB\n", l, r / 1e6 / (b - a), t * 1000.0 / hz / (b - a), m / 1024 }'
}
stop() { kill -TERM "$1" 2>/dev/null; wait "$1" 2>/dev/null || true; }

echo "== Still screens over ${SECONDS_MEASURED} s (targets: CPU at most 2 ms/s; memory at most KDE Picmi's, about 36 MiB Private_Dirty, a figure given to us)"
"$GAME" -changedir "$WORK/data" 2>/dev/null &
pid=$!
# Past the start-up screens (the publisher's picture, the logo and the two
# splashes last about 15 s) and loading, with the pointer off the window.
command -v xdotool > /dev/null && xdotool mousemove 1279 1023
sleep 25
measure_still "start screen:" "$pid"
stop "$pid"

QUILTRO7_DEV_PUZZLE=0,2,4 "$GAME" -changedir "$WORK/data" 2>/dev/null &
pid=$!
command -v xdotool > /dev/null && xdotool mousemove 1279 1023
sleep 8
measure_still "play screen, 20 x 20:" "$pid"
stop "$pid"
INNER
xvfb-run -a -s "-screen 0 1280x1024x24 -br" bash "$WORK/inner.sh"

echo "== A frame while the picture of a solved 25 x 25 puzzle appears (update, draw, present)"
env -u DISPLAY -u WAYLAND_DISPLAY "$BENCH" --benchmark_filter='RevealFrame25' --benchmark_min_time=2 2>/dev/null |
  awk '/^BM_/ { printf "  %-34s wall %9s %s   CPU of the main thread %9s %s\n", $1 ":", $2, $3, $4, $5 }'
