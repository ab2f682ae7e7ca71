#!/usr/bin/env bash
# The downloads of tools/package-windows.sh, as a user gets them, under Wine
# in a fresh prefix:
# the zip unpacked into a folder with blanks in its name, its programs run
# from there; the installer run silently, the installed window started,
# then uninstalled silently, with nothing of it left behind. Run by
# tools/test-windows.sh inside xvfb-run, with WINEPREFIX set.
#   tools/windows-package-checks.sh PACKAGE_DIR DRIVER_EXE WORK_DIR
set -euo pipefail
out=$1 driver=$2 work=$3
version=$(sed -n 's/^project(sweepwav VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip=$out/sweepwav-$version-win64.zip
setup=$out/sweepwav-$version-setup.exe
rm -rf "$work"
mkdir -p "$work"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
expect() {  # expect WHAT WANTED GOT
  if [[ $3 == "$2" ]]; then echo "  $1: $3"; else fail "$1: wanted \"$2\", got \"$3\""; fi
}
settle() { timeout 60 wineserver -w 2>/dev/null || true; }
# The installed window is started on Wine's virtual desktop.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null

echo "The zip, unpacked into a folder with blanks:"
unpacked="$work/Program folder with blanks"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
here="$unpacked/sweepwav-$version-win64"
expect "its files" "LICENSE.txt README.txt sweepwav-cli.exe sweepwav.exe" "$(cd "$here" && echo *)"
expect "README.txt lines ending in CR LF" "$(wc -l <"$here/README.txt")" "$(grep -c $'\r$' "$here/README.txt")"
expect "sweepwav-cli.exe --version" "sweepwav-cli $version" "$(cd "$here" && wine ./sweepwav-cli.exe --version </dev/null | tr -d '\r' | head -1)"
expect "sweepwav.exe --version" "sweepwav $version" "$(cd "$here" && wine ./sweepwav.exe --version </dev/null | tr -d '\r')"
(cd "$here" && wine ./sweepwav-cli.exe -q -o . --steps 0 --tone-ms 10 --file unzipped </dev/null) || fail "the unpacked command line cannot write a file"
[[ -s "$here/unzipped.wav" ]] || fail "no file from the unpacked command line"
tools/windows-imports.sh "$here/sweepwav.exe" "$here/sweepwav-cli.exe" || fail "the zip's programs import DLLs Windows lacks"

echo "The installer, silently:"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\sweepwav'
installed="$WINEPREFIX/drive_c/Program Files/sweepwav"
link="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/sweepwav.lnk"
before=$(cd "$WINEPREFIX/drive_c" && find . -iname '*sweepwav*' | sort)
wine "$setup" /S </dev/null || fail "the installer failed"
settle
expect "installed files" "LICENSE.txt README.txt sweepwav-cli.exe sweepwav.exe uninstall.exe" "$(cd "$installed" 2>/dev/null && echo *)"
[[ -f $link ]] && echo "  Start menu: sweepwav.lnk" || fail "no Start-menu entry"
wine reg query "$key" /v UninstallString </dev/null 2>/dev/null | grep -q 'uninstall.exe' && echo "  in Add/Remove Programs" ||
  fail "no uninstaller in Add/Remove Programs"
tools/windows-imports.sh "$installed/sweepwav.exe" "$installed/sweepwav-cli.exe" || fail "the installed programs import DLLs Windows lacks"
expect "installed sweepwav-cli.exe --version" "sweepwav-cli $version" \
  "$(wine 'C:\Program Files\sweepwav\sweepwav-cli.exe' --version </dev/null | tr -d '\r' | head -1)"
echo "  the installed window, started:"
wine "$driver" no-analyser 'C:\Program Files\sweepwav\sweepwav.exe' 'C:\' 'C:\' </dev/null 2>&1 | tr -d '\r' | sed 's/^/    /'
[[ ${PIPESTATUS[0]} -eq 0 ]] || fail "the installed window"

echo "Uninstalled, silently:"
wine 'C:\Program Files\sweepwav\uninstall.exe' /S </dev/null || fail "the uninstaller failed"
# The uninstaller runs on from a copy of itself: wait for the folder to go.
for _ in $(seq 120); do [[ -e $installed ]] || break; sleep 0.5; done
settle
after=$(cd "$WINEPREFIX/drive_c" && find . -iname '*sweepwav*' | sort)
expect "files and folders named sweepwav left" "$before" "$after"
[[ ! -e $installed && ! -e $link ]] || fail "the program's folder or its Start-menu entry is left"
if wine reg query "$key" </dev/null >/dev/null 2>&1; then fail "still in Add/Remove Programs"; else echo "  gone from Add/Remove Programs"; fi

if ((failures)); then
  echo "$failures package check(s) failed" >&2
  exit 1
fi
echo "All package checks passed"
