#!/usr/bin/env bash
# Speed and memory of sweepwav, each measurement paired with its reference
# in the same round, so that a load that comes and goes touches both.
#
#   bench/run.sh            (ROUNDS=7 BUILD_DIR=<repo>/build-bench CASES=ABCDEFGW by default)
#
# Cases (192 kHz, 24 bit, dither on):
#   A  8 channels, 11 tones of 2000 ms (101 MB): against sox writing the same
#      frames, and against dd writing the same number of bytes;
#   B  8 channels, 41 tones of 9000 ms (1.7 GB): against dd;
#   C  mono, 11 tones of 2000 ms: against sox;
#   D  peak memory of the command line in A and B;
#   E  a click in the window against the command line's front end, both
#      timed in-process from the click to the end of the command, A's sweep:
#      once on the offscreen platform, once on a virtual X display (Xvfb)
#      with a real X connection, where every paint is a round trip;
#   F  levels once crafted to put a tone's peaks next to a rounding
#      boundary (21 tones of 10 s at a quarter of 192 kHz, mono, no
#      dither), against a level 0.001 dB away;
#   G  the exact-sample path at its busiest: an amplitude exactly half-way
#      between two codes at a quarter of the rate, every other sample
#      computed again from the exact sine, against an ordinary amplitude
#      (rendering alone, bench/exact_path.cpp);
#   W  the Windows build under Wine (with its server running) against the
#      Linux build, 192 kHz, 24 bit, 8 channels, tones of 1 s: the cost of
#      240 more tones (251 tones less 11, 1.1 GB), so that Wine's start-up,
#      which varies by more than 60 tones cost, cancels.
# Every ratio is the median of the per-round ratios, for wall time and for
# CPU time (user + system). Targets: A/sox <= 0.2, A/dd <= 1.8, B/dd <= 3,
# C/sox <= 0.45, D <= 24 MiB, E <= 1.1 offscreen and <= 1.15 on Xvfb,
# F <= 2, G <= 2.5 (CPU), W <= 1.5 for wall and CPU time.
# CASES picks the cases to run (D needs A and B).
# Cases A to C also give the wall-time ratio to the floor, measured in the
# same round: bench/floor.cpp starting and writing the same number of bytes
# from one buffer, the least any program can spend on that file. dd is no
# floor: it copies every byte twice, first from /dev/zero into its buffer.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build-bench}"
ROUNDS="${ROUNDS:-7}"
CASES="${CASES:-ABCDEFGW}"

say() { printf '%s\n' "$*"; }

# ---- tools --------------------------------------------------------------------
"$ROOT/tools/install-packages.sh" sox xvfb xauth
if [[ "$CASES" == *W* ]]; then
    "$ROOT/tools/install-packages.sh" --no-install-recommends g++-mingw-w64-x86-64-posix wine wine64
fi

# ---- build (a failed build fails the benchmark) ---------------------------------
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DSWEEPWAV_SANITIZE=OFF \
    -DSWEEPWAV_BUILD_TESTS=OFF -DSWEEPWAV_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target sweepwav-cli sweepwav_window_bench sweepwav_measure \
    sweepwav_floor sweepwav_exact_path >/dev/null
CLI="$BUILD_DIR/cli/sweepwav-cli"
CLICK="$BUILD_DIR/bench/sweepwav_window_bench"
MEASURE="$BUILD_DIR/bench/sweepwav_measure"
FLOOR="$BUILD_DIR/bench/sweepwav_floor"

# The command line for Windows, built apart from the tests, and a Wine
# prefix of the benchmark's own, kept between runs.
if [[ "$CASES" == *W* ]]; then
    cmake -S "$ROOT" -B "$BUILD_DIR/windows" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DSWEEPWAV_BUILD_TESTS=OFF -DSWEEPWAV_BUILD_WINDOW=OFF >/dev/null
    cmake --build "$BUILD_DIR/windows" -j"$(nproc)" --target sweepwav-cli >/dev/null
    EXE="$BUILD_DIR/windows/cli/sweepwav-cli.exe"
    export WINEPREFIX="$BUILD_DIR/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
        mkdir -p "$WINEPREFIX"
        wineboot --init >/dev/null 2>&1 && wineserver -w
    fi
fi

WORK="$(mktemp -d "$BUILD_DIR/bench-out.XXXXXX")"
trap 'rm -rf "$WORK"; if [[ -n "${WINEPREFIX:-}" ]]; then wineserver -k 2>/dev/null || true; fi' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$WORK"

