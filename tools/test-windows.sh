#!/usr/bin/env bash
# Cross-builds the engine, sweepwav-cli.exe, the window sweepwav.exe and their
# tests for 64-bit Windows with mingw-w64 and runs them under Wine; then
# checks the command line from end to end (the analyser's registry value,
# files byte for byte against the Linux build, the Linux build finding the
# analyser in a Wine prefix), drives the window on a virtual screen through a
# table of scenarios, and makes and checks the two downloads (the zip and the
# installer). Installs what it needs on Debian 12 (as root or through sudo).
# Everything it builds, GoogleTest, the Linux build and the Wine prefixes
# included, stays in build-windows/ (the downloads in build-windows-package/).
# Run by .ci/run after tools/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="$root/build-windows"
jobs=2

packages=(
  cmake make
  g++-mingw-w64-x86-64-posix  # the cross compiler with POSIX threads
  googletest                  # GoogleTest sources in /usr/src/googletest
  wine wine64                 # 64-bit Wine; console programs need no display
  g++ qt6-base-dev            # the Linux build of sweepwav-cli, to compare with
  qt6-base-dev-tools qt6-charts-dev qt6-multimedia-dev  # Qt's headers and uic, for the window's syntax check
  xvfb xauth                  # the virtual screen the Win32 window is driven on
  nsis zip unzip dpkg-dev     # the downloads
  pulseaudio pulseaudio-utils python3  # Play, heard through a sound server's null sink
)
tools/install-packages.sh --no-install-recommends "${packages[@]}"

toolchain="$root/cmake/mingw-w64.cmake"

# GoogleTest, built with the same cross compiler and installed into the
# build folder (the Debian libraries are for Linux).
gtest="$build/googletest"
cmake -S /usr/src/googletest -B "$gtest/build" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$gtest/install" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
cmake --build "$gtest/build" -j"$jobs"
cmake --install "$gtest/build" >/dev/null

# Wine prefixes of our own, so the run neither needs nor touches ~/.wine:
# one for the console programs, one for the window (with a virtual desktop),
# and a fresh one for installing and uninstalling the downloads.
# No Mono or Gecko, and no menu entries written into the home folder.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
new_prefix() {
  export WINEPREFIX=$1
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # Wine notes here that it has no 32-bit half; only the 64-bit one is used.
    if ! wineboot --init >"$build/wineboot.log" 2>&1 || ! wineserver -w; then
      cat "$build/wineboot.log" >&2
      echo "Could not create the Wine prefix" >&2
      exit 1
    fi
  fi
}
# Stop the prefixes' Wine servers when done, whatever the outcome.
trap 'for p in "$build/wine" "$build/wine-window" "$build/wine-package"; do WINEPREFIX=$p wineserver -k 2>/dev/null || true; done' EXIT
new_prefix "$build/wine"

# The engine, the command line, the Win32 window and their tests; the Qt
# window needs Qt, which Debian does not have for Windows. Test discovery is left to ctest, which
# runs the programs through Wine; the build itself runs nothing.
cmake -S . -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DSWEEPWAV_ENGINE_ONLY=OFF -DSWEEPWAV_BUILD_WINDOW=OFF -DSWEEPWAV_WERROR=ON \
  -DGTest_DIR="$gtest/install/lib/cmake/GTest" \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=env;WINEPREFIX=$WINEPREFIX;WINEDEBUG=-all;WINEDLLOVERRIDES=$WINEDLLOVERRIDES;wine"
cmake --build "$build" -j"$jobs"

# The engine tests in one Wine process.
wine "$build/tests/engine_tests.exe"

# Then through ctest: each engine test on its own in Wine, and the layering
# checks, each of which compiles a file the cross compiler must refuse.
# One Wine server for the whole run, kept while idle: a test whose program
# starts just as the server of the one before shuts down cannot connect to
# it ("a wine server seems to be running, but I cannot connect to it"),
# which a busy machine makes likely. Wine's own services, which live as long
# as the server, are started first, so that none holds a test's output open.
wineserver -w
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
# The console and Ctrl-C tests have runs of their own below, where Wine gives
# them a console; here they would only skip, after making a console of their
# own beside the other tests. A test whose Wine process dies before the
# program starts (no output at all; seen once on a fresh machine) is run
# once more: a test that fails twice fails the run, and each rerun is listed.
ctest --test-dir "$build" --output-on-failure --no-tests=error -j"$jobs" \
  -E 'TheConsoleShows|CtrlCAborts' --repeat until-pass:2 | tee "$build/ctest.log"
grep -E 'Test +#[0-9]+: .*\*\*\*Failed' "$build/ctest.log" | sed 's/^/Passed on its second run: /' || true
wineserver -k 2>/dev/null || true

