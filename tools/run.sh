#!/usr/bin/env bash
# Sets up, builds and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
# The window and what an install needs (the command line, manual pages,
# icons), not the tests and benchmark.
cmake --build build --target sweepwav_install_files -j"$(nproc)"
exec build/window/sweepwav "$@"
