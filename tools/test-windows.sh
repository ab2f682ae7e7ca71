#!/usr/bin/env bash
# Cross-builds the engine layers and their tests for 64-bit Windows with
# mingw-w64 and runs them under Wine, to keep the engine portable. Installs
# what it needs on Debian 12 (as root or through sudo). Everything it builds,
# GoogleTest and the Wine prefix included, stays in build-windows/.
# Slow, so not part of tools/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="$root/build-windows"
jobs=2

packages=(
  cmake make
  g++-mingw-w64-x86-64-posix  # the cross compiler with POSIX threads
  googletest                  # GoogleTest sources in /usr/src/googletest
  wine wine64                 # 64-bit Wine; console programs need no display
)
tools/install-packages.sh --no-install-recommends "${packages[@]}"

toolchain="$root/cmake/mingw-w64.cmake"

# GoogleTest, built with the same cross compiler and installed into the
# build folder (the Debian libraries are for Linux).
gtest="$build/googletest"
cmake -S /usr/src/googletest -B "$gtest/build" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$gtest/install" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
cmake --build "$gtest/build" -j"$jobs"
cmake --install "$gtest/build" >/dev/null

# A Wine prefix of our own, so the run neither needs nor touches ~/.wine.
# The tests are console programs: no display, no Mono or Gecko, and no menu
# entries written into the home folder.
export WINEPREFIX="$build/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
# Stop this prefix's Wine server when done, whatever the outcome.
trap 'wineserver -k 2>/dev/null || true' EXIT
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # Wine notes here that it has no 32-bit half; only the 64-bit one is used.
  if ! wineboot --init >"$build/wineboot.log" 2>&1 || ! wineserver -w; then
    cat "$build/wineboot.log" >&2
    echo "Could not create the Wine prefix" >&2
    exit 1
  fi
fi

# The engine and its tests. Test discovery is left to ctest, which runs the
# programs through Wine; the build itself runs nothing.
cmake -S . -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DSWEEPWAV_ENGINE_ONLY=ON -DSWEEPWAV_WERROR=ON \
  -DGTest_DIR="$gtest/install/lib/cmake/GTest" \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=env;WINEPREFIX=$WINEPREFIX;WINEDEBUG=-all;WINEDLLOVERRIDES=$WINEDLLOVERRIDES;wine"
cmake --build "$build" -j"$jobs"

# The engine tests in one Wine process.
wine "$build/tests/engine_tests.exe"

# Then through ctest: each engine test on its own in Wine, and the layering
# checks, each of which compiles a file the cross compiler must refuse.
ctest --test-dir "$build" --output-on-failure --no-tests=error -j"$jobs"
