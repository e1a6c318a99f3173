#!/usr/bin/env bash
# The ARM builds, from this tree, on Debian's cross toolchains and multiarch
# libraries (scripts/deps.sh installs them), tested under qemu-user:
#  - armhf (preset linux-armhf: no window): quimbrel-measure and the Qt-free tests;
#  - arm64 (preset linux-arm64): both programs and the Qt-free tests;
#  - quimbrel-measure under qemu gives --blocks and --json output byte for byte
#    that of this machine's build (X86_BUILD) on the same files;
#  - each build's Debian package, checked by lintian.
# Usage: scripts/cross-test.sh X86_BUILD
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
x86_build="$(cd "${1:-$here/build-test}" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

passes=0
failures=0
pass() { echo "ok:   $*"; passes=$((passes + 1)); }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Test files for the byte-for-byte comparison: a tone on a DC offset that the
# estimate must follow, loud noise that wraps round when the offset is taken
# off, a mono recording and one whose length is no whole number of blocks,
# and one at full scale, whose first block reads exactly 0 dB.
make_test_files() {
  sox -V1 -n -r 44100 -b 16 -c 2 "$scratch/tone.wav" synth 7 sine 1000 vol 0.5 dcshift 0.1
  sox -V1 -n -r 44100 -b 16 -c 2 "$scratch/noise.wav" synth 5.37 whitenoise vol 0.95 dcshift -0.3
  sox -V1 -n -r 22050 -b 16 -c 1 "$scratch/mono.wav" synth 3.3 pinknoise vol 0.6
  sox -V1 -n -r 44100 -b 16 -c 2 -D "$scratch/fullscale.wav" synth 2 sine 0 dcshift 0.99999
}

# Builds preset $1 in $2 (targets $4...) and runs its tests labelled $3
# (a ctest label expression) under the emulator.
build_and_test() {
  local preset="$1" dir="$2" labels="$3"; shift 3
  rm -rf "$dir"
  cmake --preset "$preset" >"$scratch/$preset-configure.log" 2>&1 \
    || { cat "$scratch/$preset-configure.log"; fail "$preset configures"; return 1; }
  cmake --build "$dir" --target "$@" || { fail "$preset builds"; return 1; }
  pass "$preset builds: $*"
  if (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -L "$labels"); then
    pass "$preset: tests pass under qemu"
  else
    fail "$preset: tests under qemu"
  fi
}

# quimbrel-measure under qemu against this machine's, on every test file.
compare_reports() {
  local preset="$1" dir="$2" emulator="$3" prefix="$4" f mode
  for f in "$scratch"/*.wav; do
    for mode in --blocks --json "--rms --blocks" "--rms --json"; do
      # shellcheck disable=SC2086
      "$x86_build/tools/measure/quimbrel-measure" $mode "$f" >"$scratch/x86.out" 2>&1 || true
      # shellcheck disable=SC2086
      "$emulator" -L "$prefix" "$dir/tools/measure/quimbrel-measure" $mode "$f" >"$scratch/cross.out" 2>&1 || true
      if cmp -s "$scratch/x86.out" "$scratch/cross.out" && [ -s "$scratch/x86.out" ]; then
        pass "$preset quimbrel-measure $mode $(basename "$f"): byte for byte"
      else
        diff "$scratch/x86.out" "$scratch/cross.out" | head -n 5
        fail "$preset quimbrel-measure $mode $(basename "$f") differs from this machine's"
      fi
    done
  done
}

# The build's Debian package: named for its architecture, passed by lintian.
check_package() {
  local preset="$1" dir="$2" arch="$3" version deb status=0
  version="$(sed -n 's/^project(quimbrel VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")"
  rm -f "$dir"/quimbrel_*.deb
  (cd "$dir" && cpack -G DEB >"$scratch/$preset-cpack.log" 2>&1) \
    || { cat "$scratch/$preset-cpack.log"; fail "$preset: cpack"; return; }
  deb="$(ls "$dir"/quimbrel_*.deb)"
  [ "$(basename "$deb")" = "quimbrel_${version}_${arch}.deb" ] && pass "$preset: $(basename "$deb")" \
    || fail "$preset: package named $(basename "$deb")"
  [ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] && pass "$preset: architecture $arch" \
    || fail "$preset: architecture $(dpkg-deb -f "$deb" Architecture)"
  lintian --info --pedantic --fail-on error,warning "$deb" >"$scratch/$preset-lintian.log" 2>&1 || status=$?
  grep -v '^running with root privileges' "$scratch/$preset-lintian.log" || true
  [ "$status" -eq 0 ] && pass "$preset: lintian, no error, no warning" || fail "$preset: lintian (status $status)"
}

make_test_files

# armhf: everything its preset builds (no toolkit). arm64: both programs and
# the portable tests. The toolkit tests (tests/CMakeLists.txt,
# QUIMBREL_CROSS_TOOLKIT_TESTS, label "cross") build, but under qemu-user on
# this machine they did not finish within 120 s each, so they are left out.
build_and_test linux-armhf "$here/build-armhf" portable all
compare_reports linux-armhf "$here/build-armhf" qemu-arm-static /usr/arm-linux-gnueabihf
check_package linux-armhf "$here/build-armhf" armhf

build_and_test linux-arm64 "$here/build-arm64" portable \
  quimbrel quimbrel-measure quimbrel_portable_tests \
  quimbrel_gzip_quimbrel_1 quimbrel_gzip_quimbrel_measure_1 quimbrel_gzip_changelog
compare_reports linux-arm64 "$here/build-arm64" qemu-aarch64-static /usr/aarch64-linux-gnu
check_package linux-arm64 "$here/build-arm64" arm64

echo "cross builds: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
