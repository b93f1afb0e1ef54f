#!/usr/bin/env bash
# Fails when product code outside the owner of player progress writes a
# progress field or saves or changes the profiles behind its back. Screens say
# what happened through PlayerProgress; only it (and the reader and defaults
# of the profile file) touch the records. Run from anywhere:
#   tools/check_progress_writers.sh [source-root]
set -euo pipefail
ROOT=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$ROOT"

# The owner, the profile file's reader and writer, the defaults of a new
# state, and the set catalogue (whose records have an "unlock" of their own).
ALLOWED='^puzzle/(PlayerProgress\.cpp|ProfileManager\.cpp|PlayerState\.(h|cpp))$'
CATALOGUE='^puzzle/SetStats\.(h|cpp)$'

FIELDS='mUnlock|mCompleted|mBestTime|mWithoutHints|mWithoutMistakes|mIntroduced|mCurrentCountry|mCurrentMode|mCurrentPuzzle|mNumHints'
# An assignment, compound assignment or step of a field, or a reference to
# one taken to write through later.
WRITE="(\\b($FIELDS)\\b[[:space:]]*(=[^=]|\\+=|-=|\\+\\+|--))|((\\+\\+|--)[[:space:]]*[A-Za-z_][A-Za-z0-9_.>()\\[\\]-]*\\b($FIELDS)\\b)|(&[[:space:]]*[A-Za-z_][A-Za-z0-9_.>()\\[\\]-]*\\b($FIELDS)\\b)"
CALLS='ProfileManager::(Save|CreateProfile|RenameProfile|SetProfileName|SelectProfile|SelectNoProfile|ClearProfiles|PublishProfiles|LoadText)\b|\bgProfiles\b[^;]*(=[^=]|\.(resize|clear|push_back|emplace_back|erase))|\bgSelectedProfile\b[[:space:]]*=[^=]'

status=0
while IFS= read -r file; do
  [[ $file =~ $ALLOWED ]] && continue
  if [[ ! $file =~ $CATALOGUE ]]; then
    while IFS= read -r hit; do
      echo "$file:$hit: writes a progress field; say it through PlayerProgress"
      status=1
    done < <(grep -nE "$WRITE" "$file" | grep -vE '^[0-9]+:[[:space:]]*//' || true)
  fi
  while IFS= read -r hit; do
    echo "$file:$hit: saves or changes the profiles; say it through PlayerProgress"
    status=1
  done < <(grep -nE "$CALLS" "$file" | grep -vE '^[0-9]+:[[:space:]]*//' || true)
done < <(find app core crash data puzzle render screens widgets audio platform -name '*.cpp' -o -name '*.h' | sort; ls main.cpp 2>/dev/null)

[ $status -eq 0 ] && echo "progress writers: only the owner writes player progress"
exit $status