# The window's code as the Windows compiler reads it, against Qt's headers.
# Debian's Qt is built for Linux, so nothing can be linked: the check stops
# at syntax (Qt's dllimport notes aside).
qt=/usr/include/x86_64-linux-gnu/qt6
syntax="$build/window-syntax"
mkdir -p "$syntax"
/usr/lib/qt6/libexec/uic window/form1.ui -o "$syntax/ui_form1.h"
for source in window/*.cpp; do
  x86_64-w64-mingw32-g++-posix -std=c++20 -fsyntax-only -Wall -Wextra -Wpedantic -Werror -Wno-attributes \
    -DQT_CORE_LIB -DQT_GUI_LIB -DQT_WIDGETS_LIB -I. -I"$build/generated" -I"$syntax" \
    -I"$qt" -I"$qt/QtCore" -I"$qt/QtGui" -I"$qt/QtWidgets" -I"$qt/QtCharts" -I"$qt/QtMultimedia" "$source"
done
echo "The window's sources pass a syntax check for Windows"

# The Ctrl-C test once more on a terminal: only then does Wine give a
# program a console to press keys on (ctest's run skips that test).
report="$build/ctrl-c.xml"
rm -f "$report"
script -qec "wine '$build/cli/cli_tests.exe' --gtest_filter='*CtrlC*' --gtest_output=xml:'$(winepath -w "$report")'" \
  /dev/null </dev/null >"$build/ctrl-c.log" 2>&1 || true
if ! grep -q 'tests="1" failures="0" disabled="0" skipped="0" errors="0"' "$report" 2>/dev/null; then
  tr -d '\r' <"$build/ctrl-c.log" | sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g' >&2
  echo "The Ctrl-C test did not pass on a terminal" >&2
  exit 1
fi
echo "Ctrl-C test on a terminal: passed"

# What a console window shows of a run (names, the progress bar's redraws):
# Wine makes one only on a display, with a server of its own started there
# (not one left from the step before). Where Wine gave the test no console
# to read back (it then skips, as happened once on a busy machine), it runs
# once more; a failure of what the console shows is never run again.
report="$build/console.xml"
for attempt in 1 2; do
  rm -f "$report"
  wineserver -k 2>/dev/null || true
  wineserver -w
  xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
    wine "$build/cli/cli_tests.exe" --gtest_filter='*TheConsoleShows*' --gtest_output=xml:"$(winepath -w "$report")" \
    </dev/null >"$build/console.log" 2>&1 || true
  grep -q 'skipped="1"' "$report" 2>/dev/null || break
done
if ! grep -q 'tests="1" failures="0" disabled="0" skipped="0" errors="0"' "$report" 2>/dev/null; then
  tr -d '\r' <"$build/console.log" >&2
  echo "The console test did not pass in a console window" >&2
  exit 1
fi
echo "Console test in a console window: passed"

# The Linux build of the command line, to compare with: the one named by
# SWEEPWAV_LINUX_CLI (.ci/run passes tools/test.sh's), else one built here.
linux_cli=${SWEEPWAV_LINUX_CLI:-}
if [[ -z $linux_cli ]]; then
  cmake -S . -B "$build/linux" -DCMAKE_BUILD_TYPE=Release -DSWEEPWAV_BUILD_WINDOW=OFF -DSWEEPWAV_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build/linux" -j"$jobs" --target sweepwav-cli
  linux_cli="$build/linux/cli/sweepwav-cli"
fi

tools/windows-checks.sh "$build/cli/sweepwav-cli.exe" "$linux_cli" "$build/checks"

# Play through Wine's sound driver to a sound server of its own.
tools/windows-play-checks.sh "$build/cli/sweepwav-cli.exe"

# The same bytes on every build: files, Show Info and plans of 200 and more
# settings from the Linux build (vector and scalar sine) and the .exe.
tools/install-packages.sh --no-install-recommends python3
python3 tools/identity_check.py "$build/cli/sweepwav-cli.exe" "$linux_cli" "$build/identity" >"$build/identity.log" ||
  { grep -A1 -E '^(DIFFER|RETRY)' "$build/identity.log" >&2; tail -n 1 "$build/identity.log" >&2; exit 1; }
grep RETRY "$build/identity.log" || true
tail -n 1 "$build/identity.log"

# The Win32 window, driven on a virtual screen in a prefix of its own.
wineserver -k 2>/dev/null || true
new_prefix "$build/wine-window"
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -nolisten tcp" \
  tools/windows-window-checks.sh "$build/win32window/sweepwav.exe" "$build/win32window/window_driver.exe" \
  "$linux_cli" "$build/cli/sweepwav-cli.exe" "$build/checks-window"
cp "$build/checks-window/data/window-windows.png" "$build/window-windows.png"
cp "$build/checks-window/data/plan-windows.png" "$build/plan-windows.png"
echo "The window under Wine: $build/window-windows.png and $build/plan-windows.png (docs/ in the README)"

# The downloads, from this build, and the programs in them.
tools/package-windows.sh "$build"
wineserver -k 2>/dev/null || true
rm -rf "$build/wine-package"
new_prefix "$build/wine-package"
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -nolisten tcp" \
  tools/windows-package-checks.sh build-windows-package "$build/win32window/window_driver.exe" "$build/checks-package"
