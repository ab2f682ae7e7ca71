#!/usr/bin/env bash
# sweepwav-cli.exe from end to end under Wine, beside the Linux build: the
# analyser's registry value decides where files go, the files and plans are
# the Linux build's byte for byte, and the Linux build finds the analyser in
# the prefix Wine made. Run by tools/test-windows.sh with WINEPREFIX set.
#   tools/windows-checks.sh WINDOWS_EXE LINUX_CLI WORK_DIR
set -euo pipefail
source "$(dirname "$0")/wine-once-more.sh"
exe=$1 cli=$2 work=$3
rm -rf "$work"
mkdir -p "$work/home"
drive_c="$WINEPREFIX/drive_c"
key='HKCU\Software\Corvalis\Olvane\Paths'
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

tone=(--steps 0 --tone-ms 10 --no-dither)
# The Windows program's standard error; its files go where its settings say.
windows_err() { wine "$exe" "${tone[@]}" --file "$1" 2>&1 >/dev/null </dev/null || true; }
# The Linux program with a home of its own and no settings file.
linux_err() {
  HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" "$cli" "${tone[@]}" --file "$1" 2>&1 >/dev/null || true
}

echo "The analyser's registry value:"
wine reg add "$key" /v "Application directory" /t REG_SZ /d 'C:\Analyser' /f >/dev/null
wavetables="$drive_c/Analyser/User Wavetables"
mkdir -p "$wavetables"
err=$(windows_err found)
[[ -f "$wavetables/found.wav" && $err == *"wrote C:\\Analyser\\User Wavetables\\found.wav ("* ]] ||
  fail "a run with the value set: $err"
echo "  value set: ${err##*$'\n'}"

# The Linux build reads the same value from the prefix, once Wine has saved
# its registry there: through $WINEPREFIX, and through ~/.wine.
wineserver -w
err=$(linux_err linux)
[[ -f "$wavetables/linux.wav" && $err != *"Couldn't find"* ]] || fail "Linux with WINEPREFIX: $err"
cmp -s "$wavetables/linux.wav" "$wavetables/found.wav" || fail "Linux and Windows wrote different files"
ln -sfn "$WINEPREFIX" "$work/home/.wine"
err=$(WINEPREFIX='' linux_err home)
[[ -f "$wavetables/home.wav" ]] || fail "Linux with ~/.wine: $err"
echo "  the Linux build, through the prefix: ${err##*$'\n'}"

# A value that is not text: no message, the installation folder assumed.
wine reg add "$key" /v "Application directory" /t REG_DWORD /d 5 /f >/dev/null
assumed="$drive_c/Program Files/corvalis/olvane Vexlor/User Wavetables"
mkdir -p "$assumed"
err=$(windows_err number)
[[ -f "$assumed/number.wav" && $err != *"Couldn't find"* ]] || fail "a value that is not text: $err"
echo "  not text: ${err##*$'\n'}"

# No key: the message, and the root folder of C:.
wine reg delete 'HKCU\Software\Corvalis' /f >/dev/null
err=$(windows_err missing)
[[ -f "$drive_c/missing.wav" && $err == "sweepwav-cli: Couldn't find Olvane installation path"$'\n'* ]] ||
  fail "no key: $err"
echo "  no key: ${err%%$'\n'*} ... ${err##*$'\n'}"
wineserver -w
err=$(linux_err nokey)
[[ -f "$work/home/nokey.wav" && $err == "sweepwav-cli: Couldn't find Olvane installation path"$'\n'* ]] ||
  fail "Linux without the value in the prefix: $err"
rm -rf "$drive_c/Analyser" "$drive_c/Program Files/corvalis" "$drive_c/missing.wav"

echo
echo "Folders kept as given, names that are not files, Windows paths as Wine maps them:"
wavetables="$drive_c/Analyser/User Wavetables"
mkdir -p "$wavetables"
wine reg add "$key" /v "Application directory" /t REG_SZ /d '\\?\C:\Analyser' /f >/dev/null
err=$(windows_err long)
[[ -f "$wavetables/long.wav" && $err == *'wrote \\?\C:\Analyser\User Wavetables\long.wav ('* ]] ||
  fail "a value in the long form: $err"
echo "  long form: ${err##*$'\n'}"
wine reg add "$key" /v "Application directory" /t REG_SZ /d '\\sweepwav-nowhere\share\Olvane' /f >/dev/null
err=$(windows_err unc)
[[ $err == *'Could not write the file \\sweepwav-nowhere\share\Olvane\User Wavetables\unc.wav: '* ]] ||
  fail "a network value: $err"
echo "  network: ${err##*$'\n'}"
# What Linux has at a name (a FIFO, a socket, a link to a device) is no
# file to Windows: refused, and left as it was.
mkfifo "$wavetables/fifo.wav"
# (Bound from within the folder: a socket's address holds at most 107 bytes.)
(cd "$wavetables" && perl -MIO::Socket::UNIX -e 'IO::Socket::UNIX->new(Local => $ARGV[0], Listen => 1) or die' socket.wav)
ln -s /dev/null "$wavetables/null.wav"
wine reg add "$key" /v "Application directory" /t REG_SZ /d 'C:\Analyser' /f >/dev/null
for name in fifo socket null; do
  before=$(stat -c %F "$wavetables/$name.wav")
  err=$(windows_err "$name")
  [[ $err == *"Could not write the file C:\Analyser\User Wavetables\\$name.wav: "* &&
     $(stat -c %F "$wavetables/$name.wav") == "$before" ]] || fail "a $before at the name: $err"
  echo "  $before: ${err##*$'\n'}"
