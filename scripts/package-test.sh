#!/usr/bin/env bash
# Checks the desktop integration and the Debian package of a finished build:
# validates the desktop entry, the AppStream data, the manual pages and the
# icons; builds the .deb with CPack; checks that its dependencies can be met;
# unpacks it into a scratch root; and starts the unpacked program once under
# Xvfb, capturing from a file, then ends it with SIGTERM and expects exit code 0.
# Usage: scripts/package-test.sh [BUILD_DIR]   (default: build-test)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$here/build-test}" && pwd)"
app_id="example.tamsvik.Quimbrel"
icon_sizes=(16 32 48 64 128 256)
window_icon_size=32
window_wait_tenths=300   # how long the window may take to appear, in 0.1 s steps
running_seconds=2        # how long the program runs before it is ended
capture_seconds=10       # length of the test signal the program captures
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

passes=0
failures=0
pass() { echo "ok:   $*"; passes=$((passes + 1)); }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

check_desktop_entry() {
  local file="$1"
  if desktop-file-validate "$file"; then pass "desktop-file-validate $(basename "$file")"
  else fail "desktop-file-validate $file"; fi
  grep -qx 'Categories=AudioVideo;Audio;HamRadio;' "$file" \
    && pass "menu categories" || fail "Categories in $file"
}

check_metainfo() {
  local file="$1"
  if appstreamcli validate --no-net "$file"; then pass "appstreamcli validate $(basename "$file")"
  else fail "appstreamcli validate $file"; fi
}

# groff reports problems in a manual page on standard error; there must be none.
check_manual_page() {
  local page="$1" warnings
  warnings="$(groff -man -Tutf8 -ww -z "$page" 2>&1)"
  if [ -z "$warnings" ]; then pass "manual page $(basename "$page") renders cleanly"
  else fail "manual page $page: $warnings"; fi
}

# The committed PNGs must be renderings of the SVG at their sizes, and the
# program's own window icon must be the 32-pixel one.
check_icons() {
  local icons="$here/packaging/icons" size png fresh
  for size in "${icon_sizes[@]}"; do
    png="$icons/quimbrel-$size.png"
    fresh="$scratch/fresh-$size.png"
    rsvg-convert --width "$size" --height "$size" --format png --output "$fresh" "$icons/quimbrel.svg"
    if [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] \
       && compare -metric AE -fuzz 2% "$png" "$fresh" null: 2>/dev/null; then
      pass "icon $size px matches the SVG"
    else
      fail "icon $png differs from the SVG: run scripts/render-icons.sh"
    fi
  done
  cmp -s "$icons/quimbrel-$window_icon_size.png" "$here/resources/icons/quimbrel.png" \
    && pass "window icon is the ${window_icon_size} px rendering" \
    || fail "resources/icons/quimbrel.png is not the ${window_icon_size} px icon: run scripts/render-icons.sh"
}

check_sources() {
  echo "== Desktop files in the source tree"
  check_desktop_entry "$here/packaging/$app_id.desktop"
  check_metainfo "$here/packaging/$app_id.metainfo.xml"
  local page
  for page in "$here"/packaging/man/*.1; do check_manual_page "$page"; done
  check_icons
}

build_package() {
  echo "== Building the Debian package"
  rm -f "$build"/quimbrel_*.deb
  (cd "$build" && cpack -G DEB >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; return 1; }
  deb="$(ls "$build"/quimbrel_*.deb)"
  pass "built $(basename "$deb")"
}

# The package's version is the project's, and the AppStream data names it as a release.
check_control() {
  local version
  version="$(dpkg-deb -f "$deb" Version)"
  [ "$(dpkg-deb -f "$deb" Package)" = "quimbrel" ] && pass "package name quimbrel" || fail "package name"
  grep -q "<release version=\"$version\"" "$here/packaging/$app_id.metainfo.xml" \
    && pass "metainfo lists release $version" \
    || fail "metainfo has no <release version=\"$version\">: add the release"
  if apt-get install --simulate --no-install-recommends "$deb" >"$scratch/apt.log" 2>&1 \
     && grep -q '^Inst quimbrel ' "$scratch/apt.log"; then
    pass "apt can install the package with its dependencies"
  else
    cat "$scratch/apt.log"; fail "apt cannot install $deb"
  fi
}

# Every library the packaged programs load must come from a package that the
# .deb depends on, or a fresh machine could install it and still not start it.
check_needed_libraries() {
  local depends program library path owner
  depends="$(dpkg-deb -f "$deb" Depends)"
  for program in "$root"/usr/bin/*; do
    for library in $(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }'); do
      # The folder the loader takes it from names the architecture (x86_64-linux-gnu).
      path="$(ldd "$program" | awk -v l="$library" '$1 == l { print $3 }')"
      owner="$(dpkg -S "*/$(basename "$(dirname "$path")")/$library" 2>/dev/null | head -n 1 | cut -d: -f1)"
      if [ -n "$owner" ] && [[ ", $depends" == *", $owner"[\ ,]* || ", $depends," == *", $owner,"* ]]; then
        pass "$(basename "$program") needs $library from $owner, a dependency"
      else
        fail "$(basename "$program") needs $library (package '${owner:-unknown}'), not in Depends"
      fi
    done
  done
}

