#!/usr/bin/env bash
# quimbrel.exe as a Windows user sees it, under Wine on a desktop (Xvfb with
# Openbox), capturing from a private PulseAudio server (Wine's sound driver
# talks to PulseAudio) whose default source is the monitor of a null sink
# into which paplay plays a 1 kHz sine at half of full scale:
#  - the window's client area is 265 x 351 below its menu bar, as on Linux;
#  - once the input has started by itself the LED is lit and both bars
#    reach the -6.02 dB row, read on a screenshot's pixels;
#  - the caption carries the version (when the .exe has a version resource,
#    the version given as VERSION);
#  - the server killed while capturing: "Error N reading wave input - ...",
#    the LED dark and the bars down (Stopped), and, with the server back,
#    one press of Start lights the LED and raises the bars again;
#  - File, Open... of a WAV file runs to its end and opens "File levels - NAME".
# Usage: tests/windows/window_wine_check.sh QUIMBREL_EXE [VERSION] [SCREENSHOT_PNG]
# Without Wine it says so and passes, except in CI (CI set), where it fails.
# QUIMBREL_WINEPREFIX names a Wine prefix to use (made when missing);
# otherwise a fresh one is made in the scratch folder (about 30 s). What the
# program tells the user in message boxes is read from the debugger's log
# (OutputDebugString), which Wine writes to standard error.
set -uo pipefail
exe="$(realpath "${1:?usage: window_wine_check.sh QUIMBREL_EXE [VERSION] [SCREENSHOT_PNG]}")"
version="${2:-}"
screenshot_out="${3:-}"

source "$(dirname "$0")/winecheck.sh"
wine_check_begin wine "quimbrel.exe"

readonly led_x=135 led_y=283                # the LED's middle
readonly start_x=212 start_y=284            # the middle of Start

start_desktop

# The sound server and its tone.
cat > "$work/server.pa" << PA
load-module module-native-protocol-unix socket=$work/native auth-anonymous=1
load-module module-null-sink sink_name=receiver rate=44100 channels=2 format=s16le
set-default-source receiver.monitor
PA
sox -D -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 300 sine 1000 vol 0.5
sox -D -n -r 44100 -c 2 -b 16 "$work/pass.wav" synth 3 sine 1000 vol 0.5
start_server() { start_sound_server && play receiver "$work/tone.wav"; }
kill_server() {
  kill -KILL "$(cat "$work/server.pid")" "$(cat "$work/player.pid")" 2> /dev/null
  within 10 bash -c "! kill -0 $(cat "$work/server.pid") 2> /dev/null"
}
start_server || exit 1

make_prefix

led_lit() { shot && [ "$(measure $((led_x - 2)) $((led_y - 2)) 5 5 "mean.g > 0.8 && mean.r < 0.5")" = 1 ]; }
led_dark() { shot && [ "$(measure $((led_x - 2)) $((led_y - 2)) 5 5 "mean.g < 0.6")" = 1 ]; }
# Between 0 dB and the -10 dB line, where no scale line is drawn.
bars_down() { shot && [ "$(measure $((meter_left + 4)) $((meter_top + 30)) 32 30 "maxima < 0.6")" = 1 ]; }
# Presses Return in the message box (its caption is the program's name) until it has gone.
close_message_box() {
  for _ in 1 2 3 4 5; do
    window_named "^quimbrel$" || return 0
    xdotool windowactivate --sync "$found" 2> /dev/null
    xdotool key Return
    sleep 0.5
  done
  ! window_named "^quimbrel$"
}
# A click at a point of the client area.
click() { xdotool mousemove --window "$main" "$1" "$((HEIGHT - client_height + $2))" click 1; }

echo "== start-up"
windows_path="$(winepath -w "$work/pass.wav" 2> /dev/null)"
wine "$exe" "$windows_path" > "$work/program.log" 2>&1 &
pid=$!
if ! within 60 window_named "^Quimbrel"; then
  echo "FAIL: no window appeared; the program's output:"
  cat "$work/program.log"
  exit 1
fi
main="$found"
eval "$(xdotool getwindowgeometry --shell "$main")"
if [ "$WIDTH" = "$client_width" ] && (( HEIGHT > client_height && HEIGHT <= client_height + 40 )); then
  pass "window ${WIDTH} x ${HEIGHT}: client area ${client_width} x ${client_height} below the menu bar"
