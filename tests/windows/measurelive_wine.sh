#!/usr/bin/env bash
# quimbrel-measure.exe --live under Wine, through winmm and Wine's PulseAudio
# driver, on a private PulseAudio server whose default source is the monitor
# of a null sink into which paplay plays a 1 kHz sine at half of full scale:
# three seconds of JSON lines read the tone at -6.02 dB; an input that is not
# there ends the run at once with one line and exit status 1; Ctrl-C ends a
# run with its report; then the server is killed while the tool captures,
# which ends the run with the report of what was measured, one line on
# standard error and exit status 1.
#
#   tests/windows/measurelive_wine.sh WINDOWS_TOOL WINEPREFIX
set -uo pipefail
tool="$1"
export WINEPREFIX="$2" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work="$(mktemp -d)"
mkdir -p "$work/home" "$work/run"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" PULSE_SERVER="unix:$work/native"
server=""
player=""
cleanup() {
  [ -n "$player" ] && kill "$player" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

cat > "$work/server.pa" <<PA
load-module module-native-protocol-unix socket=$work/native auth-anonymous=1
load-module module-null-sink sink_name=quiet rate=44100 channels=2 format=s16le
set-default-sink quiet
set-default-source quiet.monitor
PA
sox -V1 -r 44100 -n -b 16 -c 2 -D "$work/tone.wav" synth 600 sine 1000 gain -6.0206

pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
  --log-target=file:"$work/server.log" -F "$work/server.pa" </dev/null >"$work/server.out" 2>&1 &
server=$!
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.2; done
paplay --device=quiet "$work/tone.wav" </dev/null >/dev/null 2>&1 &
player=$!

failures=0
# Lines from the ALSA library are Wine's ALSA driver looking for cards on this
# machine before it settles on PulseAudio, not the program's.
errors() { grep -v '^ALSA lib ' "$1" || true; }

status=0
wine "$tool" --live --seconds 3 --json >"$work/tone.out" 2>"$work/tone.err" </dev/null || status=$?
levels="$(python3 - "$work/tone.out" <<'PY'
import json, sys
lines = open(sys.argv[1]).read().splitlines()
blocks = [json.loads(line) for line in lines[:-1]]
report = json.loads(lines[-1])["files"][0]
steady = blocks[5:]
print(len(blocks), min(b["left_db"] for b in steady), max(b["right_db"] for b in steady),
      report["left"]["max_db"])
PY
)" || levels="unreadable"
echo "--live --seconds 3 --json: exit status $status; blocks, lowest left, highest right, max: $levels"
read -r count low high _ <<<"$levels"
if [ "$status" != 0 ] || [ "$count" != 30 ] || ! awk -v l="$low" -v h="$high" 'BEGIN { exit !(l > -6.1 && h < -5.95) }'; then
  echo "FAIL: the tone was not read at -6.02 dB for 3 s"; errors "$work/tone.err"; failures=$((failures + 1))
fi

status=0
wine "$tool" --live --input "No such input" >/dev/null 2>"$work/missing.all" </dev/null || status=$?
errors "$work/missing.all" >"$work/missing.err"
echo "--live --input \"No such input\": exit status $status, then: $(cat "$work/missing.err")"
if [ "$status" != 1 ] || [ "$(wc -l <"$work/missing.err")" != 1 ] || ! grep -q "^quimbrel-measure: No such input: cannot be opened" "$work/missing.err"; then
  echo "FAIL: a missing input was not one line and exit status 1"; failures=$((failures + 1))
fi

# Ctrl-C: Wine hands the console program SIGINT as CTRL_C_EVENT.
status=0
wine "$tool" --live >"$work/stop.out" 2>/dev/null </dev/null &
tool_pid=$!
for _ in $(seq 300); do grep -q " s  left" "$work/stop.out" 2>/dev/null && break; sleep 0.1; done
kill -INT "$tool_pid"
wait "$tool_pid" || status=$?
# The program itself may still be closing its capture stream after its
# launcher has gone; the next run starts once every process of the prefix has ended.
wineserver -w
echo "Ctrl-C while capturing: exit status $status"
if [ "$status" != 0 ] || ! grep -q "marks, against" "$work/stop.out"; then
  echo "FAIL: Ctrl-C did not end the run with its report"; failures=$((failures + 1))
fi

status=0
wine "$tool" --live >"$work/loss.out" 2>"$work/loss.all" </dev/null &
tool_pid=$!
# Killed once blocks come.
for _ in $(seq 300); do grep -q "time_s\| s  left" "$work/loss.out" 2>/dev/null && break; sleep 0.1; done
sleep 1
kill "$server"; server=""
wait "$tool_pid" || status=$?
errors "$work/loss.all" >"$work/loss.err"
echo "server killed while capturing: exit status $status, $(grep -c ' s  left' "$work/loss.out") blocks, then: $(cat "$work/loss.err")"
if [ "$status" != 1 ] || [ "$(wc -l <"$work/loss.err")" != 1 ] || ! grep -q "lost while capturing" "$work/loss.err" ||
   ! grep -q "marks, against" "$work/loss.out"; then
  echo "FAIL: a lost input did not end the run with its report, one line and exit status 1"; failures=$((failures + 1))
fi
exit $((failures > 0))
