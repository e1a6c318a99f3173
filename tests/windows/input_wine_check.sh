#!/usr/bin/env bash
# quimbrel.exe's Input menu and --input under Wine, on a desktop (Xvfb with
# Openbox), capturing from a private PulseAudio server with two null sinks:
# the default source is the monitor of "Quimbrel silence", into which nothing
# plays, and paplay plays a 1 kHz sine at half of full scale into "Quimbrel
# tone"; two more sinks share the description "Quimbrel twin". Wine's sound
# driver lists the monitors as wave-input devices, in an order of its own.
#  - the Input menu lists "Default", then Wine's devices by their names, the
#    twins by their numbers, and marks the one in use (read from Wine's trace
#    of the menu items it is given);
#  - started on Default the bars stay low; the tone's monitor chosen with the
#    keys in the Input menu, they reach the -6.02 dB row (read on a screenshot);
#  - --input with a number opens the device in that place, --input with the
#    tone's monitor's name opens it, and the menu marks it;
#  - --input with a name that no device has: "Error 2 opening wave input - No
#    such file or directory (device NAME)", as on Linux;
#  - given WAVEINDEVICES_TEST (windows_waveindevices_test.exe), the lookup's
#    unit test runs on this server's devices too (ctest's Wine has none).
# Usage: tests/windows/input_wine_check.sh QUIMBREL_EXE [WAVEINDEVICES_TEST]
# Without Wine it says so and passes, except in CI (CI set), where it fails.
# QUIMBREL_WINEPREFIX names a Wine prefix to use (made when missing).
set -uo pipefail
exe="$(realpath "${1:?usage: input_wine_check.sh QUIMBREL_EXE [WAVEINDEVICES_TEST]}")"
lookup_test="${2:-}"

source "$(dirname "$0")/winecheck.sh"
# "menu" traces the items' texts as the program sets them.
wine_check_begin wine-input "quimbrel.exe's inputs" ",trace+menu"

readonly row_of_10dB_line=73 # the -10 dB scale line, lit whatever the level
readonly tone_device="Monitor of Quimbrel tone" silence_device="Monitor of Quimbrel silence"
readonly twin_device="Monitor of Quimbrel twin"
start_desktop

cat > "$work/server.pa" << PA
load-module module-native-protocol-unix socket=$work/native auth-anonymous=1
load-module module-null-sink sink_name=silence rate=44100 channels=2 format=s16le sink_properties=device.description="Quimbrel\\ silence"
load-module module-null-sink sink_name=tone rate=44100 channels=2 format=s16le sink_properties=device.description="Quimbrel\\ tone"
load-module module-null-sink sink_name=twin1 rate=44100 channels=2 format=s16le sink_properties=device.description="Quimbrel\\ twin"
load-module module-null-sink sink_name=twin2 rate=44100 channels=2 format=s16le sink_properties=device.description="Quimbrel\\ twin"
set-default-sink silence
set-default-source silence.monitor
PA
sox -D -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 300 sine 1000 vol 0.5
start_sound_server || exit 1
play tone "$work/tone.wav"

make_prefix

# Below -10 dB: nothing lit above the -10 dB line.
bars_low() { bars && ((left >= row_of_10dB_line && right >= row_of_10dB_line)); }

# Starts the program with the given arguments, the one before ended with the
# prefix's Wine server; its window is "main".
start() {
  if [ -n "${pid:-}" ]; then
    wineserver -k 2> /dev/null
    within 10 bash -c "! kill -0 $pid 2> /dev/null"
  fi
  wine "$exe" "$@" > "$work/program.log" 2>&1 &
  pid=$!
  disown # its end by the server's is no news
  within 60 window_named "^Quimbrel" || { fail "no window for $*"; return 1; }
  main="$found"
}
# The Input menu's items as Wine's trace shows them set, one line each:
# "check:NAME" for the one marked, ":NAME" for the others.
radio_items() {
  sed -n 's/.*set_menu_item_info to: {.*fType=radio, \(State=check, \)\{0,1\}Text=L"\([^"]*\)".*/\1:\2/p' "$work/program.log" |
    sed 's/^State=check, /check/'
}
# The devices that the menu lists, in its order, as first built.
devices() { radio_items | cut -d: -f2- | awk 'NR > 1 && $0 == "Default" { exit } { print }'; }
# The item marked last: the device in use.
marked() { radio_items | grep '^check:' | tail -n 1 | cut -d: -f2-; }
# Its place in the menu (Default is 0), or -1.
place_of() { devices | awk -v name="$1" '$0 == name { print NR - 1; found = 1 } END { if (!found) print -1 }'; }

