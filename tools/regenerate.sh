#!/usr/bin/env bash
# Regenerates every committed file that a generator of tools/ makes (the
# pictures, the tracker music, the puzzle catalogue and its titles, the test
# overlay's sample pictures) into a scratch folder, with the arguments each
# generator is run with, and compares each byte for byte with the committed
# one. Lists every difference, every committed picture of the game that no
# generator makes, and what cannot be made again on a fresh machine (skipped).
#   tools/regenerate.sh <build-dir> <scratch-dir>
# Exit status 0 when everything matches. The test command runs it ("regenerate").
# To take a regenerated file, run its generator with its default output.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 2 ] || { echo "usage: tools/regenerate.sh <build-dir> <scratch-dir>" >&2; exit 2; }
TOOLS=$(cd "$1/tools" 2>/dev/null && pwd) || { echo "regenerate: no $1/tools: build first" >&2; exit 2; }
mkdir -p "$2" || exit 2
SCRATCH=$(cd "$2" && pwd)/regenerated
case "$SCRATCH" in "$ROOT"/gamedata* | "$ROOT"/tests/data*) echo "regenerate: the scratch folder lies in the data" >&2; exit 2 ;; esac
rm -rf "$SCRATCH"
# What each generator makes goes to made-by/<tool>/, laid out as the repository is.
MADE=$SCRATCH/made-by
out() {  # tool, folder of the repository: made, and its path
  mkdir -p "$MADE/$1/$2" && echo "$MADE/$1/$2"
}

status=0
problem() { echo "  $1"; status=1; }

# Every program of tools/ is either a generator run below or none.
GENERATORS="gridgen imagegen logoart mainmenuart mapart menuart musicgen puzzlegen selectart titleart"
OTHERS="pakbuild puzzlecheck rendercheck shotprobe"
echo "== Generators"
for src in "$ROOT"/tools/*.cpp; do
  name=$(basename "$src" .cpp)
  case " $GENERATORS $OTHERS " in
    *" $name "*) ;;
    *) problem "tools/$name.cpp is not known here: add it to GENERATORS (and run it) or to OTHERS" ;;
  esac
done

run() {  # tool, arguments...
  local tool=$1
  shift
  if [ ! -x "$TOOLS/$tool" ]; then
    problem "$tool: not built ($TOOLS/$tool)"
  elif ! "$TOOLS/$tool" "$@" > "$SCRATCH/$tool.log" 2>&1; then
    problem "$tool failed: $(tail -3 "$SCRATCH/$tool.log" | tr '\n' ' ')"
  else
    echo "  $tool $*"
  fi
}
for tool in logoart mainmenuart mapart menuart selectart titleart; do
  run "$tool" "$(out "$tool" gamedata/images)"
done
# gridgen reads the grid sizes from a data folder's game.xml and writes into
# its images/: a folder of its own with a copy of the rules.
mkdir -p "$SCRATCH/gridgen/properties"
cp "$ROOT/gamedata/properties/game.xml" "$SCRATCH/gridgen/properties/"
run gridgen "$SCRATCH/gridgen"
[ -d "$SCRATCH/gridgen/images" ] && mv "$SCRATCH/gridgen/images/"* "$(out gridgen gamedata/images)"
run imagegen "$(out imagegen tests/data/overlay/images)"
run musicgen "$(out musicgen gamedata/music)/puzzle.mod"
run puzzlegen --out "$(out puzzlegen gamedata/properties)/puzzles_quiltro7.xml"
# The titles are printed: the lines localization.xml holds.
TITLES=$SCRATCH/titles.txt
"$TOOLS/puzzlegen" --titles > "$TITLES" 2>&1 && echo "  puzzlegen --titles" || problem "puzzlegen --titles failed"

echo "== Compared with the committed files"
count=0
declare -A maker
while IFS= read -r -d '' made; do
  path=${made#"$MADE"/*/}
  tool=${made#"$MADE"/}
  tool=${tool%%/*}
  count=$((count + 1))
  [ -n "${maker[$path]:-}" ] && problem "$path: made by both tools/${maker[$path]} and tools/$tool"
  maker[$path]=$tool
  if [ ! -f "$ROOT/$path" ]; then
    problem "$path: made by tools/$tool, but not committed"
  elif ! cmp -s "$made" "$ROOT/$path"; then
    problem "$path: differs from what tools/$tool makes now"
  fi
done < <(find "$MADE" -type f -print0 | sort -z)
# The puzzle titles stand as one block among localization.xml's texts.
LOCALIZATION=$ROOT/gamedata/properties/localization.xml
first=$(head -1 "$TITLES")
lines=$(wc -l < "$TITLES")
start=$(grep -nxF -- "$first" "$LOCALIZATION" | head -1 | cut -d: -f1)
count=$((count + 1))
# (One reader: under pipefail, a reader cut off early by head would fail the check now and then.)
if [ -z "$start" ] || ! sed -n "${start},$((start + lines - 1))p" "$LOCALIZATION" | cmp -s - "$TITLES"; then
  problem "gamedata/properties/localization.xml: the puzzle titles differ from what 'puzzlegen --titles' prints"
fi
# Every picture of the game is made by a generator (docs: look.md, "Art sources").
for picture in "$ROOT"/gamedata/images/*; do
  name=$(basename "$picture")
  [ -n "${maker[gamedata/images/$name]:-}" ] || problem "gamedata/images/$name: no generator makes it"
done
echo "  $count files compared"

echo "== Not made again here (kept as committed)"
echo "  gamedata/sounds/ ($(ls "$ROOT/gamedata/sounds" | wc -l) files) and gamedata/music/menu.ogg: tools/make_sounds.sh"
echo "    needs SoX, which a fresh machine lacks (setup.sh does not install it)"
by_hand=()
for picture in "$ROOT"/tests/data/overlay/images/*; do
  name=$(basename "$picture")
  [ -n "${maker[tests/data/overlay/images/$name]:-}" ] || by_hand+=("$name")
done
[ ${#by_hand[@]} -eq 0 ] || echo "  tests/data/overlay/images/: ${#by_hand[@]} test fixtures drawn by hand: ${by_hand[*]}"

if [ $status -eq 0 ]; then
  echo "All regenerated files are the committed ones."
else
  echo "Regenerating does not give the committed files (see above; scratch: $SCRATCH)."
fi
exit $status
