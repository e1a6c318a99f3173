#!/usr/bin/env bash
# quimbrel.exe's Recording level dialog under Wine, on a desktop (Xvfb with
# Openbox), with a private PulseAudio server whose default source is the
# monitor of a null sink into which paplay plays a 1 kHz tone at -1 dBFS.
# Wine's capture endpoint volume keeps the level it is given but does not
# reach the server, so Set level cannot end at the mark here
# (levelsetting_wine_check.sh checks the search over winmm capture); this
# checks the dialog over the endpoint's volume, read on screenshots' pixels:
#  - Input, Recording level... is offered and opens the dialog;
#  - the slider shows the endpoint's level (Wine's starts at its 0 dB, the
#    top of the range) and moves it (End, then Page Up twice: -20 dB);
#  - Set level moves the slider, and Cancel after 7 s puts it back where it
#    was, and writes the outcome in the status line;
#  - the dialog closed while Set level runs: opened again, the slider is back
#    where it was.
# Usage: tests/windows/recordinglevel_wine_check.sh QUIMBREL_EXE [SCREENSHOT_PNG]
# QUIMBREL_WINEPREFIX names a Wine prefix to use (made when missing);
# otherwise a fresh one is made in the scratch folder.
set -uo pipefail
exe="$(realpath "${1:?usage: recordinglevel_wine_check.sh QUIMBREL_EXE [SCREENSHOT_PNG]}")"
screenshot_out="${2:-}"

source "$(dirname "$0")/winecheck.sh"
wine_check_begin wine-level "the Recording level dialog"

# The dialog's client area (RecordingLevelForm.qfm): a row that crosses only
# the slider's thumb, the slider's columns, Set level's and Close's middles,
# the status line.
# (inside the focus rectangle's dots)
readonly thumb_row=68 track_left=12 track_width=281
readonly set_x=259 set_y=128 close_x=259 close_y=212
readonly status_left=8 status_top=164 status_width=289 status_height=26
readonly face=240 # the dialog's grey
start_desktop

cat > "$work/server.pa" << PA
load-module module-native-protocol-unix socket=$work/native auth-anonymous=1
load-module module-null-sink sink_name=receiver rate=44100 channels=2 format=s16le
set-default-source receiver.monitor
PA
sox -D -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 300 sine 1000 gain -1
start_sound_server || exit 1
play receiver "$work/tone.wav"
make_prefix

dialog_shot() { import -window "$dialog" "$work/dialog.png" 2> /dev/null; }
# The slider thumb's first column within the track, or "none".
thumb() {
  dialog_shot || { echo none; return; }
  convert "$work/dialog.png" -crop "${track_width}x1+${track_left}+${thumb_row}" +repage -colorspace gray -depth 8 gray:- |
    od -An -v -tu1 | tr -s ' \n' '\n' | grep . |
    awk -v face="$face" '{ if ($1 < face - 8 || $1 > face + 8) { print NR; found = 1; exit } } END { if (!found) print "none" }'
}
status_written() {
  dialog_shot && [ "$(convert "$work/dialog.png" -crop "${status_width}x${status_height}+${status_left}+${status_top}" +repage \
    -colorspace gray -format "%[fx:minima < 0.4]" info:)" = 1 ]
}
click() { xdotool mousemove --window "$dialog" "$1" "$2" click 1; }
open_dialog() {
  xdotool windowactivate --sync "$main" 2> /dev/null
  xdotool key --clearmodifiers alt+i
  sleep 0.5
  xdotool key r # Recording level...
  within 10 window_named "^Recording level$" && dialog="$found"
}

wine "$exe" > "$work/program.log" 2>&1 &
pid=$!
within 60 window_named "^Quimbrel" || { echo "FAIL: no window appeared"; cat "$work/program.log"; exit 1; }
main="$found"
sleep 3 # the input starts by itself

if open_dialog; then
  pass "Input, Recording level... opens the dialog"
else
  echo "FAIL: Input, Recording level... opened no dialog"
  exit 1
fi
sleep 1
top="$(thumb)"
if [ "$top" != none ] && (( top > track_width - 30 )); then
  pass "the slider shows the endpoint's level: its top (thumb at column $top)"
else
  fail "the slider's thumb is at column $top, not at the endpoint's 0 dB"
fi
click "$((track_left + top + 5))" "$thumb_row" # the thumb takes the keys
xdotool key End Prior Prior
sleep 0.5
set="$(thumb)"
if [ "$set" != none ] && (( set < top - 20 )); then
  pass "End, Page Up twice: the thumb at column $set"
else
  fail "the slider did not move down (thumb at column $set)"
fi
[ -n "$screenshot_out" ] && import -window "$dialog" -frame +dither -colors 64 -depth 8 -strip "$screenshot_out" 2> /dev/null

click "$set_x" "$set_y"
sleep 7
moving="$(thumb)"
[ "$moving" != "$set" ] && pass "Set level moves the slider (thumb at column $moving)" ||
  fail "Set level did not move the slider in 7 s"
click "$set_x" "$set_y" # Cancel
sleep 1
after="$(thumb)"
[ "$after" = "$set" ] && pass "Cancel: the slider is back at column $set" ||
  fail "after Cancel the thumb is at column $after, not back at $set"
status_written && pass "the outcome is written in the status line" || fail "the status line is empty after Cancel"

click "$set_x" "$set_y"
sleep 7
click "$close_x" "$close_y"
within 10 bash -c "! xdotool search --onlyvisible --name '^Recording level$' > /dev/null 2>&1" || fail "Close left the dialog open"
if open_dialog; then
  sleep 1
  again="$(thumb)"
  [ "$again" = "$set" ] && pass "closed while setting, opened again: the slider is back at column $set" ||
    fail "closed while setting, opened again: the thumb is at column $again, not at $set"
else
  fail "the dialog did not open again"
fi

wine_check_end
