#!/usr/bin/env bash
# Builds the two Debian packages with CPack, sweepwav-cli (the command line)
# and sweepwav (the window), and checks them with lintian and for their
# contents and dependencies.
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

rm -f "$build"/sweepwav_*.deb "$build"/sweepwav-cli_*.deb
(cd "$build" && cpack -G DEB)
cli=$(echo "$build"/sweepwav-cli_*.deb) window=$(echo "$build"/sweepwav_*.deb)
lintian --display-info --fail-on error "$cli" "$window"
version=$(sed -n 's/^project(sweepwav VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
bash tests/package/package_contents_test.sh deb "$cli" "$window" org.sweepwav.sweepwav "$version"
echo "packages: $cli $window"
