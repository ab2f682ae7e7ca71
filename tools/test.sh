#!/usr/bin/env bash
# Sets up, builds and runs every test: once in a Release build (and checks
# its Debian package), once with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSWEEPWAV_WERROR=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
# The Debian package of that build, which lintian must pass without errors.
tools/package.sh build

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSWEEPWAV_SANITIZE=ON -DSWEEPWAV_BUILD_BENCH=OFF -DSWEEPWAV_WERROR=ON
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"
