#!/usr/bin/env bash
# Builds sweepwav-cli.exe for 64-bit Windows with mingw-w64 (no tests, no
# Qt) and packs the download: build-windows-package/sweepwav-cli-VERSION-win64.zip
# with the program, README.txt and LICENSE.txt, both with CR LF line ends.
# The files carry the date of the newest changelog entry, so the same tree
# gives the same zip.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-windows-package
tools/install-packages.sh --no-install-recommends cmake make g++-mingw-w64-x86-64-posix zip dpkg-dev

# Stripped, and without the link time in its header.
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DSWEEPWAV_BUILD_WINDOW=OFF -DSWEEPWAV_BUILD_TESTS=OFF -DSWEEPWAV_WERROR=ON \
  "-DCMAKE_EXE_LINKER_FLAGS=-s -Wl,--no-insert-timestamp" >/dev/null
cmake --build "$build" -j2 --target sweepwav-cli

version=$(sed -n 's/^project(sweepwav VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stamp=$(dpkg-parsechangelog -l packaging/debian/changelog -S Timestamp)
name=sweepwav-cli-$version-win64
stage="$build/$name"
rm -rf "$stage" "$build/$name.zip"
mkdir -p "$stage"
cp "$build/cli/sweepwav-cli.exe" "$stage/"
# Plain text for Notepad and friends: CR LF, and the version filled in.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' packaging/windows/README.txt >"$stage/README.txt"
sed -e 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
touch -d "@$stamp" "$stage" "$stage"/*
(cd "$build" && TZ=UTC zip -q -X -r "$name.zip" "$name")
echo "package: $build/$name.zip"
unzip -l "$build/$name.zip"
