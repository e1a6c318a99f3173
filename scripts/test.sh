#!/usr/bin/env bash
# Installs what is missing, builds Quimbrel from scratch and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/scripts/deps.sh"
quimbrel_install_packages "${QUIMBREL_PACKAGES[@]}"

build="$here/build-test"
rm -rf "$build"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300

# The desktop files, the Debian package and a start of the packaged program.
bash "$here/scripts/package-test.sh" "$build"
