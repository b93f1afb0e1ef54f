#!/usr/bin/env bash
# Where a board of a size stands in a puzzle catalogue, as the developer path
# and the test and benchmark runs name it: prints "<mode> <set> <puzzle> <size>"
# for the first puzzle of that size in catalogue order, or of the largest
# size with "largest"; nothing when there is none.
#   tools/puzzle_of_size.sh CATALOGUE.xml SIZE|largest
set -eu
awk -v want="$2" '
  /<mode[ >]/ { m++; s = 0 } /<set[ >]/ { s++; p = 0 } /<puzzle[ >]/ { p++; rows = 0 }
  /<\/grid>/ {
    ingrid = 0
    if (want == "largest") { if (rows > best) { best = rows; at = (m - 1) " " (s - 1) " " (p - 1) } }
    else if (rows == want && at == "") { best = rows; at = (m - 1) " " (s - 1) " " (p - 1) }
  }
  ingrid && NF { rows++ }
  /<grid>/ { ingrid = 1 }
  END { if (at != "") print at, best }' "$1"
