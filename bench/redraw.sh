#!/usr/bin/env bash
# What the game draws for a click on a cell and while a solved picture
# appears, watched from outside through the X server (bench/damage_probe):
# frames, the pixels they replaced, the processor time, and the time from
# the click to the first changed pixels over the cell. Runs of each build in
# turn (A B A B ...), the median of each.
#   bench/redraw.sh [build] [runs] [other-build]
# The first 20 x 20 puzzle of the catalogue, opened through the developer path; the
# pointer rests on a cell near the board's middle before the click; the reveal is the
# developer code "wunderpa" typed while playing. Needs xvfb-run and a build
# with QUILTRO_BENCH=ON whose damage_probe was made (libxdamage-dev,
# libxtst-dev).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(cd "${1:-build}" && pwd)
RUNS=${2:-5}
OTHER=${3:+$(cd "$3" && pwd)}
PROBE=$BUILD/bench/damage_probe
[ -x "$PROBE" ] || { echo "build $PROBE first (cmake -DQUILTRO_BENCH=ON, libxdamage-dev, libxtst-dev)"; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/data"
read -r MODE SET NUMBER _ < <(tools/puzzle_of_size.sh gamedata/properties/puzzles_quiltro7.xml 20)
PUZZLE=$MODE,$SET,$NUMBER
"$BUILD/tools/pakbuild" gamedata "$WORK/data/main.pak" > /dev/null
export PROBE WORK RUNS BUILD OTHER PUZZLE SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
cat > "$WORK/inner.sh" <<'INNER'
set -u
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
field() { awk -v k="$1" '{ for (i = 1; i < NF; ++i) if ($i == k) { print $(i + 1); break } }'; }
run() {  # build, scenario
  rm -rf "$WORK/user"; mkdir -p "$WORK/user"
  echo '<settings><music-group name="music" volume="0.000"/></settings>' > "$WORK/user/settings.xml"
  local args=(--wait 8000 --click 734,490 --area 726,476,28,28 --record 1500)
  [ "$2" = reveal ] && args=(--wait 8000 --move 1010,10 --type wunderpa --record 5000)
  QUILTRO7_USER_DATA=$WORK/user QUILTRO7_DEV_PUZZLE=$PUZZLE "$PROBE" "${args[@]}" -- "$1/quiltro7" -changedir "$WORK/data" 2>/dev/null | tail -1
}
for scenario in click reveal; do
  for b in "$BUILD" $OTHER; do : > "$WORK/$scenario.$(basename "$b")"; done
  for _ in $(seq 1 "$RUNS"); do
    for b in "$BUILD" $OTHER; do run "$b" "$scenario" >> "$WORK/$scenario.$(basename "$b")"; done
  done
  for b in "$BUILD" $OTHER; do
    f=$WORK/$scenario.$(basename "$b")
    printf '%-7s %-28s frames %5s  pixels %10s  whole-frame equivalents %6s  CPU %6s ms/s  latency %6s ms\n' \
      "$scenario" "$(basename "$b"):" "$(field frames < "$f" | median)" "$(field pixels < "$f" | median)" \
      "$(field pixels < "$f" | awk '{ print $1 / 786432 }' | median)" "$(field cpu < "$f" | median)" \
      "$(field latency < "$f" | median)"
    sed 's/^/        /' "$f"
  done
done
INNER
xvfb-run -a -s "-screen 0 1280x1024x24 -br" bash "$WORK/inner.sh"
