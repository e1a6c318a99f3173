#!/usr/bin/env bash
# Quimbrel against pavumeter (PulseAudio's volume meter), each metering the
# same live source, on a private PulseAudio server and on a private PipeWire
# server, one after the other. Each server plays a 1 kHz sine into a null
# sink whose monitor (16-bit stereo, 44.1 kHz) is the default source.
# Quimbrel reads it through ALSA's plugin for the server, pavumeter through
# libpulse (on PipeWire through its PulseAudio server, pipewire-pulse). Each
# program runs under Xvfb, alternately RUNS times; for each run the script
# prints the time from launch to the window being mapped, the average CPU in %
# of one core over WINDOW seconds after that (utime + stime from
# /proc/PID/stat) of the program and of the sound server's processes in the
# same seconds, and the resident memory at the end (VmRSS) with its peak
# (VmHWM); then the medians. Start-up times vary most on a busy machine, so
# LAUNCHES further alternate launches of each (no measuring window) add to
# the launch-to-map median. Numbers only; nothing is asserted. Everything runs
# inside a private D-Bus session, as on a desktop.
#
#   bench/live-cpu.sh [RUNS] [WINDOW] [LAUNCHES] [SERVERS]
#   (defaults 3, 30, 10 and "pulseaudio pipewire"; as root or with sudo)
#
# QUIMBREL=path overrides the program (default: build/shell/quimbrel, built
# RelWithDebInfo if missing). Installs the Debian packages it needs; PipeWire's
# ALSA plugin and PulseAudio server configuration come from pipewire-alsa and
# pipewire-pulse, fetched with apt-get download and unpacked without being
# installed (both conflict with pulseaudio).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${QUIMBREL_PRIVATE_BUS:-}" ]; then
  exec env QUIMBREL_PRIVATE_BUS=1 dbus-run-session -- bash "$0" "$@"
fi
runs="${1:-3}"
window_s="${2:-30}"
launches="${3:-10}"
servers="${4:-pulseaudio pipewire}"
# shellcheck source=scripts/deps.sh
source "$here/scripts/deps.sh"
quimbrel_install_packages "${QUIMBREL_PACKAGES[@]}" pulseaudio pulseaudio-utils libasound2-plugins \
  pipewire pipewire-bin wireplumber dbus sox pavumeter xdotool x11-utils xvfb

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

