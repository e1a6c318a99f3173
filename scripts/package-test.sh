#!/usr/bin/env bash
# Checks the desktop integration and the Debian package of a finished build:
# validates the desktop entry, the AppStream data, the manual pages and the
# icons; builds the .deb with CPack; has lintian check it (no error, no
# warning); checks that its dependencies can be met; unpacks it into a scratch
# root; and starts the unpacked program once under Xvfb and once on a headless
# Wayland compositor, capturing a tone from a file, then ends it with SIGTERM
# and expects exit code 0.
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
captured_bytes=176400    # a second of 16-bit stereo at 44.1 kHz: proof that the program captures
bar_pixels=1000          # pixels of the bars' pale yellow in a screenshot of a meter at -6 dB
wayland_socket="quimbrel-package-test"
scratch="$(mktemp -d)"
weston_pid=""
trap 'stop_weston; rm -rf "$scratch"' EXIT

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

# groff reports problems in a manual page (compressed or not) on standard
# error; there must be none.
check_manual_page() {
  local page="$1" warnings
  warnings="$(zcat -f "$page" | groff -man -Tutf8 -ww -z 2>&1)" || warnings="${warnings:-unreadable}"
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

# The package's version is the project's, and the AppStream data and the
# changelog name it as a release.
check_control() {
  local version
  version="$(dpkg-deb -f "$deb" Version)"
  [ "$(dpkg-deb -f "$deb" Package)" = "quimbrel" ] && pass "package name quimbrel" || fail "package name"
  grep -q "<release version=\"$version\"" "$here/packaging/$app_id.metainfo.xml" \
    && pass "metainfo lists release $version" \
    || fail "metainfo has no <release version=\"$version\">: add the release"
  [ "$(dpkg-parsechangelog -l "$here/packaging/changelog" -S Version)" = "$version" ] \
    && pass "changelog begins with release $version" \
    || fail "packaging/changelog does not begin with $version: add the release"
  if apt-get install --simulate --no-install-recommends "$deb" >"$scratch/apt.log" 2>&1 \
     && grep -q '^Inst quimbrel ' "$scratch/apt.log"; then
    pass "apt can install the package with its dependencies"
  else
    cat "$scratch/apt.log"; fail "apt cannot install $deb"
  fi
}

# Debian's own checker: an error or a warning fails. An informational or
# pedantic tag may be overridden, with the reason, in packaging/.
check_lintian() {
  echo "== lintian"
  local status=0
  lintian --info --pedantic --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 || status=$?
  grep -v '^running with root privileges' "$scratch/lintian.log" || true
  if [ "$status" -eq 0 ]; then pass "lintian: no error, no warning"
  else fail "lintian: errors or warnings for $(basename "$deb") (status $status)"; fi
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
  check_manual_page "$share/man/man1/quimbrel.1.gz"
  if [ -e "$usr/bin/quimbrel-measure" ]; then
    check_manual_page "$share/man/man1/quimbrel-measure.1.gz"
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

# Makes CONF an ALSA configuration whose default device is a file PCM that
# plays a 1 kHz tone at half of full scale (about -6 dB), so that the input
# opens without a sound card.
make_tone_input() {
  local conf="$1" raw="$scratch/tone.raw"
  [ -f "$raw" ] || sox -n -r 44100 -c 2 -b 16 -e signed-integer -t raw "$raw" synth "$capture_seconds" sine 1000 vol 0.5
  printf 'pcm.!default {\n type file\n slave.pcm { type null }\n file "/dev/null"\n infile "%s"\n format "raw"\n}\n' \
    "$raw" >"$conf"
}

run_under_xvfb() {
  echo "== Starting the unpacked program under Xvfb"
  local conf="$scratch/asound.conf" shot="$build/package-test-screenshot.png"
  make_tone_input "$conf"
  local status=0 runtime="$scratch/runtime"
  mkdir -m 700 "$runtime"
  env -u QUIMBREL_INPUT -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY \
    ALSA_CONFIG_PATH="$conf" XDG_RUNTIME_DIR="$runtime" \
    xvfb-run -a -s "-screen 0 640x480x24" bash -c "$xvfb_session" _ \
    "$root/usr/bin/quimbrel" "$shot" "$window_wait_tenths" "$running_seconds" || status=$?
  if [ "$status" -eq 0 ]; then pass "window shown, SIGTERM ended the program with exit code 0 (screenshot $shot)"
  else fail "the unpacked program under Xvfb: exit code $status"; fi
}

# Pixels of the colour COLOUR (#RRGGBB) in the picture FILE.
count_pixels() {
  convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -colorspace gray \
    -format '%[fx:round(mean*w*h)]' info:
}

# weston's headless backend in the private runtime folder RUNTIME, with the
# pixman renderer, whose screenshooter (allowed by --debug) reads the picture back.
start_weston() {
  local runtime="$1"
  env XDG_RUNTIME_DIR="$runtime" XDG_CONFIG_HOME="$runtime" weston --backend=headless-backend.so \
    --socket="$wayland_socket" --idle-time=0 --use-pixman --debug --width=800 --height=600 \
    --log="$scratch/weston.log" </dev/null >/dev/null 2>&1 &
  weston_pid=$!
  for ((i = 0; i < window_wait_tenths; i++)); do
    [ -S "$runtime/$wayland_socket" ] && return 0
    kill -0 "$weston_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

stop_weston() {
  [ -n "${weston_pid:-}" ] || return 0
  kill -TERM "$weston_pid" 2>/dev/null || true
  wait "$weston_pid" 2>/dev/null || true
  weston_pid=""
}

# Waits up to the window's wait for PID to end; its exit status, or 124.
wait_for_exit() {
  local pid="$1" status=0
  for ((i = 0; i < window_wait_tenths; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"; wait "$pid" 2>/dev/null; return 124
  fi
  wait "$pid" || status=$?
  return "$status"
}

# The program as a native Wayland client: Qt's wayland platform and nothing
# else. Its window shows the tone's level on the bars (pale yellow) with the
# lamp lit (lime) only when it opened the input and measured what it read.
run_on_wayland() {
  echo "== Starting the unpacked program on a headless Wayland compositor"
  local runtime="$scratch/wayland-runtime" conf="$scratch/asound.conf" shots="$scratch/shots"
  local shot="$build/package-test-wayland.png" status=0 bars lamp
  mkdir -m 700 "$runtime" && mkdir "$shots"
  make_tone_input "$conf"
  if ! start_weston "$runtime"; then
    fail "weston's headless backend did not start: $(tail -n 3 "$scratch/weston.log" 2>/dev/null)"; return
  fi
  env -u DISPLAY -u QUIMBREL_INPUT QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="$wayland_socket" \
    XDG_RUNTIME_DIR="$runtime" ALSA_CONFIG_PATH="$conf" "$root/usr/bin/quimbrel" \
    >"$scratch/wayland-program.log" 2>&1 &
  local pid=$!
  sleep "$running_seconds"
  (cd "$shots" && env WAYLAND_DISPLAY="$wayland_socket" XDG_RUNTIME_DIR="$runtime" weston-screenshooter) || true
  mv "$shots"/*.png "$shot" 2>/dev/null || true
  if [ -f "$shot" ]; then
    bars="$(count_pixels "$shot" '#FFFFC0')" lamp="$(count_pixels "$shot" '#00FF00')"
    [ "$bars" -ge "$bar_pixels" ] && [ "$lamp" -gt 0 ] \
      && pass "on Wayland the window shows the tone on its bars and the lamp lit ($shot)" \
      || fail "on Wayland: $bars bar pixels, $lamp lamp pixels in $shot"
  else
    fail "weston took no screenshot"
  fi
  kill -TERM "$pid" 2>/dev/null || true
  wait_for_exit "$pid" || status=$?
  stop_weston
  if [ "$status" -eq 0 ]; then pass "on Wayland SIGTERM ended the program with exit code 0"
  else fail "on Wayland the program ended with $status: $(tail -n 5 "$scratch/wayland-program.log")"; fi
}

check_sources
build_package
check_control
check_lintian
check_unpacked
check_needed_libraries
run_under_xvfb
run_on_wayland
echo "packaging: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
