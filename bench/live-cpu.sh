#!/usr/bin/env bash
# Quimbrel against pavumeter (PulseAudio's volume meter), each metering the
# same live source: a private PulseAudio server plays a 1 kHz sine into a null
# sink whose monitor (16-bit stereo, 44.1 kHz) is the default source. Each
# program runs under Xvfb, alternately RUNS times; for each run the script
# prints the time from launch to the window being mapped, the average CPU in %
# of one core over WINDOW seconds after that (utime + stime from
# /proc/PID/stat), and the resident memory at the end (VmRSS) with its peak
# (VmHWM); then the medians. Start-up times vary most on a busy machine, so
# LAUNCHES further alternate launches of each (no measuring window) add to
# the launch-to-map median. Numbers only; nothing is asserted.
#
#   bench/live-cpu.sh [RUNS] [WINDOW] [LAUNCHES]   (defaults 3, 30 and 10; as root or with sudo)
#
# QUIMBREL=path overrides the program (default: build/shell/quimbrel, built
# RelWithDebInfo if missing). Installs the Debian packages it needs.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-3}"
window_s="${2:-30}"
launches="${3:-10}"
# shellcheck source=scripts/deps.sh
source "$here/scripts/deps.sh"
quimbrel_install_packages "${QUIMBREL_PACKAGES[@]}" pulseaudio pulseaudio-utils libasound2-plugins \
  pavumeter xdotool x11-utils xvfb

quimbrel="${QUIMBREL:-}"
if [ -z "$quimbrel" ]; then
  build="$here/build"
  [ -f "$build/CMakeCache.txt" ] || cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --target quimbrel >/dev/null
  quimbrel="$build/shell/quimbrel"
fi

work="$(mktemp -d)"
pids=()
cleanup() { # last started first
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The private sound server: a null sink at 16-bit stereo 44.1 kHz with a 1 kHz
# sine playing into it; its monitor becomes the default source.
export XDG_RUNTIME_DIR="$work" HOME="$work"
export PULSE_SERVER="unix:$work/pulse-native"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse-native" \
  -L "module-null-sink sink_name=tone format=s16le rate=44100 channels=2" \
  -L "module-sine sink=tone frequency=1000" >"$work/pulse.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink tone
pactl set-default-source tone.monitor
source_spec=$(pactl list short sources | awk '$2 == "tone.monitor" { print $4, $5, $6 }')

# Quimbrel reaches the server through ALSA's pulse plugin.
printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' >"$work/alsa.conf"
export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$work/alsa.conf"

Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=":$(cat "$work/display")"
export DISPLAY
export QT_QPA_PLATFORM=xcb
unset QUIMBREL_INPUT

clock_ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; } # utime + stime, all threads
status_kib() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }
now_us() { local t=$EPOCHREALTIME; echo "${t/./}"; }

# Top-level windows being mapped, as the X server reports them (no window
# manager: they are children of the root window). Waiting on these events
# times a start-up more finely than polling, whose every look costs
# milliseconds on a busy machine.
coproc WATCH { exec stdbuf -oL xev -root -event substructure; }
pids+=("$WATCH_PID")
sleep 0.5 # until it listens

# Launches a program and waits until the X server maps a top-level window of
# it (its _NET_WM_PID, checked after the time is taken); leaves its pid in
# $launched and the launch-to-map time in milliseconds in $map_ms. Returns 1
# if the program ends before that.
launch_once() {
  local start end line window
  while read -r -t 0.01 line <&"${WATCH[0]}"; do :; done # events of earlier runs
  start=$(now_us)
  "$@" >"$work/program.log" 2>&1 &
  launched=$!
  for (( ; ; )); do
    if ! read -r -t 0.2 line <&"${WATCH[0]}"; then
      kill -0 "$launched" 2>/dev/null || { wait "$launched" || true; return 1; }
      continue
    fi
    [[ $line == MapNotify* ]] || continue
    end=$(now_us)
    read -r line <&"${WATCH[0]}"
    window=$(sed -n 's/.* window \(0x[0-9a-f]*\),.*/\1/p' <<<"$line")
    xprop -id "$window" _NET_WM_PID | grep -q "= $launched\$" && break
  done
  xdotool search --onlyvisible --pid "$launched" >/dev/null # the window is there and viewable
  map_ms=$(awk -v d=$((end - start)) 'BEGIN { printf "%.1f", d / 1000 }')
}

# pavumeter now and then gives up at start with "Bad parameter"; such a start
# is reported and tried again, up to three times.
launch() {
  local attempt
  for ((attempt = 1; attempt <= 3; attempt++)); do
    launch_once "$@" && return 0
    echo "note: $1 ended before showing its window ($(tail -1 "$work/program.log")); starting it again" >&2
    sleep 1
  done
  echo "$1 does not start" >&2
  exit 1
}