# ---- helpers --------------------------------------------------------------------
# Runs a command that writes $1 (removed first, and nothing left to flush);
# prints "<wall s> <cpu s> <max RSS KiB>".
measure() {
    local out="$1"; shift
    rm -f "$out"
    sync
    "$MEASURE" "$@" 2>"$WORK/err" || { say "failed: $*" >&2; cat "$WORK/err" >&2; exit 1; }
}

# The same for one in-process click, on the given platform (offscreen, or
# xcb on a fresh Xvfb display); prints "<wall s> <cpu s>".
click() {  # window|cli [platform]
    rm -f "$WORK/click/filename.wav"
    sync
    local run=("$CLICK" "$1" "$WORK/click")
    if [ "${2:-offscreen}" = xcb ]; then
        run=(xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" env QT_QPA_PLATFORM=xcb "${run[@]}")
    fi
    "${run[@]}" 2>"$WORK/err" | awk '{ print $2, $3 }' || {
        say "failed: click $*" >&2; cat "$WORK/err" >&2; exit 1; }
}

median() { sort -g | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.4f", m }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f\n", (b > 0 ? a / b : 0) }'; }
verdict() { awk -v v="$1" -v l="$2" 'BEGIN { print (v <= l) ? "met" : "MISSED" }'; }

sweep() {  # channels steps tone_ms
    echo "$CLI" --quiet --output-dir "$WORK" --file sweep --rate 192000 --bits 24 --channels "$1" \
        --steps "$2" --tone-ms "$3" --tone-cycles 0 --shift-mode 0
}

declare -a SUMMARY=()

# One case: rounds of sweepwav against a reference and the floor; prints the
# median wall and CPU ratios and records the sweep's peak memory.
paired() {  # name channels steps tone_ms reference(sox|dd) wall_target
    local name="$1" channels="$2" steps="$3" ms="$4" ref="$5" target="$6"
    local cmd; read -r -a cmd <<<"$(sweep "$channels" "$steps" "$ms")"
    "${cmd[@]}"
    local bytes frames seconds
    bytes="$(stat -c %s "$WORK/sweep.wav")"
    frames="$(soxi -s "$WORK/sweep.wav")"
    seconds="$(awk -v f="$frames" 'BEGIN { printf "%.6f", f / 192000 }')"
    : >"$WORK/wall"; : >"$WORK/cpu"; : >"$WORK/rss"; : >"$WORK/abs"; : >"$WORK/floor"
    for _ in $(seq "$ROUNDS"); do
        local s r f
        s="$(measure "$WORK/sweep.wav" "${cmd[@]}")"
        f="$(measure "$WORK/floor.bin" "$FLOOR" "$WORK/floor.bin" "$bytes")"
        if [ "$ref" = sox ]; then
            r="$(measure "$WORK/ref.wav" sox -n -r 192000 -b 24 -c "$channels" "$WORK/ref.wav" synth "$seconds" sine 1000)"
        else
            r="$(measure "$WORK/ref.bin" dd if=/dev/zero of="$WORK/ref.bin" bs=1M count="$bytes" iflag=count_bytes status=none)"
        fi
        read -r sw sc sm <<<"$s"
        read -r rw rc _ <<<"$r"
        read -r fw _ <<<"$f"
        ratio "$sw" "$rw" >>"$WORK/wall"
        ratio "$sw" "$fw" >>"$WORK/floor"
        ratio "$sc" "$rc" >>"$WORK/cpu"
        echo "$sm" >>"$WORK/rss"
        echo "$sw $rw $fw" >>"$WORK/abs"
    done
    rm -f "$WORK/sweep.wav" "$WORK/ref.wav" "$WORK/ref.bin" "$WORK/floor.bin"
    local mw mc mf peak tsw trw tfw
    mw="$(median <"$WORK/wall")"; mc="$(median <"$WORK/cpu")"; mf="$(median <"$WORK/floor")"
    peak="$(sort -n "$WORK/rss" | tail -n 1)"
    tsw="$(awk '{ print $1 }' "$WORK/abs" | median)"; trw="$(awk '{ print $2 }' "$WORK/abs" | median)"
    tfw="$(awk '{ print $3 }' "$WORK/abs" | median)"
    printf '%-34s wall %6s (target <= %s: %s)  cpu %6s  floor x%s   [%ss vs %ss, floor %ss, %d bytes]\n' \
        "$name sweepwav/$ref" "$mw" "$target" "$(verdict "$mw" "$target")" "$mc" "$mf" "$tsw" "$trw" "$tfw" "$bytes"
    SUMMARY+=("$name sweepwav/$ref: wall $mw (target $target, $(verdict "$mw" "$target")), cpu $mc, floor x$mf")
    PEAK="$peak"
}

# Rounds of a window click against a command-line click, taking turns at
# going first.
clicks() {  # name platform wall_target
    local name="$1" platform="$2" target="$3"
    : >"$WORK/wall"; : >"$WORK/cpu"; : >"$WORK/abs"
    for round in $(seq "$ROUNDS"); do
        if (( round % 2 )); then
            read -r ww wc <<<"$(click window "$platform")"
            read -r cw cc <<<"$(click cli)"
        else
            read -r cw cc <<<"$(click cli)"
            read -r ww wc <<<"$(click window "$platform")"
        fi
        ratio "$ww" "$cw" >>"$WORK/wall"
        ratio "$wc" "$cc" >>"$WORK/cpu"
        echo "$ww $cw" >>"$WORK/abs"
    done
    local mw mc
    mw="$(median <"$WORK/wall")"; mc="$(median <"$WORK/cpu")"
    printf '%-34s wall %6s (target <= %s: %s)  cpu %6s   [%ss vs %ss]\n' "$name" \
        "$mw" "$target" "$(verdict "$mw" "$target")" "$mc" "$(awk '{ print $1 }' "$WORK/abs" | median)" \
        "$(awk '{ print $2 }' "$WORK/abs" | median)"
    SUMMARY+=("$name: wall $mw (target $target, $(verdict "$mw" "$target")), cpu $mc")
}

# Rounds of a crafted level against an ordinary one, taking turns at going
# first; prints the median wall and CPU ratios.
crafted() {  # bits crafted_level ordinary_level
    local bits="$1" level="$2" ordinary="$3"
    local base=("$CLI" --quiet --rate 192000 --bits "$bits" --channels 1 --steps 20 --linear --start-freq 48000
        --end-freq 48000 --shift-mode 0 --tone-ms 10000 --no-dither --file -)
    : >"$WORK/wall"; : >"$WORK/cpu"
    for round in $(seq "$ROUNDS"); do
        local c o
        if (( round % 2 )); then
            c="$("$MEASURE" "${base[@]}" --start-level "$level" --end-level "$level")"
            o="$("$MEASURE" "${base[@]}" --start-level "$ordinary" --end-level "$ordinary")"
        else
            o="$("$MEASURE" "${base[@]}" --start-level "$ordinary" --end-level "$ordinary")"
            c="$("$MEASURE" "${base[@]}" --start-level "$level" --end-level "$level")"
        fi
        read -r cw cc _ <<<"$c"
        read -r ow oc _ <<<"$o"
        ratio "$cw" "$ow" >>"$WORK/wall"
        ratio "$cc" "$oc" >>"$WORK/cpu"
    done
    local mw mc
    mw="$(median <"$WORK/wall")"; mc="$(median <"$WORK/cpu")"
    printf '%-34s wall %6s (target <= 2: %s)  cpu %6s (target <= 2: %s)\n' "F $bits bit $level / $ordinary dB" \
        "$mw" "$(verdict "$mw" 2)" "$mc" "$(verdict "$mc" 2)"
    SUMMARY+=("F $bits bit $level dB / $ordinary dB: wall $mw, cpu $mc (target 2)")
}

# The Windows build's cost of 240 more tones against the Linux build's, in
# the same round. Wine's server keeps running between the runs, as it does
# for a user; its own CPU time is not counted.
windows() {
    local args=(--quiet --rate 192000 --bits 24 --channels 8 --tone-ms 1000 --tone-cycles 0 --shift-mode 0
        --seed 1 --file -)
    # Started by hand, the server stays in the foreground: in the background
    # then, stopped at the end. Its first program starts Wine's services.
    setsid wineserver -p </dev/null >/dev/null 2>&1 &
    wine cmd /c exit >/dev/null 2>&1 </dev/null
    cmp <("$CLI" "${args[@]}" --steps 10) <(wine "$EXE" "${args[@]}" --steps 10 </dev/null) >/dev/null ||
        { say "W: the Windows build wrote other bytes" >&2; exit 1; }
    : >"$WORK/wall"; : >"$WORK/cpu"; : >"$WORK/abs"
    for _ in $(seq "$ROUNDS"); do
        local l11 lmore w11 wmore
        l11="$("$MEASURE" "$CLI" "${args[@]}" --steps 10)"; lmore="$("$MEASURE" "$CLI" "${args[@]}" --steps 250)"
        w11="$("$MEASURE" wine "$EXE" "${args[@]}" --steps 10)"; wmore="$("$MEASURE" wine "$EXE" "${args[@]}" --steps 250)"
        read -r a b _ <<<"$l11"; read -r c d _ <<<"$lmore"; read -r e f _ <<<"$w11"; read -r g h _ <<<"$wmore"
        awk -v a="$a" -v c="$c" -v e="$e" -v g="$g" 'BEGIN { printf "%.4f\n", (g - e) / (c - a) }' >>"$WORK/wall"
        awk -v b="$b" -v d="$d" -v f="$f" -v h="$h" 'BEGIN { printf "%.4f\n", (h - f) / (d - b) }' >>"$WORK/cpu"
        echo "$(awk -v x="$c" -v y="$a" 'BEGIN { print x - y }') $(awk -v x="$g" -v y="$e" 'BEGIN { print x - y }')" >>"$WORK/abs"
    done
    local mw mc
    mw="$(median <"$WORK/wall")"; mc="$(median <"$WORK/cpu")"
    printf '%-34s wall %6s (target <= 1.5: %s)  cpu %6s (target <= 1.5: %s)   [240 tones: %ss Linux, %ss Windows]\n' \
        "W Windows/Linux, per sample" "$mw" "$(verdict "$mw" 1.5)" "$mc" "$(verdict "$mc" 1.5)" \
        "$(awk '{ print $1 }' "$WORK/abs" | median)" "$(awk '{ print $2 }' "$WORK/abs" | median)"
    SUMMARY+=("W Windows/Linux per sample: wall $mw, cpu $mc (target 1.5)")
}

has() { [[ "$CASES" == *"$1"* ]]; }

say "== $ROUNDS rounds per case; ratios are medians of per-round ratios =="
if has A; then
    paired "A 8 ch, 101 MB" 8 10 2000 sox 0.2
    paired "A 8 ch, 101 MB" 8 10 2000 dd 1.8
    PEAK_A="$PEAK"
fi
if has B; then
    paired "B 8 ch, 1.7 GB" 8 40 9000 dd 3
    PEAK_B="$PEAK"
fi
if has C; then paired "C mono" 1 10 2000 sox 0.45; fi

if has D && has A && has B; then
    limit=$((24 * 1024))
    printf 'D peak memory of the command line: %d KiB at 101 MB, %d KiB at 1.7 GB (target <= %d KiB: %s)\n' \
        "$PEAK_A" "$PEAK_B" "$limit" "$(verdict "$(( PEAK_A > PEAK_B ? PEAK_A : PEAK_B ))" "$limit")"
    SUMMARY+=("D peak memory: $PEAK_A KiB / $PEAK_B KiB (target $limit KiB)")
fi

if has E; then
    mkdir -p "$WORK/click"
    clicks "E window/command line, offscreen" offscreen 1.1
    clicks "E window/command line, Xvfb" xcb 1.15
fi

if has F; then
    crafted 16 -30.270 -30.271
    crafted 16 -45.777 -45.778
    crafted 16 -60.623 -60.624
    crafted 24 -37.971 -37.972
    crafted 24 -69.132 -69.133
    crafted 24 -118.050 -118.051
fi

if has G; then
    read -r g16 g24 <<<"$("$BUILD_DIR/bench/sweepwav_exact_path" "$ROUNDS")"
    printf '%-34s cpu %6s (target <= 2.5: %s) at 16 bit, %6s (%s) at 24 bit\n' "G exact path at its busiest" \
        "$g16" "$(verdict "$g16" 2.5)" "$g24" "$(verdict "$g24" 2.5)"
    SUMMARY+=("G exact path at its busiest: cpu $g16 (16 bit), $g24 (24 bit) (target 2.5)")
fi

if has W; then windows; fi

say ""
say "Summary:"
for line in "${SUMMARY[@]}"; do say "  $line"; done
