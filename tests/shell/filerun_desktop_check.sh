#!/usr/bin/env bash
# The real program on a desktop (Xvfb with Openbox), driven with keys as a
# person drives it: File, Open... on a 10-minute recording, then the run is
# ended twice, once by Escape (the window stays, Stopped, with Start enabled
# and no levels window) and once by closing the window (the process is gone
# within a second, with exit code 0).
# Usage: tests/shell/filerun_desktop_check.sh QUIMBREL_EXECUTABLE
set -euo pipefail
exe="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

recording_seconds=600 # the file run's recording: a 440 Hz tone at half of full scale
sox -n -r 44100 -c 2 -b 16 "$work/pass.wav" synth "$recording_seconds" sine 440 vol 0.5
# The live input, which starts by itself, reads a short tone from a file device.
sox -n -r 44100 -c 2 -b 16 -e signed-integer -t raw "$work/capture.raw" synth 10 sine 1000 vol 0.5
printf 'pcm.!default {\n type file\n slave.pcm { type null }\n file "/dev/null"\n infile "%s"\n format "raw"\n}\n' \
  "$work/capture.raw" >"$work/asound.conf"
mkdir -m 700 "$work/runtime"

session='
set -euo pipefail
exe="$1" wav="$2" work="$3"
client_height=351  # the main window below its menu bar
close_limit_ms=1000
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs a check every 0.1 s until it holds, for at most the given tenths.
within() {
  local tenths="$1"; shift
  for ((i = 0; i < tenths; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}

# A grey-level measure (ImageMagick fx) of a rectangle of the client area.
measure() {
  local x="$1" y="$2" w="$3" h="$4" fx="$5" height
  import -window "$wid" "$work/shot.png" 2>/dev/null || return 1
  height="$(identify -format %h "$work/shot.png")"
  convert "$work/shot.png" -crop "${w}x${h}+${x}+$((height - client_height + y))" +repage -colorspace gray \
    -format "%[fx:$fx]" info:
}
progress_shown() { [ "$(measure 16 320 113 17 "standard_deviation > 0.02")" = 1 ]; }
progress_hidden() { [ "$(measure 16 320 113 17 "standard_deviation < 0.001")" = 1 ]; }
# The caption of Start: black when enabled, the style`s grey when disabled.
start_enabled() { [ "$(measure 186 279 53 11 "minima < 0.25")" = 1 ]; }
start_disabled() { [ "$(measure 186 279 53 11 "minima > 0.4")" = 1 ]; }
running() { [ -r "/proc/$pid/stat" ] && [ "$(cut -d" " -f3 "/proc/$pid/stat")" != Z ]; }
main_window_shown() { wid="$(xdotool search --onlyvisible --name "^Quimbrel" 2>/dev/null | head -n 1)"; [ -n "$wid" ]; }
active_is_main() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$wid" ]; }
active_is_other() { [ "$(xdotool getactivewindow 2>/dev/null)" != "$wid" ]; }

# Starts the program with the recording named on the command line (it fills
# the Open dialog) and starts the file run: File, Open..., then Enter.
start_file_run() {
  "$exe" "$wav" & pid=$!
  within 100 main_window_shown || { fail "no window appeared"; return 1; }
  xdotool windowactivate --sync "$wid"
  sleep 0.5 # the live input has started by itself
  xdotool key --clearmodifiers alt+f
  sleep 0.3
  xdotool key Return
  within 50 active_is_other || { fail "no Open dialog"; return 1; }
  sleep 0.3
  xdotool key Return
  within 50 active_is_main || { fail "the Open dialog did not close"; return 1; }
  within 50 progress_shown || { fail "no progress bar: the run did not start"; return 1; }
  start_disabled || fail "Start does not look disabled during the run"
}

openbox >/dev/null 2>&1 &
sleep 1

echo "== Escape during a file run"
if start_file_run; then
  xdotool key Escape
  within 50 progress_hidden || fail "the run went on after Escape"
  running && [ -n "$(xdotool search --onlyvisible --name "^Quimbrel" 2>/dev/null)" ] \
    || fail "the window closed on Escape"
  within 20 start_enabled || fail "Start does not look enabled after Escape"
  sleep 0.5
  [ -z "$(xdotool search --onlyvisible --name "^File levels" 2>/dev/null)" ] \
    || fail "a levels window appeared after a cancelled run"
fi
# SIGTERM closes the window as a person would; a program that runs on is killed.
kill -TERM "$pid" 2>/dev/null || true
within 100 eval "! running" || kill -KILL "$pid"
wait "$pid" || true

echo "== Closing the window during a file run"
if start_file_run; then
  sleep 0.5
  started="$(date +%s%N)"
  wmctrl -ic "$wid"
  for ((i = 0; i < 1000; i++)); do running || break; sleep 0.01; done # 10 s at most
  elapsed_ms=$((($(date +%s%N) - started) / 1000000))
  if running; then
    fail "the program still runs 10 s after its window was closed"
    kill -KILL "$pid"
  else
    echo "closed during the run: the process ended after $elapsed_ms ms"
    [ "$elapsed_ms" -le "$close_limit_ms" ] || fail "the process took $elapsed_ms ms to end"
  fi
  status=0
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "exit code $status after closing the window"
fi
exit "$failures"
'

env -u QUIMBREL_INPUT -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY \
  ALSA_CONFIG_PATH="$work/asound.conf" XDG_RUNTIME_DIR="$work/runtime" \
  xvfb-run -a -s "-screen 0 800x600x24" bash -c "$session" _ "$exe" "$work/pass.wav" "$work"
