#!/usr/bin/env bash
# Checks that Windows programs import only DLLs that every Windows system
# has, so that they start without anything installed beside them: no
# libstdc++-6.dll, libgcc_s_seh-1.dll or libwinpthread-1.dll of the
# toolchain. Prints each program's imports.
#   tools/windows-imports.sh PROGRAM.exe...
set -euo pipefail
system='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|advapi32|uxtheme|ole32|oleaut32|msvcrt|ws2_32|bcrypt|shlwapi|version|winmm|api-ms-win-[a-z0-9-]+)\.dll$'
status=0
for program in "$@"; do
  imports=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  echo "${program##*/} imports: $(echo $imports)"
  while read -r dll; do
    if [[ ! $dll =~ $system ]]; then
      echo "FAIL: ${program##*/} imports $dll, which Windows does not have" >&2
      status=1
    fi
  done <<<"$imports"
done
exit $status
