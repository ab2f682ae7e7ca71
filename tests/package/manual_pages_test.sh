#!/usr/bin/env bash
# Renders every installed manual page as man does on an 80-column terminal
# and fails on any warning (a roff mistake, a line that cannot be set).
#   manual_pages_test.sh MAN_DIR PAGE...
set -uo pipefail
dir=$1
shift

failures=0
for name in "$@"; do
    page=$dir/$name
    if [[ ! -f $page ]]; then
        echo "FAIL: $name is missing"
        failures=$((failures + 1))
        continue
    fi
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    if [[ -n $warnings ]]; then
        echo "FAIL: $name: $warnings"
        failures=$((failures + 1))
    fi
done

echo "manual pages: $failures failed"
((failures == 0))