done
# The Linux build reads a value in another letter case, and one that goes
# above the drive's root, as Wine does.
for value in 'c:\ANALYSER' 'C:\..\..\Analyser'; do
  wine reg add "$key" /v "Application directory" /t REG_SZ /d "$value" /f >/dev/null
  wineserver -w
  rm -f "$wavetables/mapped.wav"
  err=$(linux_err mapped)
  [[ -f "$wavetables/mapped.wav" ]] || fail "Linux with the value $value: $err"
  echo "  Linux, $value: ${err##*$'\n'}"
done
wine reg delete 'HKCU\Software\Corvalis' /f >/dev/null
rm -rf "$drive_c/Analyser"

echo
echo "Paths longer than Windows addresses, from the registry (each leaves C:\\ as it was):"
# Set through a file: a command line holds at most 32767 characters in all
# (which is also why -o cannot reach the limit).
set_value() {
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvalis\\Olvane\\Paths]\r\n"Application directory"="%s"\r\n' \
    "${1//\\/\\\\}" >"$work/value.reg"
  wine regedit /S "$(winepath -w "$work/value.reg")"
}
a() { head -c "$1" /dev/zero | tr '\0' a; }
echo "keep me" >"$drive_c/victim.txt"
root_before=$(ls -A "$drive_c")
# With --file out the temporary file's name (18 characters) is the longer
# one: a run takes paths of \\?\ + the value + \User Wavetables\ + 18, the
# value's length + 39 characters in all.
while IFS='|' read -r what value needed; do
  set_value "$value"
  err=$(windows_err out)
  refusal="the path is too long: writing it takes a path of $needed characters, and Windows addresses at most 32767"
  if [[ $needed -le 32767 ]]; then
    [[ $err == *"Could not write the file "* && $err != *"too long"* ]] || fail "$what: $err"
  else
    [[ $err == *"Could not write the file C:\\"*"... ($((${#value} + 24)) characters, shortened): "* && $err == *"$refusal" ]] ||
      fail "$what: $err"
  fi
  [[ $(cat "$drive_c/victim.txt") == "keep me" && $(ls -A "$drive_c") == "$root_before" ]] || fail "$what: C:\\ changed"
  last=${err##*$'\n'}
  echo "  $what: ${last:0:50}...${last: -80}"
done <<EOF_VALUES
a file's name and 32744 letters|C:\\victim.txt$(a 32744)|32796
the drive and 32764 letters|C:\\$(a 32764)|32806
at the limit|C:\\$(a 32725)|32767
a character over|C:\\$(a 32726)|32768
far over|C:\\$(a 99997)|100039
EOF_VALUES
# The Linux build, through the prefix, refuses the first as Linux addresses
# at most 4095 bytes.
set_value "C:\\victim.txt$(a 32744)"
wineserver -w
err=$(linux_err out)
[[ $err == *"and Linux addresses at most 4095" && $(cat "$drive_c/victim.txt") == "keep me" ]] ||
  fail "Linux through the prefix: $err"
echo "  the Linux build, through the prefix: ...${err: -80}"
wine reg delete 'HKCU\Software\Corvalis' /f >/dev/null
rm -f "$drive_c/victim.txt" "$work/value.reg"

echo
echo "The same WAV bytes and plan as the Linux build:"
base=(--steps 30 --tone-ms 100 --start-freq 20 --end-freq 20000 --start-level -1 --end-level -46)
windows_work=$(winepath -w "$work")
printf '  %-58s %10s  %-6s %s\n' "settings" "bytes" "file" "plan (CSV)"
while read -r settings; do
  read -r -a extra <<<"$settings"
  "$cli" -q -o "$work" --file linux "${base[@]}" "${extra[@]}" --plan "$work/linux.csv"
  wine "$exe" -q -o "$windows_work" --file windows "${base[@]}" "${extra[@]}" --plan "$windows_work\\windows.csv" </dev/null
  file=equal
  if ! cmp -s "$work/linux.wav" "$work/windows.wav"; then
    file="DIFFER in $(cmp -l "$work/linux.wav" "$work/windows.wav" | wc -l || true) bytes"
    fail "the files differ for: $settings"
  fi
  # The plan's numbers come from correctly rounded functions: the same to
  # the last of their 17 digits.
  plan=equal
  if ! cmp -s "$work/linux.csv" "$work/windows.csv"; then
    plan="$(diff "$work/linux.csv" "$work/windows.csv" | grep -c '^<' || true) of $(wc -l <"$work/linux.csv") lines DIFFER"
    fail "the plans differ for: $settings"
  fi
  printf '  %-58s %10s  %-6s %s\n' "$settings" "$(stat -c %s "$work/linux.wav")" "$file" "$plan"
done <<'EOF_SETTINGS'
--bits 16 --no-dither
--bits 18 --no-dither
--bits 20 --no-dither
--bits 22 --no-dither
--bits 24 --no-dither
--channels 1 --no-dither
--channels 2 --no-dither
--channels 8 --no-dither
--shift-mode 0 --no-dither
--shift-mode 1 --no-dither
--shift-mode 2 --no-dither
--linear --rate 96000 --bits 24 --no-dither
--seed 42
--seed 42 --bits 24 --channels 8 --rate 192000
--markers --no-dither
--end-level -60 --no-dither
--markers --seed 7 --bits 20 --channels 1 --shift-mode 1
--rate 192000 --bits 24 --channels 1 --steps 100 --tone-ms 1000 --no-dither
EOF_SETTINGS

if ((failures)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "All end-to-end checks passed"