stop() { kill "$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; }

# One measured run: prints "map-ms cpu-% rss-KiB hwm-KiB"; checks that the
# program records from the server during the window.
measure() { # name command...
  local name=$1 t0 c0 t1 c1 rss hwm outputs
  shift
  launch "$@"
  local pid=$launched
  c0=$(cpu_ticks "$pid")
  t0=$(now_us)
  sleep "$(( window_s / 2 ))"
  # The server's record streams that belong to this process.
  outputs=$(pactl list source-outputs | awk -F': |= ' -v pid="\"$pid\"" '
    /^Source Output/ { format = ""; corked = ""; app = "" }
    /Sample Specif/ { format = $2 } /Corked:/ { corked = $2 }
    /application.name = / { app = $2; gsub(/"/, "", app) }
    /application.process.id = / && $2 == pid { print app " (" format ", corked: " corked ")" }' | paste -sd';' -)
  [ -n "$outputs" ] || { echo "$name is not recording from the sound server" >&2; exit 1; }
  echo "$outputs" >"$work/$name.recording"
  sleep "$(( window_s - window_s / 2 ))"
  c1=$(cpu_ticks "$pid")
  t1=$(now_us)
  rss=$(status_kib "$pid" VmRSS)
  hwm=$(status_kib "$pid" VmHWM)
  stop "$pid"
  awk -v m="$map_ms" -v c=$((c1 - c0)) -v hz="$clock_ticks" -v t=$((t1 - t0)) -v r="$rss" -v h="$hwm" \
    'BEGIN { printf "%s %.3f %d %d\n", m, 100 * c / hz / (t / 1e6), r, h }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "load:    $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) at the start"
echo "server:  $(pulseaudio --version), default source tone.monitor ($source_spec), 1 kHz sine"
echo "runs:    $runs of each, alternately, ${window_s} s each, after one warm-up launch each;"
echo "         then $launches launches of each, alternately, for the start-up time"

# Warm-up: loads both programs and their libraries into the page cache.
launch "$quimbrel"
stop "$launched"
launch pavumeter --record
stop "$launched"

: >"$work/quimbrel.txt"
: >"$work/pavumeter.txt"
echo
printf '%-10s %4s %12s %8s %11s %11s\n' "program" "run" "map ms" "CPU %" "VmRSS KiB" "VmHWM KiB"
show_run() { # name run
  local map cpu rss hwm
  read -r map cpu rss hwm <<<"$(tail -1 "$work/$1.txt")"
  printf '%-10s %4d %12s %8s %11s %11s\n' "$1" "$2" "$map" "$cpu" "$rss" "$hwm"
}
for ((i = 1; i <= runs; i++)); do
  measure quimbrel "$quimbrel" >>"$work/quimbrel.txt"
  show_run quimbrel "$i"
  measure pavumeter pavumeter --record >>"$work/pavumeter.txt"
  show_run pavumeter "$i"
done

cut -d' ' -f1 "$work/quimbrel.txt" >"$work/quimbrel.map"
cut -d' ' -f1 "$work/pavumeter.txt" >"$work/pavumeter.map"
for ((i = 1; i <= launches; i++)); do
  launch "$quimbrel"
  stop "$launched"
  echo "$map_ms" >>"$work/quimbrel.map"
  sleep 0.5
  launch pavumeter --record
  stop "$launched"
  echo "$map_ms" >>"$work/pavumeter.map"
  sleep 0.5
done

echo
echo "launch to mapped window over all $((runs + launches)) launches of each (ms):"
for name in quimbrel pavumeter; do
  printf '  %-10s median %6s   fastest %6s   slowest %6s\n' "$name" "$(median <"$work/$name.map")" \
    "$(sort -n "$work/$name.map" | head -1)" "$(sort -n "$work/$name.map" | tail -1)"
done

echo
echo "medians (map ms over all launches; CPU and memory over the $runs measured runs; memory also in MiB):"
printf '%-10s %12s %8s %17s %17s\n' "program" "map ms" "CPU %" "VmRSS KiB (MiB)" "VmHWM KiB (MiB)"
for name in quimbrel pavumeter; do
  f="$work/$name.txt"
  map=$(median <"$work/$name.map")
  cpu=$(cut -d' ' -f2 "$f" | median)
  rss=$(cut -d' ' -f3 "$f" | median)
  hwm=$(cut -d' ' -f4 "$f" | median)
  printf '%-10s %12s %8s %17s %17s\n' "$name" "$map" "$cpu" \
    "$rss ($(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }'))" \
    "$hwm ($(awk -v k="$hwm" 'BEGIN { printf "%.1f", k / 1024 }'))"
done
echo
echo "recording from the server halfway through the last window (pactl list source-outputs):"
for name in quimbrel pavumeter; do echo "  $name: $(cat "$work/$name.recording")"; done
echo "load:    $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) at the end"