echo "== the Input menu"
start || exit 1
within 30 bash -c "grep -q 'fType=radio' '$work/program.log'"
echo "note: the Input menu lists $(devices | sed "s/.*/'&'/" | paste -sd ' ')"
tone_place="$(place_of "$tone_device")"
if [ "$(devices | head -n 1)" = Default ] && ((tone_place > 0 && $(place_of "$silence_device") > 0)); then
  pass "the Input menu lists Default, then Wine's devices, '$silence_device' and '$tone_device' among them"
else
  fail "the Input menu does not list Default, then '$silence_device' and '$tone_device'"
fi
# Two devices of one name: each listed with its number, the name that reaches it.
twins="$(devices | awk -v name="$twin_device" '$0 ~ "^" name " \\([0-9]+\\)$" && $0 == name " (" NR - 2 ")"' | wc -l)"
[ "$twins" = 2 ] && pass "the two '$twin_device' listed by their numbers" ||
  fail "the two '$twin_device' are not listed as '$twin_device (NUMBER)' with their numbers"
[ "$(marked)" = Default ] && pass "Default marked" || fail "'$(marked)' marked, not Default"
sleep 3 && full_volume # the input has started by itself
within 10 bars_low && pass "on Default: bars low (rows $left and $right)" ||
  fail "on Default: bars at rows $left and $right, not below -10 dB"

xdotool mousemove --window "$main" "$empty_x" "$((empty_y + 20))" click 1 # the keys go to the window
xdotool key --clearmodifiers alt+i
sleep 0.5
for ((i = 0; i < tone_place; i++)); do xdotool key Down; done
xdotool key Return
sleep 1 && full_volume
within 15 bars_at_tone && pass "'$tone_device' chosen in the menu: bars at rows $left and $right" ||
  fail "'$tone_device' chosen in the menu: bars at rows $left and $right, not at the -6.02 dB row $row_of_tone"
[ "$(marked)" = "$tone_device" ] && pass "'$tone_device' marked" || fail "'$(marked)' marked, not '$tone_device'"

echo "== --input"
# Wine lists its devices in an order of its own from run to run: a number is
# checked against the device that its run lists in that place.
for input in 1 2 "$tone_device"; do
  start --input "$input" || continue
  within 30 bash -c "grep -q 'fType=radio' '$work/program.log'"
  device="$input"
  [[ "$input" =~ ^[0-9]+$ ]] && device="$(devices | sed -n "$((input + 2))p")"
  [ "$(marked)" = "$device" ] || fail "--input '$input': '$(marked)' marked, not '$device'"
  sleep 2 && full_volume
  if [ "$device" = "$tone_device" ]; then
    within 20 bars_at_tone && pass "--input '$input' ('$device'): bars at rows $left and $right" ||
      fail "--input '$input' ('$device'): bars at rows $left and $right, not at the -6.02 dB row $row_of_tone"
  else
    within 10 bars_low && pass "--input '$input' ('$device'): bars low (rows $left and $right)" ||
      fail "--input '$input' ('$device'): bars at rows $left and $right, not below -10 dB"
  fi
done
start -i "No such device" && within 20 logged "opening wave input"
expected="Error 2 opening wave input - No such file or directory (device No such device)"
logged "$expected" && pass "told: $expected" ||
  fail "for an unknown name: $(grep -o "Error [0-9]* opening wave input[^\\]*" "$work/program.log" | head -n 1)"

if [ -n "$lookup_test" ]; then
  echo "== the lookup's unit test on these devices"
  wineserver -k 2> /dev/null
  if wine "$lookup_test" > "$work/lookup.log" 2>&1 && ! grep -q SKIPPED "$work/lookup.log"; then
    pass "$(grep -o "[0-9]* tests from [0-9]* test suite ran" "$work/lookup.log"), none skipped"
  else
    fail "the lookup's unit test: $(grep -E "Failure|SKIPPED|Expected|Which is" "$work/lookup.log" | head -n 5)"
  fi
fi

wine_check_end
