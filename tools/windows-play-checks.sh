#!/usr/bin/env bash
# sweepwav-cli.exe --play under Wine, through Wine's PulseAudio driver to a
# private sound server: a null sink at the file's rate and channel count
# hears the file's samples (16 bit, no dither, 44.1 and 48 kHz, 1 and 2
# channels), and the failures (no server, a device that takes no plain
# samples, the server killed while playing) end with their messages. Run by
# tools/test-windows.sh with WINEPREFIX set.
#   tools/windows-play-checks.sh WINDOWS_EXE
set -uo pipefail
exe=$1
tests=$(cd "$(dirname "$0")/../tests/play" && pwd)
status=0
for rate in 44100 48000; do
  for channels in 1 2; do
    "$tests/play_capture_test.sh" "$exe" "$rate" "$channels" wine || status=1
  done
done
"$tests/play_failures_test.sh" "$exe" windows wine || status=1
exit $status
