#!/usr/bin/env bash
# Fails when an include points up the layers or a platform header (SDL,
# OpenGL, POSIX) is included outside platform/. Run from anywhere:
#   tools/check_layers.sh [source-root]
set -euo pipefail
ROOT=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$ROOT"

# What each folder may include besides itself, bottom first.
declare -A MAY=(
  [platform]=""
  [core]="platform"
  [data]="core platform"
  [render]="data core platform"
  [audio]="data core platform"
  [musiclib]="audio"
  [crash]="core platform"
  [widgets]="render audio data core platform"
  [app]="widgets render audio crash data core platform"
  [puzzle]="app widgets render audio crash data core platform"
  [screens]="puzzle app widgets render audio crash data core platform"
)
# The puzzle rules stand apart from the board: the bottom utilities only.
MODEL_FILES='^puzzle/(PuzzleModel|PlayPolicy|PlayTypes|Clues)[A-Za-z]*\.(h|cpp)$'
PLATFORM_HEADERS='^(SDL2?/|SDL\.h|SDL_|epoxy/|GL/|EGL/|GLES|unistd\.h|fcntl\.h|signal\.h|csignal|pthread\.h|dirent\.h|dlfcn\.h|execinfo\.h|poll\.h|termios\.h|pwd\.h|netdb\.h|sys/|netinet/|arpa/|X11/)'

status=0
report() { echo "$1"; status=1; }

while IFS= read -r file; do
  layer=${file%%/*}
  allowed=" $layer ${MAY[$layer]:-} "
  model=0
  [[ $file =~ $MODEL_FILES ]] && model=1
  while IFS= read -r line; do
    num=${line%%:*}
    text=${line#*:}
    if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^>]+)\> ]]; then
      header=${BASH_REMATCH[1]}
      if [[ $layer != platform && $header =~ $PLATFORM_HEADERS ]]; then
        report "$file:$num: platform header <$header> outside platform/"
      fi
    elif [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([a-z]+)/([^\"]+)\" ]]; then
      target=${BASH_REMATCH[1]}
      path="${BASH_REMATCH[1]}/${BASH_REMATCH[2]}"
      if [[ $model == 1 ]]; then
        if [[ $target != core && ! $path =~ $MODEL_FILES ]]; then
          report "$file:$num: the puzzle model includes \"$path\" (only core/ and the model)"
        fi
      elif [[ -n ${MAY[$target]+x} && $allowed != *" $target "* ]]; then
        report "$file:$num: $layer/ includes \"$path\", which sits above it"
      fi
    fi
  done < <(grep -n '#[[:space:]]*include' "$file" || true)
done < <(for layer in "${!MAY[@]}"; do
           [ -d "$layer" ] && find "$layer" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \)
         done | sort)

# Outside the layers (tests, tools, benchmarks, main) only the platform rule holds,
# except in bench/firstframe/, bench/damage/ and what they share, bench/xwatch/:
# stand-alone programs that watch another program's window through X from
# outside and link nothing of ours.
while IFS= read -r hit; do
  [[ $hit == bench/firstframe/* || $hit == bench/damage/* || $hit == bench/xwatch/* ]] && continue
  header=$(sed -E 's/.*#[[:space:]]*include[[:space:]]*<([^>]+)>.*/\1/' <<<"${hit#*:*:}")
  [[ $header =~ $PLATFORM_HEADERS ]] && report "${hit%%:*}: platform header <$header> outside platform/"
done < <(grep -rn --include='*.h' --include='*.cpp' '#[[:space:]]*include[[:space:]]*<' tests tools bench main.cpp || true)

[ $status -eq 0 ] && echo "Layers: every include points down; platform headers stay in platform/."
exit $status
