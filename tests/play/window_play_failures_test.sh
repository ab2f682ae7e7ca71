#!/usr/bin/env bash
# What the window's Play says when it cannot play through Qt Multimedia: no
# sound server, a device that refuses the format, a server that goes away
# while playing. Each ends with one message that names what failed, and the
# form unlocked (window_play_tests checks both), never a hang. And Stop
# while playing ends it there.
#   window_play_failures_test.sh WINDOW_PLAY_TESTS
set -uo pipefail
player=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/pulse_server.sh"
work=$(mktemp -d)
trap 'stop_server; rm -rf "$work"' EXIT
failures=0

# Ten seconds of audio in 2 s tones.
sweep=(--rate 48000 --channels 2 --no-dither --steps 4 --tone-ms 2000)
run() {  # CASE MESSAGE
  SWEEPWAV_PLAY_FAILURE="Could not play the sweep: $2" timeout 60 "$player" "${sweep[@]}" >"$work/out.txt" 2>&1
  local status=$?
  if [[ $status -eq 0 ]]; then
    echo "$1: passed"
  else
    echo "FAIL: $1 (status $status):"
    grep -E '^(FAIL|   Loc)' "$work/out.txt"
    failures=$((failures + 1))
  fi
}

PULSE_SERVER="unix:$work/no-server" run "no sound server" "no sound server answers ("

start_server 48000 2 formats=ac3-iec61937 || exit 1
run "format refused" 'the output device does not take 48000 Hz, 16 bit, 2 channels (Not supported); the device "Null Output" takes ac3-iec61937'
stop_server

start_server 48000 2 || exit 1
run "server killed while playing" "the output device was lost while playing (" &
wait_for_stream sink-inputs && sleep 0.5 && kill_server
wait $!
stop_server

start_server 48000 2 || exit 1
if SWEEPWAV_PLAY_STOP=1 timeout 60 "$player" "${sweep[@]}" >"$work/out.txt" 2>&1; then
  echo "stop: $(grep -o 'playing stopped .*' "$work/out.txt")"
else
  echo "FAIL: stop:"
  grep -E '^(FAIL|   Loc|   Actual|   Expected)' "$work/out.txt"
  failures=$((failures + 1))
fi
stop_server

echo "$failures failed"
exit $((failures > 0))
