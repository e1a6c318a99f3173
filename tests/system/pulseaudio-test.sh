#!/usr/bin/env bash
# The real program against a real sound server: starts a private PulseAudio
# server (root is fine) whose default source is the monitor of a null sink
# into which paplay plays a 441 Hz sine 1 dB below full scale, and a second
# source "soft" with a sine at half of full scale (ALSA's "soft"), makes ALSA's
# "default" the server's plugin (its control, "Capture", is the source's
# volume), and runs the main window on the offscreen platform through
# tests/system/soundserver_check, which also sets the level, kills and
# restarts the server and stops the tone while it captures.
#   usage: pulseaudio-test.sh BUILD_DIR [CHECK_ARGUMENTS...]
#   (without arguments every check but the soak runs; bench/soak.sh passes
#   its own, with QUIMBREL_CHECK_TIMEOUT in seconds)
#   (the check calls it back as: pulseaudio-test.sh --start|--kill|--tone-on|--tone-off WORK_DIR,
#   and pulseaudio-test.sh --signal satellite|tone|reset WORK_DIR)
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/soundserver-common.sh"

# The server gets none of the caller's descriptors: a server restarted by the
# check must not hold the pipe that its output goes through.
start_server() {
  local work="$1"
  pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 --use-pid-file=no \
    --disable-shm=yes --log-target=file:"$work/server.log" -F "$work/server.pa" \
    < /dev/null >> "$work/server.out" 2>&1 &
  echo $! > "$work/server.pid"
  disown
  if ! wait_until pactl info; then
    echo "the sound server did not answer; its log:" >&2
    cat "$work/server.log" >&2
    return 1
  fi
  start_player "$work"
}

start_player() {
  paplay --device=quiet "$1/tone.wav" < /dev/null >> "$1/player.log" 2>&1 &
  echo $! > "$1/player.pid"
  disown
}

kill_player() {
  kill_pid_file "$1/player.pid"
}

# The level-setting tries' signal into the null sink: satellite, tone or
# reset (the tone, as the other checks expect).
start_signal() {
  local work="$1" kind="$2"
  kill_player "$work"
  if [ "$kind" != satellite ]; then
    start_player "$work"
    return
  fi
  paplay --device=quiet "$work/satellite.wav" < /dev/null >> "$work/player.log" 2>&1 &
  echo $! > "$work/player.pid"
  disown
}

kill_server() {
  kill_pid_file "$1/server.pid"
  kill_player "$1"
}

describe_server() {
  pactl info | grep -E 'Server Version|Default Source' | tr '\n' ' '
}

environment() {
  local work="$1"
  export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/home/.config"
  export PULSE_SERVER="unix:$work/native"
  export PULSE_CLIENTCONFIG="$work/client.conf"
  export ALSA_CONFIG_PATH="$work/asound.conf"
  export QUIMBREL_SOURCE_VOLUME="pactl get-source-volume @DEFAULT_SOURCE@"
  export QUIMBREL_LAST_CLIENT="pactl list clients short | tail -1 | cut -f1"
  check_environment
}

case "${1:-}" in
  --start) environment "$2"; start_server "$2"; exit $? ;;
  --kill) environment "$2"; kill_server "$2"; exit $? ;;
  --tone-on) environment "$2"; start_player "$2"; exit $? ;;
  --tone-off) environment "$2"; kill_player "$2"; exit $? ;;
  --signal) environment "$3"; start_signal "$3" "$2"; exit $? ;;
esac

build="${1:?usage: pulseaudio-test.sh BUILD_DIR [CHECK_ARGUMENTS...]}"
shift
work="$(make_work_dir pulse)"
environment "$work"
trap 'kill_server "$work"; rm -rf "$work"' EXIT

cat > "$work/server.pa" <<PA
load-module module-native-protocol-unix socket=$work/native auth-anonymous=1
load-module module-null-sink sink_name=quiet rate=44100 channels=2 format=s16le
load-module module-sine-source source_name=soft rate=44100 frequency=441
set-default-source quiet.monitor
PA
make_tone "$work/tone.wav"
make_satellite_signal "$work/satellite.wav"
echo "autospawn = no" > "$work/client.conf"
cat > "$work/asound.conf" <<'ALSA'
pcm.!default { type pulse }
ctl.!default { type pulse }
pcm.soft {
  type pulse
  device "soft"
  hint { show on description "Sine at half of full scale" }
}
ALSA
run_soundserver_check pulseaudio "$here/pulseaudio-test.sh" "$work" "$build" "$@"
