#!/usr/bin/env bash
# Installs what is missing, builds Quimbrel and starts it. Without a display the
# program runs under Xvfb for a few seconds and a screenshot is saved.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/scripts/deps.sh"
quimbrel_install_packages "${QUIMBREL_PACKAGES[@]}"

build="$here/build"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIMBREL_TESTS=OFF -DQUIMBREL_BENCH=OFF >/dev/null
cmake --build "$build" --target quimbrel

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/shell/quimbrel" "$@"
fi

shot="$build/quimbrel-screenshot.png"
echo "No display: running Quimbrel under Xvfb for 5 seconds."
xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  "$1" "${@:3}" &
  pid=$!
  sleep 4
  import -window root "$2"
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
' _ "$build/shell/quimbrel" "$shot" "$@"
echo "Screenshot saved to $shot"
