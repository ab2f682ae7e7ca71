#!/usr/bin/env bash
# Runs the bash completion for sweepwav-cli on typed command lines and
# compares the offered words with the expected ones.
#   completion_test.sh COMPLETION_FILE SWEEPWAV_CLI
set -uo pipefail
completion=$1 cli=$2

source /usr/share/bash-completion/bash_completion || exit 1
source "$completion" || exit 1
# The program completes the presets' names.
PATH=$(dirname "$cli"):$PATH

# A folder to complete names in: a subfolder, a WAV file and two plans.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir sub
touch take.wav plan.csv plan.json

failures=0
# Completes LINE (the cursor at its end) and prints the offered words sorted,
# on one line.
offered() {
    COMP_LINE=$1
    COMP_POINT=${#COMP_LINE}
    # bash splits at blanks and makes "=" a word of its own.
    local split=${1//=/ = }
    read -r -a COMP_WORDS <<<"$split"
    [[ $1 == *' ' || $1 == *= ]] && COMP_WORDS+=('')
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _sweepwav_cli sweepwav-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | xargs
}

# typed line                     | expected words
while IFS='|' read -r line expected; do
    line=${line%"${line##*[! ]}"}  # the table pads with blanks; keep a typed last one as "_"
    line=${line%_}
    expected=$(xargs <<<"$expected")
    got=$(offered "$line")
    if [[ $got != "$expected" ]]; then
        echo "FAIL: '$line' offers '$got', expected '$expected'"
        failures=$((failures + 1))
    fi
done <<'EOF_TABLE'
sweepwav-cli --rat               | --rate
sweepwav-cli --rate _            | 192000 32000 44100 48000 96000
sweepwav-cli --rate 4            | 44100 48000
sweepwav-cli --rate=4            | 44100 48000
sweepwav-cli --bits 2            | 20 22 24
sweepwav-cli --channels _        | 1 2 3 4 5 6 7 8
sweepwav-cli --shift-mode _      | 0 1 2
sweepwav-cli --output-dir _      | sub
sweepwav-cli -o _                | sub
sweepwav-cli --file _            | plan.csv plan.json sub take.wav
sweepwav-cli --plan _            | - plan.csv plan.json sub
sweepwav-cli --steps _           |
sweepwav-cli --steps 3 --no-d    | --no-dither
sweepwav-cli --ma                | --markers
sweepwav-cli --preset o          | octave-bands
sweepwav-cli --preset _          | level-staircase-1k long-low-distortion octave-bands quick-10-tones third-octave-bands
EOF_TABLE

# Every option the program lists in its help is offered.
all=" $(offered 'sweepwav-cli -') "
for option in $("$cli" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    [[ $all == *" $option "* ]] || { echo "FAIL: $option is not completed"; failures=$((failures + 1)); }
done

echo "completion: $failures failed"
((failures == 0))
