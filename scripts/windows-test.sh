#!/usr/bin/env bash
# The Windows build, cross-compiled with MinGW-w64 (the "windows" preset), and
# its tests under Wine in a prefix of the build's own: the portable unit tests
# and the programs' version resources and imports (ctest), then
# quimbrel-measure.exe against the Linux build's quimbrel-measure, byte for
# byte, and its --live on a private PulseAudio server; Set level over winmm
# capture; the window, its Input menu and its Recording level dialog on a
# desktop; the setup program: installed, started and uninstalled.
#
#   scripts/windows-test.sh LINUX_BUILD   (a build folder with tools/measure/quimbrel-measure)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
linux_build="$1"

build="$here/build-test-windows"
rm -rf "$build"
cmake --preset windows -S "$here" -B "$build" >/dev/null
cmake --build "$build"
prefix="$build/wineprefix"
(cd "$build" && ctest --output-on-failure --timeout 300)

bash "$here/tests/windows/measure_compare.sh" "$linux_build/tools/measure/quimbrel-measure" \
  "$build/tools/measure/quimbrel-measure.exe" "$prefix"

# --live through winmm and Wine's PulseAudio driver, on a private server.
bash "$here/tests/windows/measurelive_wine.sh" "$build/tools/measure/quimbrel-measure.exe" "$prefix"

# Set level over winmm capture under Wine, with the server's source volume as the control.
bash "$here/tests/windows/levelsetting_wine_check.sh" "$build/tests/windows/quimbrel-levelsetting-wine.exe" "$prefix"

# The window program under Wine, on a desktop with a sound server.
version="$(sed -n 's/^project(quimbrel VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")"
QUIMBREL_WINEPREFIX="$prefix" bash "$here/tests/windows/window_wine_check.sh" "$build/shell/quimbrel.exe" "$version"
# Its Input menu and --input, on a server with several sources.
QUIMBREL_WINEPREFIX="$prefix" bash "$here/tests/windows/input_wine_check.sh" "$build/shell/quimbrel.exe" \
  "$build/tests/windows_waveindevices_test.exe"
# Its Recording level dialog.
QUIMBREL_WINEPREFIX="$prefix" bash "$here/tests/windows/recordinglevel_wine_check.sh" "$build/shell/quimbrel.exe"

# The setup program and the zip beside it, in a fresh prefix of their own.
bash "$here/tests/windows/setup_wine.sh" "$build/quimbrel-$version-setup.exe" \
  "$build/quimbrel-$version-win64.zip" "$version" "$build/scratch"

# Wine's server for this prefix goes with the stage.
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
