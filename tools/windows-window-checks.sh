#!/usr/bin/env bash
# sweepwav.exe, the Win32 window, from outside under Wine: window_driver.exe
# starts it on a virtual screen, types into it with window messages and
# checks a table of scenarios; then the files it wrote are compared byte
# for byte with the Linux command line's for the same entries and seed.
# Play goes through Wine's PulseAudio driver to a sound server of the
# checks' own, whose null sink hears the file's samples.
# Run by tools/test-windows.sh inside xvfb-run, with WINEPREFIX set to a
# prefix of its own.
#   tools/windows-window-checks.sh SWEEPWAV_EXE DRIVER_EXE LINUX_CLI WINDOWS_CLI WORK_DIR
set -euo pipefail
source "$(dirname "$0")/wine-once-more.sh"
exe=$1 driver=$2 cli=$3 cli_exe=$4 work=$5
rm -rf "$work"
mkdir -p "$work/data" "$work/linux"
data=$work/data
key='HKCU\Software\Corvalis\Olvane\Paths'
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Every window on one virtual desktop that Wine draws itself, captions
# included, whatever the X server has for a window manager.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
wine reg delete 'HKCU\Software\sweepwav' /f >/dev/null 2>&1 || true

# The analyser, in a folder with a blank in its name.
analyser="$WINEPREFIX/drive_c/Analyser folder"
wavetables="$analyser/User Wavetables"
rm -rf "$analyser"
mkdir -p "$wavetables"
wine reg add "$key" /v "Application directory" /t REG_SZ /d 'C:\Analyser folder' /f >/dev/null
folder='C:\Analyser folder\User Wavetables\'
# A folder the window cannot write into, even as root: one of sysfs's.
ln -sfn /sys/kernel "$WINEPREFIX/drive_c/Unwritable"

# The files' settings: every word length, 1, 2 and 8 channels, the three
# shift modes, markers, dither on and off, the signal options, and tones at
# band centres (exact and nominal) and at listed frequencies.
cat >"$data/cases.txt" <<'EOF_CASES'
--steps 6 --tone-ms 50 --bits 16 --no-dither
--steps 6 --tone-ms 50 --bits 18
--steps 6 --tone-ms 50 --bits 20 --channels 1
--steps 6 --tone-ms 50 --bits 22 --channels 8
--steps 6 --tone-ms 50 --bits 24 --rate 96000
--steps 5 --tone-ms 40 --shift-mode 0 --linear --start-level -3 --end-level -40
--steps 5 --tone-ms 40 --shift-mode 1 --start-freq 100 --end-freq 8000
--steps 5 --tone-ms 40 --shift-mode 2 --tone-cycles 500 --rate 32000 --end-freq 15000
--steps 4 --tone-ms 60 --markers --bits 24 --channels 1
--steps 4 --tone-ms 60 --lead-in-ms 30 --gap-ms 20 --tail-ms 25 --ramp-ms 5 --signal-channels 1,3 --channels 4
--steps 3 --tone-ms 30 --signal-channels each --channels 2 --rate 48000 --markers
--bands 3 --start-freq 20 --end-freq 20000 --tone-ms 20 --tone-cycles 0
--bands 1 --nominal --start-freq 31.5 --end-freq 16000 --tone-ms 20 --tone-cycles 0 --start-level -6 --end-level -30
--frequencies 1000,100,15000,440.5 --tone-ms 30 --shift-mode 1 --markers
EOF_CASES

# Show Info: a report short enough for its box, and one for wav_info.txt.
short='--steps 2 --start-freq 1000 --end-freq 3000 --linear --rate 48000 --start-level -20 --end-level -20'
long='--steps 60 --shift-mode 1'
for kind in short long; do
  options=${!kind}
  echo "$options" >"$data/info_$kind.options"
  # shellcheck disable=SC2086
  "$cli" --info $options | sed 's/$/\r/' >"$data/info_$kind.expected"
done
settings='--start-freq 100 --end-freq 5000 --steps 7 --bits 24 --channels 1 --shift-mode 1 --markers --gap-ms 100 --ramp-ms 5 --file reopened'
echo "$settings" >"$data/settings.options"
# shellcheck disable=SC2086
"$cli" -q -o "$data" --seed 7 $settings --file reopened.expected
# The plan view and the exported plan.
plan='--steps 5 --linear --rate 48000'
echo "$plan" >"$data/plan.options"

# The sweep the window plays to the end (at each rate and channel count of
# the play checks below).
play='--steps 4 --start-freq 440 --end-freq 7000 --start-level -1 --end-level -30 --tone-ms 200 --bits 16 --no-dither'

# A sound server of our own with one null sink, found through PULSE_SERVER
# by Wine's sound driver: the form table plays to it too.
source "$(dirname "$0")/../tests/play/pulse_server.sh"
trap stop_server EXIT
start_server 48000 2

