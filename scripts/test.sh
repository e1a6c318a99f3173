#!/usr/bin/env bash
# Installs what is missing, builds Quimbrel from scratch and runs every test:
# the plain build, the packaging, a one-definition check, the same suite built
# with address and undefined-behaviour sanitizers (with the fuzz programs, run
# briefly), the arm64 and armhf cross builds under qemu, the Windows build
# under Wine, and the program against a real PulseAudio server and a real
# PipeWire server.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/scripts/deps.sh"
quimbrel_install_packages "${QUIMBREL_PACKAGES[@]}"

build="$here/build-test"
rm -rf "$build"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300)

# The desktop files, the Debian package and a start of the packaged program.
bash "$here/scripts/package-test.sh" "$build"

# One-definition check: every library linked into one program by GCC's
# link-time optimiser, which fails on two different definitions of one name.
# Unoptimised, and only that program is built.
odr="$here/build-test-odr"
rm -rf "$odr"
cmake -S "$here" -B "$odr" -G Ninja -DCMAKE_BUILD_TYPE=None -DQUIMBREL_ODR_CHECK=ON -DQUIMBREL_BENCH=OFF
cmake --build "$odr" --target quimbrel_odr_check

# Sanitizer build: clang, so that the fuzz programs come with it.
asan="$here/build-test-asan"
rm -rf "$asan"
CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUIMBREL_SANITIZE=ON -DQUIMBREL_FUZZ=ON -DQUIMBREL_BENCH=OFF
cmake --build "$asan"
source "$here/tests/sanitizers/options.sh"
(cd "$asan" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600)
bash "$here/tests/fuzz/smoke.sh" "$asan" 30

# ---- ARM: arm64 and armhf cross builds, tests under qemu-user ----
# Both builds, their tests, quimbrel-measure's reports against this machine's
# build byte for byte, and their Debian packages.
quimbrel_add_foreign_architectures "${QUIMBREL_CROSS_ARCHITECTURES[@]}"
quimbrel_install_packages "${QUIMBREL_CROSS_PACKAGES[@]}"
bash "$here/scripts/cross-test.sh" "$build"
# ---- end of the ARM stage ----

# The Windows build (MinGW-w64) and its tests under Wine, with
# quimbrel-measure.exe compared byte for byte with the Linux build's.
bash "$here/scripts/windows-test.sh" "$build"

# Last, so that their closing lines close the run.
bash "$here/tests/system/pulseaudio-test.sh" "$build"
bash "$here/tests/system/pipewire-test.sh" "$build"
