#!/usr/bin/env bash
# Times sweepwav-cli on a large sweep against sox writing the same frames and
# against dd writing the same number of bytes, and measures its peak memory.
#
#   bench/run.sh            (REPEATS=5 BUILD_DIR=<repo>/build-bench by default)
#
# Sweep: 192 kHz, 24 bit, 10 steps (11 tones) of 2000 ms, dither on, once in
# 8 channels (about 101 MB) and once in mono. Targets: 8 channels at most
# 0.8 x sox and 4 x dd, mono at most 1.0 x sox, peak memory at most the file
# size + 32 MiB. Every figure is the median of REPEATS runs.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build-bench}"
REPEATS="${REPEATS:-5}"
JOBS="${JOBS:-2}"

say() { printf '%s\n' "$*"; }

# ---- tools ------------------------------------------------------------------
need_packages=()
command -v sox >/dev/null 2>&1 || need_packages+=(sox)
[ -x /usr/bin/time ] || need_packages+=(time)
if [ "${#need_packages[@]}" -gt 0 ]; then
    say "Installing ${need_packages[*]}..."
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq "${need_packages[@]}" >/dev/null
fi

# ---- build --------------------------------------------------------------------
build_type=""
if [ -f "$BUILD_DIR/CMakeCache.txt" ]; then
    build_type="$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt")"
fi
if [ "$build_type" != "Release" ]; then
    cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DSWEEPWAV_SANITIZE=OFF >/dev/null
fi
cmake --build "$BUILD_DIR" -j"$JOBS" --target sweepwav-cli >/dev/null
# The window's benchmark program is optional: built when the project has it.
cmake --build "$BUILD_DIR" -j"$JOBS" --target sweepwav_window_bench >/dev/null 2>&1 || true
CLI="$BUILD_DIR/cli/sweepwav-cli"

WINDOW_BENCH=""
for candidate in "$BUILD_DIR/bench/window_bench" "$BUILD_DIR/bench/sweepwav_window_bench"; do
    if [ -x "$candidate" ]; then WINDOW_BENCH="$candidate"; break; fi
done

# Output files go to a scratch folder next to the build, on the same disk for
# every tool.
WORK="$(mktemp -d "$BUILD_DIR/bench-out.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT

