#!/usr/bin/env bash
# Soak (not run in CI): the real main window captures from a private sound
# server for SECONDS (default 600) in a build with address and
# undefined-behaviour sanitizers. Every 30 s it does one thing in turn: a file
# run of a 10-second WAV file, then a restart of the server under the window
# (killed, the loss shown, started again, Start pressed), so the server is
# restarted every minute. Prints resident memory at start, every minute and
# at the end, and whether LeakSanitizer found a leak at exit.
#   usage: bench/soak.sh [SECONDS] [BUILD_DIR] [SERVER]
#   (BUILD_DIR defaults to build-soak, configured here when it is missing;
#   SERVER is pulseaudio, pipewire or both, the default)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
build="${2:-$here/build-soak}"
servers="${3:-both}"
readonly MARGIN_SECONDS=180 # start-up, settling, restarts and the end, beyond the soak itself

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIMBREL_SANITIZE=ON -DQUIMBREL_BENCH=OFF
fi
cmake --build "$build" --target soundserver_check
if [ "$servers" = both ]; then
  servers="pulseaudio pipewire"
fi

source "$here/tests/sanitizers/options.sh"
# A small quarantine, so that resident memory shows the program's own use
# rather than freed blocks that the sanitizer holds back.
export ASAN_OPTIONS="$ASAN_OPTIONS:quarantine_size_mb=16"
export QUIMBREL_SOAK_SECONDS="$seconds" QUIMBREL_SOAK_RESTARTS=1
export QUIMBREL_CHECK_TIMEOUT=$((seconds + MARGIN_SECONDS))
status=0
for server in $servers; do
  log="$(mktemp "/tmp/quimbrel-soak-$server-XXXXXX.log")"
  echo "== $server"
  bash "$here/tests/system/$server-test.sh" "$build" --gtest_filter=Soak.* > "$log" 2>&1 || status=$?
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
done
exit "$status"