else
  fail "window is ${WIDTH} x ${HEIGHT}, not ${client_width} wide with ${client_height} below a menu bar"
fi
caption="$(xdotool getwindowname "$main")"
if command -v wrestool > /dev/null && wrestool -l --type=16 "$exe" 2> /dev/null | grep -q .; then
  [ "$caption" = "Quimbrel - V$version - Tamsvik" ] && pass "caption '$caption'" ||
    fail "caption '$caption', not 'Quimbrel - V$version - Tamsvik'"
else
  echo "note: quimbrel.exe has no version resource (or wrestool is missing): caption '$caption' not checked for a version"
  [[ "$caption" == "Quimbrel - V"*" - Tamsvik" ]] || fail "caption '$caption'"
fi
within 30 led_lit && pass "LED lit" || fail "the LED is not lit: the input did not start"
# Wine's capture stream in a newly made prefix can start below full volume on
# the server (seen once in a fresh prefix: the bars 4 dB low until the stream
# was opened again). The meter is checked against the tone itself.
full_volume
if within 15 bars_at_tone; then
  pass "bars at rows $left and $right: the -6.02 dB row is $row_of_tone"
else
  # Seen once in four runs, with a prefix that another check had just used:
  # both bars 4 dB low for as long as the first stream ran, and right after
  # the input was opened again. Noted, and checked once more after Stop and
  # Start; a second miss fails.
  echo "note: bars at rows $left and $right after start-up, not at row $row_of_tone; Stop and Start"
  click "$start_x" "$start_y"
  within 10 led_dark
  click "$start_x" "$start_y"
  within 10 led_lit && within 15 bars_at_tone &&
    pass "bars at rows $left and $right after Stop and Start: the -6.02 dB row is $row_of_tone" ||
    fail "bars at rows $left and $right, not at the -6.02 dB row $row_of_tone"
fi
[ -n "$screenshot_out" ] && import -window "$main" -frame "$screenshot_out" 2> /dev/null

echo "== the sound server killed while capturing"
kill_server
if within 20 logged "reading wave input"; then
  pass "told: $(grep -o "Error [0-9]* reading wave input[^\\]*" "$work/program.log" | head -n 1)"
else
  fail "no message about the lost input"
fi
within 5 window_named "^quimbrel$" || fail "no message box"
close_message_box || fail "the message box stayed"
within 10 led_dark && pass "LED dark" || fail "the LED is still lit"
within 10 bars_down && pass "bars down" || fail "the bars did not fall"
start_server
restored() { within 10 led_lit && within 10 bars_at_tone; }
sleep 3 # as a person would: the server answers, then Start
click "$start_x" "$start_y"
if restored; then
  pass "one Start: the LED lit and the bars at the tone again"
else
  # Wine's PulseAudio driver does not always reconnect for the first open
  # after its server came back; the input is then lost again, and told so.
  close_message_box
  echo "note: the first Start after the server came back did not capture under Wine; pressing Start again"
  click "$start_x" "$start_y"
  restored && pass "a second Start: the LED lit and the bars at the tone again" ||
    fail "Start did not restore the input (bars at rows ${left:-?} and ${right:-?})"
fi
close_message_box

echo "== File, Open..."
click "$empty_x" "$empty_y" # the keys go to the window
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key Return # Open...
if within 20 window_named "^Open$"; then
  xdotool windowactivate --sync "$found" 2> /dev/null
  sleep 1.5 # the dialog fills its list and selects the name
  xdotool key Return # the file named on the command line
  if within 30 window_named "^File levels - pass.wav$"; then
    pass "the run ended with 'File levels - pass.wav'"
  else
    fail "no 'File levels - pass.wav' window (windows shown: $(xdotool search --onlyvisible --name . getwindowname %@ 2> /dev/null | tr '\n' ','))"
  fi
else
  fail "no Open dialog"
fi

if logged "Error [0-9]* opening"; then
  fail "unexpected message: $(grep -o "Error [0-9]* opening[^\\]*" "$work/program.log" | head -n 1)"
fi
wine_check_end