# ---- helpers ------------------------------------------------------------------
# Runs a command once under /usr/bin/time -v; prints "<seconds> <max RSS KiB>".
timed() {
    local log="$WORK/time.log" start end
    start="$EPOCHREALTIME"
    /usr/bin/time -v -o "$log" "$@" >/dev/null 2>"$WORK/stderr.log" || {
        say "command failed: $*" >&2
        cat "$WORK/stderr.log" >&2
        exit 1
    }
    end="$EPOCHREALTIME"
    local rss
    rss="$(sed -n 's/.*Maximum resident set size (kbytes): *//p' "$log")"
    awk -v s="$start" -v e="$end" -v r="$rss" 'BEGIN { printf "%.4f %s\n", e - s, r }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.4f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

verdict() {  # value limit
    awk -v v="$1" -v l="$2" 'BEGIN { print (v <= l) ? "ok" : "MISSED" }'
}

# Runs one timed repetition of a command that writes $out; appends its time
# to $WORK/<name>.times and its peak RSS to $WORK/<name>.rss.
once() {
    local name="$1" out="$2"
    shift 2
    rm -f "$out"
    sync
    local secs rss
    read -r secs rss < <(timed "$@")
    echo "$secs" >>"$WORK/$name.times"
    echo "$rss" >>"$WORK/$name.rss"
}

frames_of() { soxi -s "$1"; }

# One click on "Generate file" in a fresh window process, under the same
# conditions as the other tools (no file to replace, nothing left to flush);
# the program prints the click's time as "window <seconds>".
window_once() {
    mkdir -p "$WORK/window"
    rm -f "$WORK/window/filename.wav"
    sync
    "$WINDOW_BENCH" "$WORK/window" 1 2>>"$WORK/window.err" |
        awk '$1 == "window" { print $2 }' >>"$WORK/window.times"
}

# ---- the two cases ------------------------------------------------------------------
declare -a SUMMARY=()

run_case() {
    local channels="$1" sox_limit="$2" dd_limit="$3"
    local sweep="$WORK/sweep.wav" soxout="$WORK/sox.wav" ddout="$WORK/dd.bin"
    say ""
    say "== 192 kHz, 24 bit, $channels channel(s), 11 tones of 2000 ms, dither on; $REPEATS runs each =="

    rm -f "$WORK"/sweepwav.* "$WORK"/sox.* "$WORK"/dd.*
    # One untimed run gives the byte count for dd; then the three tools take
    # turns in every round, so that a load that comes and goes touches all.
    local sweep_cmd=("$CLI" --quiet --output-dir "$WORK" --file sweep --rate 192000 --bits 24
        --channels "$channels" --steps 10 --tone-ms 2000 --tone-cycles 0 --shift-mode 0)
    "${sweep_cmd[@]}"
    local bytes
    bytes="$(stat -c %s "$sweep")"
    for _ in $(seq "$REPEATS"); do
        once sweepwav "$sweep" "${sweep_cmd[@]}"
        once sox "$soxout" sox -n -r 192000 -b 24 -c "$channels" "$soxout" synth 22 sine 1000
        once dd "$ddout" dd if=/dev/zero of="$ddout" bs=4M count="$bytes" iflag=count_bytes status=none
        if [ "$channels" = 8 ] && [ -n "$WINDOW_BENCH" ]; then
            window_once
        fi
    done
    local t_sweep t_sox t_dd rss_sweep
    t_sweep="$(median <"$WORK/sweepwav.times")"
    t_sox="$(median <"$WORK/sox.times")"
    t_dd="$(median <"$WORK/dd.times")"
    rss_sweep="$(sort -n "$WORK/sweepwav.rss" | tail -n 1)"

    local f_sweep f_sox
    f_sweep="$(frames_of "$sweep")"
    f_sox="$(frames_of "$soxout")"
    local audio_sweep=$((bytes - 44))
    local audio_sox=$((f_sox * channels * 3))
    say "sweepwav file: $bytes bytes ($f_sweep frames, $audio_sweep audio bytes)"
    say "sox file:      $(stat -c %s "$soxout") bytes ($f_sox frames, $audio_sox audio bytes)"
    if [ "$f_sweep" != "$f_sox" ] || [ "$audio_sweep" != "$audio_sox" ]; then
        say "WARNING: the files do not hold the same audio"
    fi

    local r_sox r_dd mem_limit_kib
    r_sox="$(ratio "$t_sweep" "$t_sox")"
    r_dd="$(ratio "$t_sweep" "$t_dd")"
    mem_limit_kib=$(((bytes + 32 * 1024 * 1024) / 1024))
    printf '%-12s %8s s\n' "sweepwav" "$t_sweep" "sox" "$t_sox" "dd" "$t_dd"
    printf 'sweepwav/sox %6s  (target <= %s: %s)\n' "$r_sox" "$sox_limit" "$(verdict "$r_sox" "$sox_limit")"
    if [ -n "$dd_limit" ]; then
        printf 'sweepwav/dd  %6s  (target <= %s: %s)\n' "$r_dd" "$dd_limit" "$(verdict "$r_dd" "$dd_limit")"
    else
        printf 'sweepwav/dd  %6s\n' "$r_dd"
    fi
    printf 'peak memory  %d KiB, file + 32 MiB = %d KiB (%s)\n' "$rss_sweep" "$mem_limit_kib" \
        "$(verdict "$rss_sweep" "$mem_limit_kib")"
    SUMMARY+=("${channels}ch: sweepwav ${t_sweep}s, sox ${t_sox}s, dd ${t_dd}s, sweepwav/sox ${r_sox}, sweepwav/dd ${r_dd}, peak ${rss_sweep} KiB of ${mem_limit_kib} KiB allowed")
    LAST_SWEEP_SECONDS="$t_sweep"
    rm -f "$sweep" "$soxout" "$ddout"
}

LAST_SWEEP_SECONDS=""
run_case 8 0.8 4
CLI_8CH_SECONDS="$LAST_SWEEP_SECONDS"
run_case 1 1.0 ""

# ---- the window, when its benchmark program is built ---------------------------------
# Its clicks took turns with the 8-channel runs above.
if [ -n "$WINDOW_BENCH" ]; then
    say ""
    say "== the same 8-channel sweep through the window (\"Generate file\"), $REPEATS runs =="
    if [ -s "$WORK/window.times" ]; then
        t_window="$(median <"$WORK/window.times")"
        printf 'window       %8s s, window/cli %s (target <= 1.1: %s)\n' "$t_window" \
            "$(ratio "$t_window" "$CLI_8CH_SECONDS")" \
            "$(verdict "$(ratio "$t_window" "$CLI_8CH_SECONDS")" 1.1)"
        SUMMARY+=("window: ${t_window}s, window/cli $(ratio "$t_window" "$CLI_8CH_SECONDS")")
    else
        say "window benchmark failed:"
        cat "$WORK/window.err"
    fi
else
    say ""
    say "(no window benchmark program in $BUILD_DIR/bench; skipped)"
fi

say ""
say "Summary (medians of $REPEATS runs):"
for line in "${SUMMARY[@]}"; do say "  $line"; done
