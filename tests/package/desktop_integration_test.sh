#!/usr/bin/env bash
# The desktop integration as a user's desktop sees it: the build installed
# with "cmake --install" into a home folder of its own (XDG_DATA_HOME), where
# the desktop entry must validate, settings files must have the settings
# type (by name, and by content where the name says nothing) and that type
# must open in sweepwav, as xdg-mime answers without a desktop running.
#   desktop_integration_test.sh CMAKE BUILD_DIR APP_ID SWEEPWAV_CLI
set -uo pipefail
cmake=$1 build=$2 id=$3 cli=$4
type=application/x-sweepwav-settings

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
export XDG_DATA_DIRS=/usr/share
# xdg-mime's own answers, not those of a desktop's tools.
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID XDG_SESSION_DESKTOP
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

"$cmake" --install "$build" --prefix "$HOME/.local" >/dev/null || fail "cmake --install failed"
entry=$XDG_DATA_HOME/applications/$id.desktop
out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
[[ -z $out ]] || fail "desktop-file-validate: $out"
grep -qx "MimeType=$type;" "$entry" || fail "the desktop entry does not open $type"
grep -qx "Exec=sweepwav %f" "$entry" || fail "the desktop entry does not pass the file: $(grep ^Exec= "$entry")"
[[ ! -e $XDG_DATA_HOME/lintian ]] || fail "cmake --install put lintian's overrides into the home folder"

# Settings files as the programs write them and as users name them.
"$cli" --save-settings "$work/bench.sweep" || fail "could not save settings"
cp "$work/bench.sweep" "$work/saved settings"
cp "$build/share/sweepwav/presets/octave-bands.sweep" "$work/a preset"
printf '[sweepwav]\nformat = 1\n' >"$work/by hand"
printf 'not settings\n' >"$work/notes.txt"

# file          | its type
while IFS='|' read -r file expected; do
    file=$(xargs <<<"$file") expected=$(xargs <<<"$expected")
    got=$(xdg-mime query filetype "$work/$file" 2>&1)
    [[ $got == "$expected" ]] || fail "xdg-mime gives $file the type '$got', not '$expected'"
done <<EOF_TABLE
bench.sweep     | $type
saved settings  | $type
a preset        | $type
by hand         | $type
notes.txt       | text/plain
EOF_TABLE

got=$(xdg-mime query default "$type" 2>&1)
[[ $got == "$id.desktop" ]] || fail "xdg-mime opens $type with '$got', not $id.desktop"

echo "desktop integration: $failures failed"
((failures == 0))
