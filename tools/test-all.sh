#!/usr/bin/env bash
# Every test of both platforms: first the Linux builds (Release and
# ASan+UBSan, the Debian packages), then the Windows build under Wine (the
# engine's and the command line's tests, the window driven through its
# scenarios, the zip and the installer), which compares with the Linux build
# of the first step. Installs what it needs on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
tools/test.sh
linux=$((SECONDS - start))
SWEEPWAV_LINUX_CLI="$PWD/build/cli/sweepwav-cli" tools/test-windows.sh
echo "Time: Linux $((linux / 60)) min $((linux % 60)) s, Windows $(((SECONDS - start - linux) / 60)) min $(((SECONDS - start - linux) % 60)) s"
