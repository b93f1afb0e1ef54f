#!/usr/bin/env bash
# The catalogue checker passes our own data and refuses each broken catalogue
# of the corpus the way the game does: a non-zero exit and the loader's
# message, with its file and line, printed once.
set -u
CHECK=$1
DATA=$2
CORPUS=$3
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

if ! out=$("$CHECK" "$DATA" 2>&1); then
  echo "FAIL: our own data was refused: $out"; exit 1
fi

mkdir -p "$WORK/properties"
cp "$DATA/properties/sets7.xml" "$DATA/properties/game.xml" "$WORK/properties/"
# The catalogue NAME of the corpus is refused, with exactly one message that
# `grep -c ARGS...` finds (WHAT says what those messages hold).
refused_once() {
  local name=$1 what=$2 out rc lines; shift 2
  cp "$CORPUS/$name.xml" "$WORK/properties/puzzles_quiltro7.xml"
  out=$("$CHECK" "$WORK" 2>&1); rc=$?
  lines=$(grep -c "$@" <<<"$out")
  if [ $rc -eq 0 ] || [ "$lines" -ne 1 ]; then
    echo "FAIL: $name gave rc=$rc and $lines messages $what: $out"; exit 1
  fi
}
for name in cut-after-a-puzzle grid-hash grid-dots grid-nine short-middle-row no-tile not-square \
            picture-short-row nested-puzzle oversized truncated-ragged out-of-place empty-grid-odd-picture; do
  refused_once "$name" "with file and line" " on Line [0-9]* in File '.*puzzles_quiltro7.xml'"
done
# Catalogues the loader reads but the game cannot play: a set its page cannot
# hold, a set with nothing to finish. The check names the mode, set and count.
for case in "set-of-eleven:story set 3 (\"harbor\") has 11 puzzles" "empty-set:bonus set 1 (\"attic\") has 0 puzzles"; do
  refused_once "${case%%:*}" "naming the set" -F "puzzles_quiltro7.xml: ${case#*:}"
done
echo "puzzlecheck: our data passes, every broken catalogue is refused once"
