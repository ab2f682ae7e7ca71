#!/usr/bin/env bash
# Sets up, builds and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
exec build/app/sweepwav "$@"
