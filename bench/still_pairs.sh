#!/usr/bin/env bash
# Two builds of the game compared on still screens, in pairs: A then B on the
# same screen, again and again, so the machine's drift (a shared, loaded
# machine) falls on both alike. Prints each run and the medians of processor
# time per second (all threads, SDL's audio thread, the music feeder) and of
# Private_Dirty.
#   bench/still_pairs.sh DIR_A DIR_B [pairs] [seconds] [screens]
# DIR_A and DIR_B each hold a game (quiltro7 and libstreammusic.so beside it)
# and, optionally, its own main.pak (else both play the archive packed from
# gamedata/ by build/tools/pakbuild). screens: any of "title menu play"
# (default all three); the menu and the play screen play their music.
# QUILTRO7_DEV_PUZZLE picks the play screen's puzzle (default 0,3,4, the
# 20 x 20 board). Needs xvfb-run and xdotool. How each figure is taken:
# docs/benchmarks.md.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 2 ] || { sed -n '2,14p' "$0"; exit 1; }
A=$(cd "$1" && pwd)
B=$(cd "$2" && pwd)
PAIRS=${3:-5}
SECONDS_MEASURED=${4:-10}
SCREENS=${5:-title menu play}
PUZZLE=${QUILTRO7_DEV_PUZZLE:-0,3,4}
for dir in "$A" "$B"; do
  [ -x "$dir/quiltro7" ] || { echo "no game in $dir"; exit 1; }
done
command -v xdotool > /dev/null || { echo "needs xdotool"; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/a" "$WORK/b"
for side in a b; do
  dir=$A; [ $side = b ] && dir=$B
  if [ -f "$dir/main.pak" ]; then
    ln -s "$dir/main.pak" "$WORK/$side/main.pak"
  else
    build/tools/pakbuild gamedata "$WORK/$side/main.pak" > /dev/null
  fi
done
export A B PAIRS SECONDS_MEASURED SCREENS PUZZLE WORK SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

cat > "$WORK/inner.sh" <<'INNER'
set -u
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# One line a thread: its id, whether it is the main one, its name, its run time (ns).
thread_ns() {
  for t in /proc/"$1"/task/*; do
    printf '%s %s %s %s\n' "${t##*/}" "$([ "${t##*/}" = "$1" ] && echo main || echo other)" \
      "$(cat "$t/comm" 2>/dev/null)" "$(awk '{ print $1 }' "$t/schedstat" 2>/dev/null)"
  done | sort
}
# Prints: all threads' ms/s, SDL's audio thread's (SDLAudioP*), the music
# feeder's (every thread named as the program but the main one), MiB.
measure() {
  local pid=$1 s0 s1
  thread_ns "$pid" > "$WORK/t0"; s0=$(date +%s.%N)
  sleep "$SECONDS_MEASURED"
  thread_ns "$pid" > "$WORK/t1"; s1=$(date +%s.%N)
  local mib
  mib=$(awk '/^Private_Dirty:/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/smaps_rollup")
  join "$WORK/t0" "$WORK/t1" | awk -v w="$(echo "$s1 - $s0" | bc)" -v m="$mib" '
    { d = ($7 - $4) / 1e6 / w; all += d; if ($3 ~ /^SDLAudio/) sdl += d; else if ($3 == "quiltro7" && $2 != "main") feeder += d }
    END { printf "%.2f %.2f %.2f %s\n", all, sdl, feeder, m }'
}
start() {  # side, screen
  local dir=$A; [ "$1" = b ] && dir=$B
  rm -rf "$WORK/user"; mkdir -p "$WORK/user"
  if [ "$2" = play ]; then
    QUILTRO7_USER_DATA=$WORK/user QUILTRO7_DEV_PUZZLE=$PUZZLE "$dir/quiltro7" -changedir "$WORK/$1" 2>/dev/null &
    pid=$!
    xdotool mousemove 1279 1023; sleep 8
    return
  fi
  QUILTRO7_USER_DATA=$WORK/user "$dir/quiltro7" -changedir "$WORK/$1" 2>/dev/null &
  pid=$!
  xdotool mousemove 1279 1023; sleep 25
  if [ "$2" = menu ]; then
    local window
    window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1)
    xdotool mousemove --window "$window" 512 576 click 1; sleep 3
    xdotool type --delay 80 "Ana"; xdotool key Return; sleep 0.5
    xdotool mousemove 1279 1023; sleep 5
  fi
}
for screen in $SCREENS; do
  echo "== $screen ($PAIRS pairs of $SECONDS_MEASURED s; CPU ms/s: all threads, SDL's audio thread, music feeder; Private_Dirty MiB)"
  : > "$WORK/ra"; : > "$WORK/rb"
  for i in $(seq 1 "$PAIRS"); do
    for side in a b; do
      start $side "$screen"
      if kill -0 "$pid" 2>/dev/null; then r=$(measure "$pid"); else r="nan nan nan nan"; fi
      kill -TERM "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
      echo "$r" >> "$WORK/r$side"
      printf '  %s run %d: %s\n' "$side" "$i" "$r"
    done
  done
  for side in a b; do
    printf '  median %s: CPU %s  SDL audio %s  feeder %s  Private_Dirty %s\n' "$side" \
      "$(awk '{ print $1 }' "$WORK/r$side" | median)" "$(awk '{ print $2 }' "$WORK/r$side" | median)" \
      "$(awk '{ print $3 }' "$WORK/r$side" | median)" "$(awk '{ print $4 }' "$WORK/r$side" | median)"
  done
done
INNER
xvfb-run -a -s "-screen 0 1280x1024x24 -br" bash "$WORK/inner.sh"
