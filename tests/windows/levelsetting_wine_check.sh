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
export WINEPREFIX="$(realpath -m "$2")" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if ! command -v wine > /dev/null; then
  [ -n "${CI:-}" ] && { echo "FAIL: wine is missing (scripts/deps.sh installs it)"; exit 1; }
  echo "SKIP: wine is missing, so Set level is not checked under Wine"
  exit 0
fi
work="$(mktemp -d)"
mkdir -p "$work/home" "$work/run" && chmod 700 "$work/run"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" PULSE_SERVER="unix:$work/native"
server=""
player=""
cleanup() {
  [ -n "$player" ] && kill "$player" 2> /dev/null
  [ -n "$server" ] && kill "$server" 2> /dev/null
  wineserver -k 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT

readonly source=receiver.monitor mark_db=-3.0 tolerance_db=0.5 limit_ms=30000
cat > "$work/server.pa" << PA
load-module module-native-protocol-unix socket=$work/native auth-anonymous=1
load-module module-null-sink sink_name=receiver rate=44100 channels=2 format=s16le
set-default-source $source
PA
sox -V1 -r 44100 -n -b 16 -c 2 -D "$work/tone.wav" synth 600 sine 1000 gain -1
pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
  -F "$work/server.pa" < /dev/null > "$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do pactl info > /dev/null 2>&1 && break; sleep 0.2; done
paplay --device=receiver "$work/tone.wav" < /dev/null > /dev/null 2>&1 &
player=$!
[ -e "$WINEPREFIX/system.reg" ] || { wineboot -i > /dev/null 2>&1; wineserver -w; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

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
