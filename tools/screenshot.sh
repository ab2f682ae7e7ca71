#!/bin/sh
# Builds the window if needed, opens it on a virtual screen (Xvfb) and saves
# a picture of it as docs/window.png, and one of its plan view as
# docs/plan_view.png, and the same with signal options on.
#   tools/screenshot.sh [BUILD_DIR]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build-window"}
out="$root/docs/window.png"
plan_out="$root/docs/plan_view.png"
gaps_out="$root/docs/plan_view_gaps.png"
signal_out="$root/docs/window_signal_options.png"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target sweepwav sweepwav-cli -j2

# A throw-away analyser settings file, so that the start-up folder lookup
# succeeds and shows no message box. Its folder is only shown (in the bar
# under the form), never written to.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/config/Corvalis"
printf '[Paths]\nApplication%%20directory=%s\n' "/home/sam/Olvane" > "$tmp/config/Corvalis/Olvane.conf"
mkdir -p "$root/docs"

# shoot OPTION FILE [MORE...]: runs the window with that picture option.
shoot() {
    if command -v xvfb-run >/dev/null 2>&1; then
        XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp" \
            xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
            "$build/window/sweepwav" "$@"
    else
        XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp" QT_QPA_PLATFORM=offscreen \
            "$build/window/sweepwav" "$@"
    fi
    echo "saved $2"
}
shoot --screenshot "$out"
shoot --plan-screenshot "$plan_out"

# The plan view of a sweep with silence and gaps, from a settings file.
"$build/cli/sweepwav-cli" --save-settings "$tmp/gaps.sweep" --start-freq 100 --end-freq 10000 --steps 6 \
    --tone-ms 300 --start-level -10 --end-level -30 --lead-in-ms 200 --gap-ms 150 --tail-ms 300 --ramp-ms 10
shoot --plan-screenshot "$gaps_out" --open-settings "$tmp/gaps.sweep"

# The window with signal options on, at its start-up width: the options have
# a line of their own under the output folder.
"$build/cli/sweepwav-cli" --save-settings "$tmp/signal.sweep" --gap-ms 150 --ramp-ms 10 --signal-channels 1
shoot --screenshot "$signal_out" --open-settings "$tmp/signal.sweep"
