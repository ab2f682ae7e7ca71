#!/usr/bin/env bash
# The downloads of tools/package-windows.sh, as a user gets them, under Wine
# in a fresh prefix:
# the zip unpacked into a folder with blanks in its name, its programs and
# presets run from there, and --help's examples pasted into cmd.exe; the
# installer run silently, the .sweep file type, the PATH entry and the
# installed window checked, then uninstalled silently, with nothing of it
# left behind (the window's recent-files key included); and what the
# installer does to PATHs of other kinds. Run by tools/test-windows.sh
# inside xvfb-run, with WINEPREFIX set.
#   tools/windows-package-checks.sh PACKAGE_DIR DRIVER_EXE WORK_DIR
set -euo pipefail
source "$(dirname "$0")/wine-once-more.sh"
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
  if [[ $3 == "$2" ]]; then echo "  $1: ${3:0:100}"; else fail "$1: wanted \"$2\", got \"$3\""; fi
}
settle() { timeout 60 wineserver -w 2>/dev/null || true; }
# The user's PATH in the registry as "TYPE VALUE", or "none".
user_path() {
  wine reg query 'HKCU\Environment' /v Path </dev/null 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *Path *\(REG_[A-Z_]*\) *\(.*\)$/\1 \2/p' | grep . || echo none
}
# Sets it (REG_EXPAND_SZ, as Windows keeps it), or removes it for "-".
set_path() {
  wine reg delete 'HKCU\Environment' /v Path /f </dev/null >/dev/null 2>&1 || true
  [[ $1 == - ]] || wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$1" /f </dev/null >/dev/null
}
# A registry value's data.
value() {
  wine reg query "$1" "$2" </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ *[^ ].*  *REG_[A-Z_]*  *\(.*\)$/\1/p'
}
installed="$WINEPREFIX/drive_c/Program Files/sweepwav"
# Uninstalls silently; the uninstaller runs on from a copy of itself: wait
# for the folder to go.
uninstall() {
  wine 'C:\Program Files\sweepwav\uninstall.exe' /S </dev/null || fail "the uninstaller failed"
  for _ in $(seq 120); do [[ -e $installed ]] || break; sleep 0.5; done
  settle
}
# The installed window is started on Wine's virtual desktop.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null

echo "The zip, unpacked into a folder with blanks:"
unpacked="$work/Program folder with blanks"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
here="$unpacked/sweepwav-$version-win64"
expect "its files" "LICENSE.txt README.txt presets sweepwav-cli.exe sweepwav.exe" "$(cd "$here" && echo *)"
expect "README.txt lines ending in CR LF" "$(wc -l <"$here/README.txt")" "$(grep -c $'\r$' "$here/README.txt")"
expect "sweepwav-cli.exe --version" "sweepwav-cli $version" "$(cd "$here" && wine ./sweepwav-cli.exe --version </dev/null | tr -d '\r' | head -1)"
expect "sweepwav.exe --version" "sweepwav $version" "$(cd "$here" && wine ./sweepwav.exe --version </dev/null | tr -d '\r')"
(cd "$here" && wine ./sweepwav-cli.exe -q -o . --steps 0 --tone-ms 10 --file unzipped </dev/null) || fail "the unpacked command line cannot write a file"
[[ -s "$here/unzipped.wav" ]] || fail "no file from the unpacked command line"
tools/windows-imports.sh "$here/sweepwav.exe" "$here/sweepwav-cli.exe" || fail "the zip's programs import DLLs Windows lacks"
presets=$(cd packaging/presets && ls *.sweep | sed 's/\.sweep$//' | xargs)
expect "the presets beside the program" "$presets" \
  "$(cd "$here" && wine ./sweepwav-cli.exe --list-presets </dev/null | tr -d '\r' | cut -d' ' -f1 | xargs)"

echo "--help's examples, each pasted into cmd.exe in a folder with the program and its presets:"
pasted="$work/cmd paste"
mkdir -p "$pasted"
cp -r "$here/sweepwav-cli.exe" "$here/presets" "$pasted/"
examples=$(cd "$pasted" && wine ./sweepwav-cli.exe --help </dev/null | tr -d '\r' | sed -n 's/^  \(sweepwav-cli .*\)$/\1/p')
[[ $(wc -l <<<"$examples") -ge 3 ]] || fail "--help has fewer than three examples: $examples"
while read -r example; do
  if (cd "$pasted" && wine cmd /c "$example" </dev/null >/dev/null 2>"$work/example.err"); then
    echo "  $example"
  else
    fail "cmd /c $example: $(tr -d '\r' <"$work/example.err")"
  fi
