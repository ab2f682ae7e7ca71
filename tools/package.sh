#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it with lintian.
#   tools/package.sh             build in build-deb with Debian's hardening
#                                flags, without tests and benchmark
#   tools/package.sh BUILD_DIR   package an existing build folder as it is
# Fails on any lintian error; warnings and notes are listed.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh

# The manual pages carry the date of the newest changelog entry rather than
# the day of the build.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/debian/changelog -S Timestamp)
export SOURCE_DATE_EPOCH

if (($# == 0)); then
  build=build-deb
  eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
  # CMake reads no CPPFLAGS (they hold _FORTIFY_SOURCE); pass them on.
  export CXXFLAGS="$CPPFLAGS $CXXFLAGS"
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DSWEEPWAV_BUILD_TESTS=OFF -DSWEEPWAV_BUILD_BENCH=OFF
else
  build=$1
fi
cmake --build "$build" -j"$(nproc)"

rm -f "$build"/sweepwav_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/sweepwav_*.deb)
lintian --display-info --fail-on error "${debs[0]}"
echo "package: ${debs[0]}"
