#!/usr/bin/env bash
# Redraws win32window/sweepwav.ico, the Windows program's icon, from the
# program's picture (tools/draw_picture.cpp) at the sizes Windows asks for:
# 16 to 64 pixels as bitmaps, 256 as PNG.
#   tools/make-windows-icon.sh [LINUX_BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tools/install-packages.sh --no-install-recommends icoutils
cmake --build "$build" --target sweepwav_draw_picture -j2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for size in 16 20 24 32 40 48 64 256; do
  "$build/window/sweepwav_draw_picture" "$tmp/$size.png" "$size"
done
icotool -c -o win32window/sweepwav.ico "$tmp"/{16,20,24,32,40,48,64}.png -r "$tmp/256.png"
icotool -l win32window/sweepwav.ico