done <<<"$examples"

echo "The installer, silently:"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\sweepwav'
link="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/sweepwav.lnk"
before=$(cd "$WINEPREFIX/drive_c" && find . -iname '*sweepwav*' | sort)
set_path 'C:\Tools'
wine "$setup" /S </dev/null || fail "the installer failed"
settle
expect "installed files" "LICENSE.txt README.txt presets sweepwav-cli.exe sweepwav.exe uninstall.exe" "$(cd "$installed" 2>/dev/null && echo *)"
expect "installed presets" "$presets" \
  "$(wine 'C:\Program Files\sweepwav\sweepwav-cli.exe' --list-presets </dev/null | tr -d '\r' | cut -d' ' -f1 | xargs)"
expect ".sweep files" ".sweep=sweepwav.settings" "$(wine cmd /c assoc .sweep </dev/null | tr -d '\r')"
expect "they open in the window" 'sweepwav.settings="C:\Program Files\sweepwav\sweepwav.exe" "%1"' \
  "$(wine cmd /c ftype sweepwav.settings </dev/null | tr -d '\r')"
expect "with its icon" 'C:\Program Files\sweepwav\sweepwav.exe,0' \
  "$(value 'HKLM\Software\Classes\sweepwav.settings\DefaultIcon' /ve)"
expect "the user's PATH" 'REG_EXPAND_SZ C:\Tools;C:\Program Files\sweepwav' "$(user_path)"
expect "a new Command Prompt finds sweepwav-cli" "sweepwav-cli $version" \
  "$(cd "$work" && wine cmd /c sweepwav-cli --version </dev/null | tr -d '\r' | head -1)"
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
# The window's recent settings files, as it keeps them.
wine reg add 'HKCU\Software\sweepwav' /v 'Recent settings' /d 'C:\bench.sweep' /f </dev/null >/dev/null
uninstall
expect "the user's PATH" 'REG_EXPAND_SZ C:\Tools' "$(user_path)"
expect ".sweep files" "" "$(wine cmd /c assoc .sweep </dev/null 2>/dev/null | tr -d '\r')"
for key in 'HKLM\Software\Classes\.sweep' 'HKLM\Software\Classes\sweepwav.settings' 'HKCU\Software\sweepwav'; do
  if wine reg query "$key" </dev/null >/dev/null 2>&1; then fail "$key is left"; else echo "  $key removed"; fi
done
after=$(cd "$WINEPREFIX/drive_c" && find . -iname '*sweepwav*' | sort)
expect "files and folders named sweepwav left" "$before" "$after"
[[ ! -e $installed && ! -e $link ]] || fail "the program's folder or its Start-menu entry is left"
if wine reg query "$key" </dev/null >/dev/null 2>&1; then fail "still in Add/Remove Programs"; else echo "  gone from Add/Remove Programs"; fi

echo "The user's PATH as it was, and as the installer and the uninstaller leave it:"
# Longer than the installer can read whole, and long enough that the entry
# would not fit.
long="C:\\$(printf 'x%.0s' $(seq 1100))" near="C:\\$(printf 'y%.0s' $(seq 1000))"
trim() {
  local s=${1#"${1%%[! ]*}"}
  s=${s%"${s##*[! ]}"}
  s=${s//@long/$long}
  printf '%s' "${s//@near/$near}"
}
# before                                    | installed                                       | uninstalled
while IFS='|' read -r was installed_path uninstalled_path; do
  was=$(trim "$was") installed_path=$(trim "$installed_path") uninstalled_path=$(trim "$uninstalled_path")
  set_path "$was"
  wine "$setup" /S </dev/null || fail "the installer failed"
  settle
  expect "  ${was:0:40}: installed" "$installed_path" "$(user_path)"
  uninstall
  expect "  ${was:0:40}: uninstalled" "$uninstalled_path" "$(user_path)"
done <<'EOF_TABLE'
-                                           | REG_EXPAND_SZ C:\Program Files\sweepwav        | none
C:\Tools;C:\Program Files\sweepwav         | REG_EXPAND_SZ C:\Tools;C:\Program Files\sweepwav | REG_EXPAND_SZ C:\Tools;C:\Program Files\sweepwav
@long                                       | REG_EXPAND_SZ @long                             | REG_EXPAND_SZ @long
@near                                       | REG_EXPAND_SZ @near                             | REG_EXPAND_SZ @near
EOF_TABLE

if ((failures)); then
  echo "$failures package check(s) failed" >&2
  exit 1
fi
echo "All package checks passed"