# pipewire-alsa's plugin and pipewire-pulse's configuration, of the installed
# PipeWire's version, unpacked once into $debs.
debs="${BENCH_PIPEWIRE_DEBS:-$here/build/bench-pipewire}"
pipewire_parts() {
  [ -f "$debs/ready" ] && return 0
  local version
  version="$(dpkg-query -W -f='${Version}' libpipewire-0.3-0)"
  rm -rf "$debs" && mkdir -p "$debs"
  (cd "$debs" && { apt-get download -qq "pipewire-alsa=$version" "pipewire-pulse=$version" ||
    { apt-get update -qq && apt-get download -qq "pipewire-alsa=$version" "pipewire-pulse=$version"; }; }) >&2
  for deb in "$debs"/*.deb; do dpkg-deb -x "$deb" "$debs/root"; done
  touch "$debs/ready"
}

wait_for() { for _ in $(seq 100); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done; return 1; }

# A private PulseAudio server: a null sink at 16-bit stereo 44.1 kHz with a
# 1 kHz sine playing into it (module-sine); its monitor becomes the default
# source. Quimbrel reaches it through ALSA's pulse plugin.
start_pulseaudio() {
  export PULSE_SERVER="unix:$work/pulse-native"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse-native" \
    -L "module-null-sink sink_name=tone format=s16le rate=44100 channels=2" \
    -L "module-sine sink=tone frequency=1000" >"$work/pulse.log" 2>&1 &
  server_pids=($!)
  pids+=($!)
  wait_for pactl info
  pactl set-default-sink tone
  pactl set-default-source tone.monitor
  printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' >"$work/alsa.conf"
  export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$work/alsa.conf"
  server_text="$(pulseaudio --version), default source tone.monitor"
  server_text+=" ($(pactl list short sources | awk '$2 == "tone.monitor" { print $4, $5, $6 }')), module-sine at 1 kHz"
}

# A private PipeWire server with wireplumber and pipewire-pulse: a null sink
# at 44.1 kHz whose monitor is the default source, and pw-play playing a
# 1 kHz sine (16-bit stereo, 44.1 kHz, from a file, again and again) into it.
# Quimbrel reaches it through PipeWire's ALSA plugin.
start_pipewire() {
  pipewire_parts
  local plugins
  plugins="$(dirname "$(find "$debs/root" -name libasound_module_pcm_pipewire.so | head -1)")"
  export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
  pipewire </dev/null >"$work/pipewire.log" 2>&1 &
  server_pids=($!)
  pids+=($!)
  wait_for pw-cli info 0
  wireplumber </dev/null >"$work/wireplumber.log" 2>&1 &
  server_pids+=($!)
  pids+=($!)
  pipewire -c "$debs/root/usr/share/pipewire/pipewire-pulse.conf" </dev/null >"$work/pipewire-pulse.log" 2>&1 &
  server_pids+=($!)
  pids+=($!)
  pw-cli create-node adapter '{ factory.name=support.null-audio-sink node.name=tone media.class=Audio/Sink
    object.linger=true audio.position=[FL FR] audio.rate=44100 }' >/dev/null
  sox -D -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 60 sine 1000 vol -1dB
  (while :; do
    pw-play --target tone "$work/tone.wav" </dev/null >>"$work/player.log" 2>&1 &
    echo $! >"$work/player.pid"
    wait $!
  done) &
  pids+=($!)
  wait_for eval 'wpctl inspect @DEFAULT_AUDIO_SOURCE@ | grep -q "node.name = \"tone\""'
  wait_for pactl info
  cat >"$work/alsa.conf" <<ALSA
pcm_type.pipewire { lib "$plugins/libasound_module_pcm_pipewire.so" }
ctl_type.pipewire { lib "$plugins/libasound_module_ctl_pipewire.so" }
pcm.!default { type pipewire }
ctl.!default { type pipewire }
ALSA
  export ALSA_CONFIG_PATH="$work/alsa.conf"
  server_text="PipeWire $(pw-cli info 0 | sed -n 's/.*version: "\(.*\)"/\1/p' | head -1) with wireplumber"
  server_text+=" and pipewire-pulse, default source: the null sink's monitor at 44.1 kHz, pw-play of a 1 kHz sine"
}

# Stops the server's processes and whatever else was started with them.
stop_server() {
  local i
  for ((i = ${#pids[@]} - 1; i >= base_pids; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  [ ! -f "$work/player.pid" ] || kill "$(cat "$work/player.pid")" 2>/dev/null || true
  rm -f "$work/player.pid"
  for ((i = ${#pids[@]} - 1; i >= base_pids; i--)); do wait "${pids[i]}" 2>/dev/null || true; done
  pids=("${pids[@]:0:base_pids}")
}

export XDG_RUNTIME_DIR="$work/run" HOME="$work"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

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

# CPU time of each thread of process $1 so far: "tid name nanoseconds" lines
# (/proc/PID/task/TID/schedstat, finer than the ticks of /proc/PID/stat); the
# process's first thread is "main".
thread_ns() {
  local task name
  for task in /proc/"$1"/task/*; do
    name="$(tr ' ' '_' <"$task/comm")"
    [ "${task##*/}" != "$1" ] || name=main
    printf '%s %s %s\n' "${task##*/}" "$name" "$(cut -d' ' -f1 "$task/schedstat")"
  done 2>/dev/null
}

# The CPU of each thread over the window, in % of one core, from two
# thread_ns snapshots and the window's length in microseconds; threads of one
# name are added up (a thread that ended within the window is left out).
thread_shares() { # before after microseconds
  awk -v t="$3" 'NR == FNR { start[$1] = $3; next }
    { name = $2; used[name] += $3 - (($1 in start) ? start[$1] : 0) }
    END { for (n in used) printf "%s %.3f%%, ", n, 100 * used[n] / 1000 / t }' "$1" "$2" |
    sed 's/, $//'
}

# CPU ticks of the sound server's processes, all together.
server_ticks() {
  local pid total=0
  for pid in "${server_pids[@]}"; do total=$((total + $(cpu_ticks "$pid"))); done
  echo "$total"
}

