#!/usr/bin/env bash
# Sets up a Debian 12 machine for Grand Quiltro 7 and then plays or tests it.
#   ./setup.sh play   install what is missing, build, and start the game
#   ./setup.sh test   install what is missing, build, and run the whole test suite
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
MODE=${1:-play}
JOBS=$(nproc 2>/dev/null || echo 2)

PACKAGES=(
  build-essential cmake pkg-config git
  libsdl2-dev libepoxy-dev libpng-dev libjpeg-dev zlib1g-dev libgif-dev
  libexpat1-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libvorbisidec-dev libmpg123-dev libxmp-dev
  libgl1-mesa-dri libegl-mesa0 libegl1
)
TEST_PACKAGES=(libgtest-dev libbenchmark-dev xvfb xauth xdotool xfonts-base x11-utils openbox)

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

configure() {  # build-dir, extra cmake args...
  local dir=$1; shift
  mkdir -p "$ROOT/$dir"
  cmake -S "$ROOT" -B "$ROOT/$dir" "$@" > "$ROOT/$dir/configure.log" 2>&1 \
    || { cat "$ROOT/$dir/configure.log"; exit 1; }
}
configure_and_build() {  # build-dir, extra cmake args...: every target
  configure "$@"
  cmake --build "$ROOT/$1" -j"$JOBS"
}

case "$MODE" in
  play)
    install_missing "${PACKAGES[@]}" libgtest-dev
    configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILTRO_BENCH=OFF
    # Only what the game needs: the game, the music library it loads and the
    # archive tool (the tests and tools are most of a whole build).
    cmake --build build -j"$JOBS" --target quiltro7 streammusic pakbuild
    # The game runs on the archive alone: gamedata/ packed into main.pak.
    mkdir -p build/data
    build/tools/pakbuild gamedata build/data/main.pak > /dev/null
    exec build/quiltro7 -changedir build/data
    ;;
  test)
    install_missing "${PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    export SDL_AUDIODRIVER=dummy
    start=$(date +%s)
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILTRO_WERROR=ON -DQUILTRO_BENCH=ON
    (cd build && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$JOBS")
    configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DQUILTRO_WERROR=ON \
      -DQUILTRO_SANITIZE=ON -DQUILTRO_BENCH=OFF
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
       xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$JOBS")
    echo "Whole test run took $(( $(date +%s) - start )) s."
    ;;
  *)
    echo "usage: $0 play|test" >&2
    exit 2
    ;;
esac
