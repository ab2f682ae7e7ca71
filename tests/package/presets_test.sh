#!/usr/bin/env bash
# The presets as the command line finds them, in the build tree and in an
# installed tree: every preset file is listed, opens and plans what its
# description says; names are taken with or without ".sweep"; opening them
# leaves them as they were.
#   presets_test.sh SWEEPWAV_CLI INSTALLED_SWEEPWAV_CLI PRESETS_SOURCE_DIR
set -uo pipefail
cli=$1 installed=$2 sources=$3

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Every preset of the sources, listed by both programs in order.
want=$(cd "$sources" && ls *.sweep | sed 's/\.sweep$//')
for program in "$cli" "$installed"; do
    got=$("$program" --list-presets | cut -d' ' -f1)
    [[ $got == "$want" ]] || fail "$program --list-presets lists '$(xargs <<<"$got")', not '$(xargs <<<"$want")'"
done

# preset               | tones | rate
while IFS='|' read -r name tones rate; do
    name=$(xargs <<<"$name") tones=$(xargs <<<"$tones") rate=$(xargs <<<"$rate")
    report=$("$cli" --preset "$name" --info 2>&1) || fail "--preset $name --info: $report"
    grep -q "/ $tones tones as follows" <<<"$report" || fail "$name does not plan $tones tones: $(head -2 <<<"$report")"
    "$cli" --list-presets | grep -q "^$name .* $tones tones" || fail "the description of $name does not say $tones tones"
    "$cli" --preset "$name.sweep" --save-settings - | grep -qx "rate = $rate" || fail "$name.sweep is not at $rate Hz"
done <<'EOF_TABLE'
level-staircase-1k     | 21    | 48000
long-low-distortion    | 121   | 96000
octave-bands           | 10    | 48000
quick-10-tones         | 10    | 48000
third-octave-bands     | 31    | 48000
EOF_TABLE

out=$("$cli" --preset third-octave 2>&1)
(($? == 2)) || fail "an unknown preset is not refused with status 2"
[[ $out == "sweepwav-cli: there is no preset \"third-octave\"; the presets are "*"third-octave-bands" ]] ||
    fail "an unknown preset: $out"

for file in "$sources"/*.sweep; do
    cmp -s "$file" "$(dirname "$cli")/../share/sweepwav/presets/$(basename "$file")" ||
        fail "$(basename "$file") in the build tree is not the source's"
done

echo "presets: $failures failed"
((failures == 0))
