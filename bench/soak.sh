#!/usr/bin/env bash
# Soak (not run in CI): the real main window captures from a private
# PulseAudio server for SECONDS (default 600) with a 10-second WAV file run
# every 30 s, in a build with address and undefined-behaviour sanitizers.
# Prints resident memory at start, every minute and at the end, and whether
# LeakSanitizer found a leak at exit.
#   usage: bench/soak.sh [SECONDS] [BUILD_DIR]
#   (BUILD_DIR defaults to build-soak, configured here when it is missing)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
build="${2:-$here/build-soak}"
readonly MARGIN_SECONDS=120 # start-up, settling and the end, beyond the soak itself

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIMBREL_SANITIZE=ON -DQUIMBREL_BENCH=OFF
fi
cmake --build "$build" --target soundserver_check

source "$here/tests/sanitizers/options.sh"
# A small quarantine, so that resident memory shows the program's own use
# rather than freed blocks that the sanitizer holds back.
export ASAN_OPTIONS="$ASAN_OPTIONS:quarantine_size_mb=16"
export QUIMBREL_SOAK_SECONDS="$seconds"
export QUIMBREL_CHECK_TIMEOUT=$((seconds + MARGIN_SECONDS))
log="$(mktemp /tmp/quimbrel-soak-XXXXXX.log)"
status=0
bash "$here/tests/system/pulseaudio-test.sh" "$build" --gtest_filter=Soak.* > "$log" 2>&1 || status=$?
grep -E '^soak:|^\[ +(OK|FAILED) +\]' "$log" || true
if ! grep -q '^QUIMBREL_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  echo "leaks: not looked for ($build is not a sanitizer build)"
elif grep -q 'LeakSanitizer' "$log"; then
  echo "leaks: found; see $log"
  grep -A12 'LeakSanitizer' "$log" | head -60
else
  echo "leaks: none reported by LeakSanitizer"
fi
echo "log: $log (status $status)"
exit "$status"