# One measured run: prints "map-ms cpu-% server-cpu-% rss-KiB hwm-KiB";
# checks that the program records from the server during the window.
measure() { # name command...
  local name=$1 t0 c0 s0 t1 c1 s1 rss hwm clients outputs
  shift
  launch "$@"
  local pid=$launched
  thread_ns "$pid" >"$work/threads.before"
  c0=$(cpu_ticks "$pid")
  s0=$(server_ticks)
  t0=$(now_us)
  sleep "$(( window_s / 2 ))"
  # The server's record streams of this process's clients (on PipeWire only
  # the client carries the process id).
  clients=$(pactl list clients | awk -v pid="\"$pid\"" '
    /^Client #/ { id = substr($2, 2) } $1 == "application.process.id" && $3 == pid { printf " %s ", id }')
  outputs=$(pactl list source-outputs | awk -F': |= ' -v clients="$clients" '
    function show() { if (index(clients, " " client " ")) print app " (" format ", corked: " corked ")" }
    /^Source Output/ { show(); client = ""; format = ""; corked = ""; app = "" }
    /^\tClient: / { client = $2 } /Sample Specif/ { format = $2 } /Corked:/ { corked = $2 }
    /application.name = / { app = $2; gsub(/"/, "", app) }
    END { show() }' | paste -sd';' -)
  if [ -z "$outputs" ]; then
    echo "$name (process $pid) is not recording from the sound server; its record streams:" >&2
    pactl list source-outputs >&2
    exit 1
  fi
  echo "$outputs" >"$work/$name.recording"
  sleep "$(( window_s - window_s / 2 ))"
  c1=$(cpu_ticks "$pid")
  s1=$(server_ticks)
  t1=$(now_us)
  thread_ns "$pid" >"$work/threads.after"
  thread_shares "$work/threads.before" "$work/threads.after" $((t1 - t0)) >"$work/$name.threads"
  rss=$(status_kib "$pid" VmRSS)
  hwm=$(status_kib "$pid" VmHWM)
  stop "$pid"
  awk -v m="$map_ms" -v c=$((c1 - c0)) -v s=$((s1 - s0)) -v hz="$clock_ticks" -v t=$((t1 - t0)) \
    -v r="$rss" -v h="$hwm" \
    'BEGIN { printf "%s %.3f %.3f %d %d\n", m, 100 * c / hz / (t / 1e6), 100 * s / hz / (t / 1e6), r, h }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

show_run() { # name run
  local map cpu server rss hwm
  read -r map cpu server rss hwm <<<"$(tail -1 "$work/$1.txt")"
  printf '%-10s %4d %10s %8s %10s %11s %11s\n' "$1" "$2" "$map" "$cpu" "$server" "$rss" "$hwm"
}

# All rounds on one server, and their medians.
bench_server() { # server
  local i name f map cpu server rss hwm
  base_pids=${#pids[@]}
  "start_$1"
  echo
  echo "=== $1"
  echo "server:  $server_text"
  echo "         its processes: $(for p in "${server_pids[@]}"; do printf '%s ' "$(cat "/proc/$p/comm")"; done)"
  echo "load:    $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) at the start"

  # Warm-up: loads both programs and their libraries into the page cache.
  launch "$quimbrel"
  stop "$launched"
  launch pavumeter --record
  stop "$launched"

  : >"$work/quimbrel.txt"
  : >"$work/pavumeter.txt"
  echo
  printf '%-10s %4s %10s %8s %10s %11s %11s\n' "program" "run" "map ms" "CPU %" "server %" "VmRSS KiB" "VmHWM KiB"
  for ((i = 1; i <= runs; i++)); do
    measure quimbrel "$quimbrel" >>"$work/quimbrel.txt"
    show_run quimbrel "$i"
    measure pavumeter pavumeter --record >>"$work/pavumeter.txt"
    show_run pavumeter "$i"
  done

  cut -d' ' -f1 "$work/quimbrel.txt" >"$work/quimbrel.map"
  cut -d' ' -f1 "$work/pavumeter.txt" >"$work/pavumeter.map"
  for ((i = 1; i <= launches; i++)); do
    for name in quimbrel pavumeter; do
      if [ "$name" = quimbrel ]; then launch "$quimbrel"; else launch pavumeter --record; fi
      stop "$launched"
      echo "$map_ms" >>"$work/$name.map"
      sleep 0.5
    done
  done

  echo
  echo "medians on $1 (map ms over all $((runs + launches)) launches; CPU, the server's CPU in the same"
  echo "windows, and memory over the $runs measured runs; memory also in MiB):"
  printf '%-10s %10s %8s %10s %17s %17s\n' "program" "map ms" "CPU %" "server %" "VmRSS KiB (MiB)" "VmHWM KiB (MiB)"
  for name in quimbrel pavumeter; do
    f="$work/$name.txt"
    map=$(median <"$work/$name.map")
    cpu=$(cut -d' ' -f2 "$f" | median)
    server=$(cut -d' ' -f3 "$f" | median)
    rss=$(cut -d' ' -f4 "$f" | median)
    hwm=$(cut -d' ' -f5 "$f" | median)
    printf '%-10s %10s %8s %10s %17s %17s\n' "$name" "$map" "$cpu" "$server" "$rss ($(mib "$rss"))" "$hwm ($(mib "$hwm"))"
  done
  echo "recording from the server halfway through the last window (pactl list source-outputs):"
  for name in quimbrel pavumeter; do echo "  $name: $(cat "$work/$name.recording")"; done
  echo "CPU by thread in the last window (schedstat; threads of one name added up):"
  for name in quimbrel pavumeter; do echo "  $name: $(cat "$work/$name.threads")"; done
  echo "load:    $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) at the end"
  stop_server
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "program: $quimbrel"
echo "runs:    $runs of each program, alternately, ${window_s} s each, after one warm-up launch each;"
echo "         then $launches launches of each, alternately, for the start-up time; on: $servers"
for server in $servers; do bench_server "$server"; done
