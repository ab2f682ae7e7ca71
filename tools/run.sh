#!/usr/bin/env bash
# Sets up, builds and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
# Only the window and what it links, not the tests and benchmark.
cmake --build build --target sweepwav -j"$(nproc)"
exec build/window/sweepwav "$@"
