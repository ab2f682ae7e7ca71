#!/usr/bin/env bash
# Follows the README's first steps in a fresh clone of the committed tree, in
# the order written: its first command (tools/run.sh) under xvfb-run with a
# time limit, the window saving a picture of itself and quitting, then its
# install commands into a temporary prefix. Prints how long each took. Slow
# (a build from nothing), so not part of tools/test.sh.
#   tools/check-readme.sh [MINUTES]    time limit of the first command (default 30)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
limit=${1:-30}
"$root/tools/install-packages.sh" git xvfb xauth

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git clone --quiet "$root" "$work/sweepwav"
git -C "$work/sweepwav" checkout --quiet "$(git -C "$root" rev-parse HEAD)"
cd "$work/sweepwav"

# The commands as the README gives them: the first line's, and the cmake
# lines of "Installing and packaging" with the temporary prefix for ~/.local.
first=$(sed -n '1s/^.*`\(.*\)`$/\1/p' README.md)
mapfile -t install < <(sed -n '/^## Installing and packaging/,/^## /p' README.md |
    sed -n '/^```$/,/^```$/p' | grep '^cmake ' | sed 's/ *#.*$//')
[[ $first == ./tools/run.sh && ${#install[@]} -ge 1 ]] || {
    echo "check-readme: the README's commands were not found (first: '$first', install: ${#install[@]})"
    exit 1
}

# Analyser settings that exist, so that no message box waits at start-up.
mkdir -p "$work/config/Corvalis" "$work/analyser/User Wavetables"
printf '[Paths]\nApplication%%20directory=%s\n' "$work/analyser" >"$work/config/Corvalis/Olvane.conf"

start=$SECONDS
echo "check-readme: $first"
XDG_CONFIG_HOME=$work/config timeout "$((limit * 60))" \
    xvfb-run -a "$first" --screenshot "$work/window.png" >"$work/run.log" 2>&1 || {
    tail -n 30 "$work/run.log"
    echo "check-readme: $first failed or took longer than $limit minutes"
    exit 1
}
file -b "$work/window.png" | grep -q '^PNG image data' || { echo "check-readme: no window appeared"; exit 1; }
if grep -q 'Could NOT find' "$work/run.log"; then
    grep 'Could NOT find' "$work/run.log"
    echo "check-readme: the build printed an unexplained notice"
    exit 1
fi
run_seconds=$((SECONDS - start))

start=$SECONDS
prefix=$work/prefix
for command in "${install[@]}"; do
    command=${command//\~\/.local/$prefix}
    echo "check-readme: $command"
    bash -c "$command" >"$work/install.log" 2>&1 || {
        tail -n 30 "$work/install.log"
        echo "check-readme: '$command' failed"
        exit 1
    }
done
"$prefix/bin/sweepwav-cli" --version | grep -q '^sweepwav-cli ' || { echo "check-readme: no working sweepwav-cli"; exit 1; }
[[ -x $prefix/bin/sweepwav && -f $prefix/share/man/man1/sweepwav-cli.1.gz ]] || {
    echo "check-readme: the install is incomplete"
    exit 1
}
install_seconds=$((SECONDS - start))

printf 'check-readme: passed; %s to a window in %dm%02ds, the install in %ds\n' \
    "$first" $((run_seconds / 60)) $((run_seconds % 60)) "$install_seconds"
