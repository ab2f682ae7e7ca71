#!/usr/bin/env bash
# Opens the window on a virtual screen with the accessibility bus and prints
# what a screen reader learns of the form, the Signal options and Frequencies
# dialogs and the plan view: every object's role, name and description.
#   tools/accessibility-dump.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
if [[ ${SWEEPWAV_IN_SESSION:-} != 1 ]]; then
    "$root/tools/install-packages.sh" xvfb xauth dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    cmake --build "$build" --target sweepwav -j2 >/dev/null
    exec env SWEEPWAV_IN_SESSION=1 xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- "$0" "$@" 2>/dev/null
fi

tmp=$(mktemp -d)
trap 'kill "$window" 2>/dev/null; rm -rf "$tmp"' EXIT
mkdir -p "$tmp/config/Corvalis"
printf '[Paths]\nApplication%%20directory=/home/sam/Olvane\n' >"$tmp/config/Corvalis/Olvane.conf"
/usr/libexec/at-spi-bus-launcher --launch-immediately &
sleep 1
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp" "$build/window/sweepwav" &
window=$!
sleep 3
dump=(/usr/bin/python3 "$root/tools/accessibility_dump.py" sweepwav)
echo "== The form"
"${dump[@]}" dump
for dialog in "Signal options" "Frequencies"; do
    "${dump[@]}" press "menu item:Options" "menu item:$dialog…" &
    sleep 4
    echo "== $dialog"
    "${dump[@]}" dump "$dialog"
    "${dump[@]}" press "push button:Cancel"
done
"${dump[@]}" press "menu item:View" "menu item:Sweep plan…"
sleep 3
echo "== The plan view"
"${dump[@]}" dump "Sweep plan"
