#!/usr/bin/env bash
# Set level under Wine over real winmm capture (quimbrel-levelsetting-wine):
# a private PulseAudio server whose default source is the monitor of a null
# sink into which paplay plays a 1 kHz tone at -1 dBFS. The program hands each
# volume on as a line that is run at once as pactl set-source-volume.
#  - from 0 dB and from -20 dB, NOAA: the peaks are verified within 0.5 dB
#    below the mark and stay so for 8 s, the server's volume is the one
#    reported, within the setter's 30 s;
#  - cancelled after 6 s: the server's volume is back where it was.
#
#   tests/windows/levelsetting_wine_check.sh LEVELSETTING_EXE WINEPREFIX
set -uo pipefail
exe="$(realpath "$1")"
source "$(dirname "$0")/winecheck.sh"
QUIMBREL_WINEPREFIX="$2" wine_check_begin wine-levelsetting "Set level"

readonly source=receiver.monitor mark_db=-3.0 tolerance_db=0.5 limit_ms=30000
cat > "$work/server.pa" << PA
load-module module-native-protocol-unix socket=$work/native auth-anonymous=1
load-module module-null-sink sink_name=receiver rate=44100 channels=2 format=s16le
set-default-source $source
PA
sox -V1 -r 44100 -n -b 16 -c 2 -D "$work/tone.wav" synth 600 sine 1000 gain -1
start_sound_server || exit 1
play receiver "$work/tone.wav"
make_prefix

# Runs the setter: MARK START_DB [STOP_AFTER_SECONDS]; its lines other than
# the volumes go to $work/out.
run() {
  wine "$exe" default "$source" "$@" 2> "$work/err" < /dev/null | while read -r word rest; do
    rest="${rest%$'\r'}" # standard output in text mode ends its lines with CR LF
    if [ "$word" = set-source-volume ]; then
      # shellcheck disable=SC2086 # the source and one raw volume per channel
      pactl set-source-volume $rest
    else
      echo "$word $rest"
    fi
  done > "$work/out"
  grep -v '^ALSA lib ' "$work/err"
}
field() { sed -n "s/^\(.* \)\{0,1\}$1 \([-0-9.]*\).*/\2/p" "$work/out"; }
# The server's volume of each channel in dB, "L R".
server_db() { pactl get-source-volume "$source" | grep -o '[-0-9.inf]* dB' | cut -d' ' -f1 | head -n 2 | tr '\n' ' '; }

for start in 0 -20; do
  run NOAA "$start"
  result="$(sed -n 's/^result //p' "$work/out")"
  peaks="$(sed -n 's/.*peaks at \([-0-9.]*\) dB.*/\1/p' <<< "$result")"
  volume="$(field volume_db)" after="$(field after_db)" elapsed="$(field elapsed_ms)"
  read -r left right <<< "$(server_db)"
  echo "from $start dB: $result; $(field steps) steps in ${elapsed:-?} ms; 8 s after: ${after:-?} dB; server at $left / $right dB"
  [ "$(field succeeded)" = 1 ] || fail "from $start dB the level was not set"
  awk -v p="${peaks:-9}" -v a="${after:-9}" -v m="$mark_db" -v t="$tolerance_db" \
    'BEGIN { exit !(p <= m && p >= m - t && a <= m && a >= m - t) }' ||
    fail "from $start dB: peaks ${peaks:-?} dB, then ${after:-?} dB, not within $tolerance_db dB below $mark_db dB"
  awk -v v="${volume:-9}" -v l="${left:-9}" -v r="${right:-9}" 'BEGIN { exit !(v - l < 0.05 && l - v < 0.05 && l == r) }' ||
    fail "from $start dB: the server is at $left / $right dB, not at the volume set, ${volume:-?} dB"
  (( ${elapsed:-limit_ms+1} <= limit_ms )) || fail "from $start dB it took ${elapsed:-?} ms"
done

run NOAA -20 6
read -r left right <<< "$(server_db)"
echo "cancelled after 6 s from -20 dB: $(sed -n 's/^result //p' "$work/out"); server at $left / $right dB"
grep -q "^result Cancelled; the volume is back where it was.$" "$work/out" || fail "the cancel was not told"
[ "$left" = -20.00 ] && [ "$right" = -20.00 ] || fail "the server is at $left / $right dB, not back at -20 dB"

[ "$failures" = 0 ] && echo "Set level under Wine: all checks passed"
exit $((failures > 0))