# Everything a desktop needs to list and start the program is in the package.
check_unpacked() {
  root="$scratch/root"
  dpkg-deb -x "$deb" "$root"
  local usr="$root/usr" share="$root/usr/share" size icon exec_name
  [ -x "$usr/bin/quimbrel" ] && pass "usr/bin/quimbrel" || fail "usr/bin/quimbrel missing"
  check_desktop_entry "$share/applications/$app_id.desktop"
  check_metainfo "$share/metainfo/$app_id.metainfo.xml"
  icon="$(sed -n 's/^Icon=//p' "$share/applications/$app_id.desktop")"
  exec_name="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$share/applications/$app_id.desktop")"
  [ -x "$usr/bin/$exec_name" ] && pass "Exec=$exec_name is installed" || fail "Exec=$exec_name not in usr/bin"
  for size in "${icon_sizes[@]}"; do
    local png="$share/icons/hicolor/${size}x${size}/apps/$icon.png"
    [ -f "$png" ] && [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] \
      && pass "icon ${size}x${size}" || fail "icon $png missing or of the wrong size"
  done
  [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] && pass "scalable icon" || fail "scalable icon missing"
  check_manual_page "$share/man/man1/quimbrel.1"
  if [ -e "$usr/bin/quimbrel-measure" ]; then
    check_manual_page "$share/man/man1/quimbrel-measure.1"
    "$usr/bin/quimbrel-measure" --version && pass "quimbrel-measure runs" || fail "quimbrel-measure --version"
  fi
}

# Runs inside Xvfb: starts the program, waits for its window, lets it capture,
# saves a screenshot, ends it with SIGTERM and exits with the program's status
# (or 124 when it did not end, 125 when no window appeared).
xvfb_session='
  exe="$1" shot="$2" wait_tenths="$3" running_seconds="$4"
  has_window() { xwininfo -root -tree | grep -q "\"Quimbrel"; }
  "$exe" & pid=$!
  for ((i = 0; i < wait_tenths; i++)); do
    has_window || ! kill -0 "$pid" 2>/dev/null && break
    sleep 0.1
  done
  if ! has_window; then
    echo "no Quimbrel window appeared"; kill -KILL "$pid" 2>/dev/null; wait "$pid"; exit 125
  fi
  sleep "$running_seconds"
  import -window root "$shot"
  kill -TERM "$pid"
  for ((i = 0; i < wait_tenths; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "still running after SIGTERM"; kill -KILL "$pid"; wait "$pid"; exit 124
  fi
  status=0
  wait "$pid" || status=$?
  exit "$status"
'

# The default ALSA device of the run is a file PCM that plays a 1 kHz tone at
# half of full scale (about -6 dB), so the input opens without a sound card.
run_under_xvfb() {
  echo "== Starting the unpacked program under Xvfb"
  local raw="$scratch/capture.raw" conf="$scratch/asound.conf" shot="$build/package-test-screenshot.png"
  sox -n -r 44100 -c 2 -b 16 -e signed-integer -t raw "$raw" synth "$capture_seconds" sine 1000 vol 0.5
  printf 'pcm.!default {\n type file\n slave.pcm { type null }\n file "/dev/null"\n infile "%s"\n format "raw"\n}\n' \
    "$raw" >"$conf"
  local status=0 runtime="$scratch/runtime"
  mkdir -m 700 "$runtime"
  env -u QUIMBREL_INPUT -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY \
    ALSA_CONFIG_PATH="$conf" XDG_RUNTIME_DIR="$runtime" \
    xvfb-run -a -s "-screen 0 640x480x24" bash -c "$xvfb_session" _ \
    "$root/usr/bin/quimbrel" "$shot" "$window_wait_tenths" "$running_seconds" || status=$?
  if [ "$status" -eq 0 ]; then pass "window shown, SIGTERM ended the program with exit code 0 (screenshot $shot)"
  else fail "the unpacked program under Xvfb: exit code $status"; fi
}

check_sources
build_package
check_control
check_unpacked
check_needed_libraries
run_under_xvfb
echo "packaging: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
