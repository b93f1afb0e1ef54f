#!/usr/bin/env bash
# CPU cost of the real game window under Xvfb: milliseconds of processor time
# per second of wall time, first on a still screen, then while a scripted
# animation runs (bench/idle_data's "bench_ticker", which wakes its script
# every update step, played over the window by bench/idle/IdleGame.cpp: the
# game itself has no way to start it).
#   bench/idle_cpu.sh [build-dir] [seconds]      (defaults: build, 10)
# SDL_AUDIODRIVER picks the sound device (default: SDL's dummy device, whose
# own thread wakes every period; a name that cannot open measures without one).
# Needs xvfb-run and a build with QUILTRO_BENCH=ON. Takes about 2 x (settle + seconds).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
SECONDS_MEASURED=${2:-10}
# Past the start-up screens (the logo and both splashes last 15 s) and loading.
SETTLE=25
GAME=$BUILD/quiltro7
IDLE_GAME=$BUILD/bench/idle_game
PAK=$BUILD/tools/pakbuild
for tool in "$GAME" "$IDLE_GAME" "$PAK"; do
  [ -x "$tool" ] || { echo "build $tool first (cmake -DQUILTRO_BENCH=ON)"; exit 1; }
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/data" "$WORK/user"
"$PAK" gamedata "$WORK/data/main.pak" > /dev/null
# A loose animations.xml, the game's own with the bench animation added, lays
# itself over the packed one.
mkdir -p "$WORK/data/properties"
sed -e '/<\/animations>/{r bench/idle_data/bench_ticker.xml' -e 'd}' gamedata/properties/animations.xml \
  > "$WORK/data/properties/animations.xml"
echo "</animations>" >> "$WORK/data/properties/animations.xml"

# Runs inside the X server: starts the game, lets it settle, samples
# utime+stime of its process over the measured time.
cat > "$WORK/measure.sh" <<'INNER'
#!/usr/bin/env bash
set -u
data=$1 settle=$2 seconds=$3
shift 3
"$@" -changedir "$data" &
pid=$!
sleep "$settle"
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
# The scheduler's own count, in ns, for figures below the 10 ms tick.
runtime() { cat /proc/$pid/task/*/schedstat | awk '{ s += $1 } END { printf "%.0f", s }'; }
kill -0 $pid 2>/dev/null || { echo "the game ended early"; exit 1; }
hz=$(getconf CLK_TCK)
t0=$(ticks); r0=$(runtime); s0=$(date +%s.%N)
sleep "$seconds"
t1=$(ticks); r1=$(runtime); s1=$(date +%s.%N)
kill -TERM $pid; wait $pid || true
awk -v t="$((t1 - t0))" -v r="$((r1 - r0))" -v hz="$hz" -v a="$s0" -v b="$s1" \
    'BEGIN { printf "%.1f ms CPU per second (scheduler: %.2f)\n", t * 1000.0 / hz / (b - a), r / 1e6 / (b - a) }'
INNER
chmod +x "$WORK/measure.sh"

run() {  # label, the program and its arguments before the data folder
  local label=$1 result
  shift
  result=$(QUILTRO7_USER_DATA="$WORK/user" SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" \
           xvfb-run -a -s "-screen 0 1280x1024x24" \
           "$WORK/measure.sh" "$WORK/data" "$SETTLE" "$SECONDS_MEASURED" "$@")
  printf '%-22s %s\n' "$label" "$result"
}
run "still screen:" "$GAME"
run "scripted animation:" "$IDLE_GAME" bench_ticker