data_windows="$(winepath -w "$data")\\"
# The driver ends with its tally ("N passed, M failed"). One that ends
# without it never got going, as when Wine lost its server as the window
# started: run once more, and said. A failed scenario is never run again.
run_driver() {
  local scenarios=$1 out=$work/driver-$1.log attempt
  echo "window_driver $scenarios:"
  for attempt in 1 2; do
    if wine "$driver" "$scenarios" "$(winepath -w "$exe")" "$data_windows" "$2" </dev/null >"$out" 2>&1; then
      break
    elif ((attempt == 2)) || grep -q ' passed, [0-9]* failed' "$out"; then
      fail "window_driver $scenarios"
      break
    fi
    echo "RETRY: window_driver $scenarios ended without its tally:"
    tr -d '\r' <"$out" | sed 's/^/    /'
  done
  tr -d '\r' <"$out" | sed 's/^/  /'
}
run_driver all "$folder"
run_driver screenshot "$folder"

# The window's Play, heard by a null sink at the file's rate and channel
# count: the capture holds the file's audio frame for frame. A gap is tried
# once more, and said. Then Stop and the play without a sound output.
play_heard() {  # RATE CHANNELS
  echo "$play --rate $1 --channels $2" >"$data/play.options"
  # shellcheck disable=SC2086
  "$cli" -q -o "$work" $play --rate "$1" --channels "$2" --file play-reference
  stop_server
  start_server "$1" "$2" || return 1
  start_capture "$work/play.raw" "$1" "$2" || return 1
  # A driver that fails here (once Wine lost its server as the window
  # started) is this attempt's failure, tried once more as a gap is.
  local counted=$failures
  run_driver play-heard "$folder"
  if ((failures != counted)); then
    failures=$counted
    echo "the driver failed (above)" >"$work/play-heard.txt"
    stop_capture
    return 1
  fi
  # The monitor passes the last frames on a moment after they were played.
  local tries heard=1
  for tries in $(seq 50); do
    if python3 "$(dirname "$0")/../tests/play/capture_holds.py" "$work/play-reference.wav" "$work/play.raw" \
      >"$work/play-heard.txt"; then
      heard=0
      break
    fi
    sleep 0.1
  done
  stop_capture
  return $heard
}
for rate in 44100 48000; do
  for channels in 1 2; do
    if play_heard $rate $channels || { echo "RETRY: the window's Play: $(cat "$work/play-heard.txt")"; play_heard $rate $channels; }; then
      echo "  the window's Play, $rate Hz, $channels channel(s): the sink heard the file's $(($(stat -c %s "$work/play-reference.wav") - 44)) bytes of audio"
    else
      fail "the window's Play, $rate Hz, $channels channel(s): $(cat "$work/play-heard.txt")"
    fi
  done
done
stop_server
start_server 48000 2
run_driver play "$folder"

# What the window's Play says when the server refuses the format, and when
# it is killed while the sweep plays (as sweepwav-cli.exe says it).
play_fails() {  # MESSAGE
  SWEEPWAV_PLAY_FAILURE="Could not play the sweep: $1" run_driver play-failure "$folder"
  grep -q ' 0 failed' "$work/driver-play-failure.log"
}
stop_server
start_server 48000 2 formats=ac3-iec61937
play_fails 'the output device could not be opened (' || fail "the window's Play on a device that refuses the format"
stop_server
start_server 48000 2
play_fails 'the output device stopped playing' &
player=$!
wait_for_stream sink-inputs && sleep 0.5 && kill_server
wait $player || fail "the window's Play with the server killed while playing"

echo "The window's files against the Linux command line's (seed 7):"
index=0
while read -r options; do
  # shellcheck disable=SC2086
  "$cli" -q -o "$work/linux" --seed 7 --file "case-$index" $options
  verdict=equal
  cmp -s "$work/linux/case-$index.wav" "$wavetables/case-$index.wav" || { verdict=DIFFER; fail "case $index: $options"; }
  printf '  %-100s %10s  %s\n' "$options" "$(stat -c %s "$work/linux/case-$index.wav")" "$verdict"
  index=$((index + 1))
done <"$data/cases.txt"

# shellcheck disable=SC2086
"$cli" -q --save-settings "$work/linux/saved.sweep" $settings
verdict=equal
cmp -s "$work/linux/saved.sweep" "$data/saved.sweep" || { verdict=DIFFER; fail "the window's settings file differs from the command line's"; }
echo "  the settings file saved by the window: $verdict"
# The plan as sweepwav-cli.exe exports it: the Windows build's numbers.
# shellcheck disable=SC2086
wine "$cli_exe" -q $plan --info --plan "$(winepath -w "$work/linux")\\cli-plan.json" </dev/null >/dev/null
verdict=equal
cmp -s "$work/linux/cli-plan.json" "$data/plan.json" || { verdict=DIFFER; fail "the exported plan differs from sweepwav-cli.exe's"; }
echo "  the tone plan exported by the window: $verdict"

# Without the analyser's value: the message, then files go to C:\.
wine reg delete 'HKCU\Software\Corvalis' /f >/dev/null
run_driver no-analyser "$folder"
timeout 60 wineserver -w || true

if ((failures)); then
  echo "$failures window check(s) failed" >&2
  exit 1
fi
echo "All window checks passed"
