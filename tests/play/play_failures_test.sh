#!/usr/bin/env bash
# What Play says when it cannot play: no sound server (or, on Linux, no
# client library for it), a device that refuses the format, a server that
# goes away while playing; and a stop (SIGINT) while playing. Each ends at
# once with its own message and exit status; a failure leaves a file of the
# same name as it was.
#   play_failures_test.sh PROGRAM linux|windows [RUNNER]
set -uo pipefail
program=$1 platform=$2 runner=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/pulse_server.sh"
work=$(mktemp -d)
trap 'stop_server; rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# What each case must say, after "Could not play the sweep: ", per platform.
declare -A says
says[linux,none]='no sound server answers ('
says[linux,refused]='the output device does not take 48000 Hz, 16 bit, 2 channels (Not supported); the device "Null Output" takes ac3-iec61937'
says[linux,killed]='the sound server went away while playing ('
# Wine's driver opens no stream on a sink that takes no plain samples, and
# its buffers stop coming back once the server is gone.
says[windows,none]='there is no output device ('
says[windows,refused]='the output device could not be opened ('
says[windows,killed]='the output device stopped playing'

# Ten seconds of audio in 2 s tones, played while writing old.wav, which
# holds "old" before.
sweep=(--rate 48000 --channels 2 --no-dither --steps 4 --tone-ms 2000 -o . --file old.wav --play)
run() {
  echo old >old.wav
  timeout 30 $runner "$program" "${sweep[@]}" >/dev/null 2>err.txt
}
expect() {  # CASE STATUS TEXT
  local status=$2 text=$3 err
  err=$(tr -d '\r' <err.txt)
  [[ $status -ne 124 ]] || { fail "$1: no end within 30 seconds"; return; }
  [[ $status -eq 1 ]] || fail "$1: exit status $status, not 1"
  [[ $err == *"sweepwav-cli: Could not play the sweep: $text"* ]] || fail "$1: $err"
  [[ $(cat old.wav) == old ]] || fail "$1: old.wav was replaced"
  echo "$1: ${err##*sweepwav-cli: }"
}

# No server: a socket that is not there.
PULSE_SERVER="unix:$work/no-server" run
expect "no sound server" $? "${says[$platform,none]}"

# No client library: the one of that name that is found first is an empty
# file (the program loads the library only to play, so it starts without).
if [[ $platform == linux ]]; then
  mkdir "$work/lib" && : >"$work/lib/libpulse.so.0"
  LD_LIBRARY_PATH="$work/lib" run
  expect "no client library" $? \
    "the sound server's library libpulse.so.0 could not be loaded ($work/lib/libpulse.so.0: file too short)"
fi

# A device that takes no plain samples at all.
start_server 48000 2 formats=ac3-iec61937 || exit 1
run
expect "format refused" $? "${says[$platform,refused]}"
stop_server

# The server killed once the sweep plays.
start_server 48000 2 || exit 1
run &
runner_pid=$!
wait_for_stream sink-inputs && sleep 0.5 && kill_server
wait $runner_pid
expect "server killed while playing" $? "${says[$platform,killed]}"
stop_server

# A stop while playing (the command line has no console under Wine).
if [[ $platform == linux ]]; then
  start_server 48000 2 || exit 1
  echo old >old.wav
  $runner "$program" "${sweep[@]}" >/dev/null 2>err.txt &
  pid=$!
  wait_for_stream sink-inputs && sleep 0.5
  kill -INT $pid
  stopped=$SECONDS
  wait $pid
  status=$?
  [[ $status -eq 130 ]] || fail "stop: exit status $status, not 130"
  (( SECONDS - stopped < 5 )) || fail "stop: playing went on for $((SECONDS - stopped)) seconds"
  grep -q '^sweepwav-cli: stopped playing at sweep step 0 of 4$' err.txt || fail "stop: $(cat err.txt)"
  [[ $(stat -c %s old.wav) -gt 1000000 ]] || fail "stop: old.wav was not written at full length"
  echo "stop: $(tail -n 2 err.txt | tr '\n' ' ')"
  stop_server
fi

echo "$failures failed"
exit $((failures > 0))
