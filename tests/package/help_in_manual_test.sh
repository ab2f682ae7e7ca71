#!/usr/bin/env bash
# Every option that a program's --help lists is in its manual page.
#   help_in_manual_test.sh PROGRAM PAGE
set -uo pipefail
program=$1 page=$2

help=$(QT_QPA_PLATFORM=offscreen "$program" --help 2>&1) || { echo "FAIL: $program --help"; exit 1; }
manual=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$page" 2>/dev/null | col -b) || { echo "FAIL: cannot render $page"; exit 1; }
# Hyphens may come out of the renderer as minus signs or hyphens.
manual=${manual//$'\u2010'/-}
manual=${manual//$'\u2212'/-}

missing=0
for option in $(grep -oE -- '(^|[ ,])--?[A-Za-z][A-Za-z-]*' <<<"$help" | tr -d ' ,' | sort -u); do
    if ! grep -qE -- "(^|[^A-Za-z-])${option}([^A-Za-z-]|$)" <<<"$manual"; then
        echo "FAIL: $option is in $(basename "$program") --help but not in its manual page"
        missing=$((missing + 1))
    fi
done
echo "options missing from the manual page: $missing"
((missing == 0))
