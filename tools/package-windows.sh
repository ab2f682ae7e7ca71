#!/usr/bin/env bash
# Builds sweepwav.exe (the window) and sweepwav-cli.exe for 64-bit Windows
# with mingw-w64 and packs the two downloads into build-windows-package/:
#   sweepwav-VERSION-win64.zip   both programs, README.txt and LICENSE.txt
#                                (CR LF line ends) and the presets, to
#                                unpack anywhere
#   sweepwav-VERSION-setup.exe   an NSIS installer of the same files
# Both programs must import the system's DLLs only, or the script fails.
# The files carry the date of the newest changelog entry, so the same tree
# gives the same zip.
#   tools/package-windows.sh [BUILD_DIR]
# With BUILD_DIR (an existing mingw-w64 build, such as tools/test-windows.sh
# leaves in build-windows), the programs are built there instead.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-windows-package
build=${1:-$out}
tools/install-packages.sh --no-install-recommends cmake make g++-mingw-w64-x86-64-posix zip unzip nsis dpkg-dev

if [[ $# -eq 0 ]]; then
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DSWEEPWAV_BUILD_WINDOW=OFF -DSWEEPWAV_BUILD_TESTS=OFF -DSWEEPWAV_WERROR=ON >/dev/null
fi
cmake --build "$build" -j2 --target sweepwav sweepwav-cli

version=$(sed -n 's/^project(sweepwav VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stamp=$(dpkg-parsechangelog -l packaging/debian/changelog -S Timestamp)
name=sweepwav-$version-win64
stage="$out/$name"
rm -rf "$stage" "$out/$name.zip" "$out/sweepwav-$version-setup.exe"
mkdir -p "$stage"
# Stripped copies; the link time is never in their headers.
for program in win32window/sweepwav.exe cli/sweepwav-cli.exe; do
  x86_64-w64-mingw32-strip -o "$stage/${program##*/}" "$build/$program"
done
tools/windows-imports.sh "$stage/sweepwav.exe" "$stage/sweepwav-cli.exe"
# Plain text for Notepad and friends: CR LF, and the version filled in.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' packaging/windows/README.txt >"$stage/README.txt"
sed -e 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
# The presets, as the programs read them beside themselves.
mkdir "$stage/presets"
cp packaging/presets/*.sweep "$stage/presets/"
touch -d "@$stamp" "$stage" "$stage"/* "$stage"/presets/*
(cd "$out" && TZ=UTC zip -q -X -r "$name.zip" "$name")
echo "package: $out/$name.zip"
unzip -l "$out/$name.zip"

cp win32window/sweepwav.ico "$out/sweepwav.ico"
size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DSIZE_KB="$size_kb" \
  -DOUTFILE="$PWD/$out/sweepwav-$version-setup.exe" packaging/windows/sweepwav.nsi
echo "installer: $out/sweepwav-$version-setup.exe"
