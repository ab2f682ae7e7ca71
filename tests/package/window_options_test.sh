#!/usr/bin/env bash
# The window program's own options, run with no display at hand: --help and
# --version must answer without one, Qt's options must still reach Qt, and
# --screenshot must still save a picture.
#   window_options_test.sh SWEEPWAV VERSION
set -uo pipefail
sweepwav=$1 version=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Analyser settings that exist, so that no message box waits at start-up.
mkdir -p "$work/config/Corvalis"
printf '[Paths]\nApplication%%20directory=%s\n' "$work" >"$work/config/Corvalis/Olvane.conf"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work

trim() {
    local s=${1#"${1%%[! ]*}"}
    printf '%s' "${s%"${s##*[! ]}"}"
}

failures=0
# arguments                                         | status | output must match
while IFS='|' read -r args status pattern; do
    args=$(trim "$args") pattern=$(trim "$pattern")
    read -r -a argv <<<"${args//@/$work}"
    out=$(timeout 60 "$sweepwav" "${argv[@]}" 2>&1)
    got=$?
    if ((got != status)) || ! grep -qE -- "$pattern" <<<"$out"; then
        echo "FAIL: sweepwav $args exited $got (expected $((status))) with: $out"
        failures=$((failures + 1))
    fi
done <<EOF_TABLE
--help                                              | 0 | ^Usage: sweepwav \[options\]
-h                                                  | 0 | --screenshot <file>
--version                                           | 0 | ^sweepwav $version$
-v                                                  | 0 | ^sweepwav $version$
--screenshot                                        | 2 | Missing value after '--screenshot'
-platform offscreen --screenshot @/window.png       | 0 |
EOF_TABLE

file -b "$work/window.png" | grep -q '^PNG image data' || {
    echo "FAIL: --screenshot saved no picture"
    failures=$((failures + 1))
}

echo "window options: $failures failed"
((failures == 0))
