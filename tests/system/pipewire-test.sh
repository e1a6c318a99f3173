#!/usr/bin/env bash
# The real program against a real PipeWire server, the sound server of
# Debian 12's desktop: starts a private pipewire with wireplumber inside its
# own D-Bus session, makes a null sink whose monitor is the default source,
# plays a 441 Hz sine 1 dB below full scale into it with pw-play, makes ALSA's
# "default" PipeWire's plugin (its control, "Capture", is the source's
# volume), and runs the main window on the offscreen platform through
# tests/system/soundserver_check, which also sets the level, kills and
# restarts the server and stops the tone while it captures.
#
# The plugin comes from Debian's pipewire-alsa, of the installed PipeWire's
# version, fetched with apt-get into BUILD_DIR/pipewire-alsa and unpacked there
# without being installed: the package conflicts with pulseaudio, which the
# PulseAudio test needs, so the two cannot be installed together. A private
# ALSA configuration names the plugin's library, as the package's own
# configuration does for "default".
#   usage: pipewire-test.sh BUILD_DIR [CHECK_ARGUMENTS...]
#   (without arguments every check but the soak runs; bench/soak.sh passes
#   its own, with QUIMBREL_CHECK_TIMEOUT in seconds)
#   (the check calls it back as: pipewire-test.sh --start|--kill|--tone-on|--tone-off WORK_DIR,
#   and pipewire-test.sh --signal satellite|tone|reset WORK_DIR)
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/soundserver-common.sh"

readonly SINK='{ factory.name=support.null-audio-sink node.name=quiet media.class=Audio/Sink monitor.channel-volumes=true object.linger=true audio.position=[FL FR] audio.rate=44100 }'

# The default source is the sink's monitor once the session manager has seen the sink.
default_source_is_the_sink() {
  wpctl inspect @DEFAULT_AUDIO_SOURCE@ | grep -q 'node.name = "quiet"'
}

# The server, the session manager, the sink and the player. None of them gets
# the caller's descriptors: a server restarted by the check must not hold the
# pipe that its output goes through.
start_server() {
  local work="$1"
  pipewire < /dev/null >> "$work/server.log" 2>&1 &
  echo $! > "$work/server.pid"
  disown
  if ! wait_until pw-cli info 0; then
    echo "pipewire did not answer; its log:" >&2
    cat "$work/server.log" >&2
    return 1
  fi
  wireplumber < /dev/null >> "$work/session.log" 2>&1 &
  echo $! > "$work/session.pid"
  disown
  pw-cli create-node adapter "$SINK" > /dev/null < /dev/null || return 1
  start_player "$work"
  if ! wait_until default_source_is_the_sink; then
    echo "the null sink did not become the default source; the session manager's log:" >&2
    cat "$work/session.log" >&2
    return 1
  fi
}

start_player() {
  pw-play --target quiet "$1/tone.wav" < /dev/null >> "$1/player.log" 2>&1 &
  echo $! > "$1/player.pid"
  disown
}

kill_player() {
  kill_pid_file "$1/player.pid"
}

# The node number of the node named NAME.
node_id() {
  pw-cli ls Node | awk -v name="\"$1\"" '$1 == "id" { id = $2; sub(",", "", id) } $1 == "node.name" && $3 == name { print id }'
}

default_source_is_the_receiver() {
  wpctl inspect @DEFAULT_AUDIO_SOURCE@ | grep -q 'node.name = "receiver"'
}

# The level-setting tries' signal, as a receiver's line input: a loopback
# whose capture side is a sink ("receiver-in") that pw-play feeds, and whose
# playback side is a source, "Receiver line in", made the default (a null
# sink's monitor has no working capture volume). KIND is satellite or tone;
# reset takes the loopback away and plays the tone into the null sink again.
start_signal() {
  local work="$1" kind="$2" id
  kill_player "$work"
  if [ "$kind" = reset ]; then
    kill_pid_file "$work/loopback.pid"
    wait_until default_source_is_the_sink || return 1
    start_player "$work"
    return
  fi
  if [ ! -s "$work/loopback.pid" ]; then
    pw-loopback --capture-props='media.class=Audio/Sink node.name=receiver-in audio.position=[FL FR]' \
      --playback-props='media.class=Audio/Source node.name=receiver node.description="Receiver line in" audio.position=[FL FR]' \
      < /dev/null >> "$work/loopback.log" 2>&1 &
    echo $! > "$work/loopback.pid"
    disown
    wait_until node_id receiver || return 1
    id="$(node_id receiver)"
    wpctl set-default "$id" || return 1
    wait_until default_source_is_the_receiver || return 1
  fi
  pw-play --target receiver-in "$work/$kind.wav" < /dev/null >> "$work/player.log" 2>&1 &
  echo $! > "$work/player.pid"
  disown
}

# The server goes first, as when it crashes or is restarted; the rest follow it.
kill_server() {
  kill_pid_file "$1/server.pid"
  kill_pid_file "$1/session.pid"
  kill_player "$1"
}

describe_server() {
  pw-cli info 0 | grep -E 'version' | head -1 | tr -s ' \t' ' '
}

environment() {
  local work="$1"
  export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/home/.config"
  export ALSA_CONFIG_PATH="$work/asound.conf"
  export QUIMBREL_SOURCE_VOLUME="wpctl get-volume @DEFAULT_AUDIO_SOURCE@"
  check_environment
}

# The folder of pipewire-alsa's ALSA plugins, fetched and unpacked into FOLDER once.
plugin_folder() {
  local folder="$1" version found
  found="$(find "$folder/root" -name libasound_module_pcm_pipewire.so 2> /dev/null | head -1)"
  if [ -z "$found" ]; then
    version="$(dpkg-query -W -f='${Version}' libpipewire-0.3-0)" || return 1
    rm -rf "$folder" && mkdir -p "$folder" || return 1
    (cd "$folder" && { apt-get download -qq "pipewire-alsa=$version" ||
      { apt-get update -qq && apt-get download -qq "pipewire-alsa=$version"; }; }) >&2 || return 1
    dpkg-deb -x "$folder"/pipewire-alsa_*.deb "$folder/root" || return 1
    found="$(find "$folder/root" -name libasound_module_pcm_pipewire.so | head -1)"
  fi
  [ -n "$found" ] && dirname "$found"
}

case "${1:-}" in
  --start) environment "$2"; start_server "$2"; exit $? ;;
  --kill) environment "$2"; kill_server "$2"; exit $? ;;
  --tone-on) environment "$2"; start_player "$2"; exit $? ;;
  --tone-off) environment "$2"; kill_player "$2"; exit $? ;;
  --signal) environment "$3"; start_signal "$3" "$2"; exit $? ;;
esac

build="${1:?usage: pipewire-test.sh BUILD_DIR [CHECK_ARGUMENTS...]}"
# PipeWire and wireplumber need a session bus: a private one, for this run only.
if [ -z "${QUIMBREL_PRIVATE_BUS:-}" ]; then
  exec env QUIMBREL_PRIVATE_BUS=1 dbus-run-session -- bash "$0" "$@"
fi
shift
# ALSA looks for a library named by a relative path among its own plugins.
build="$(realpath -m "$build")"
if ! plugins="$(plugin_folder "$build/pipewire-alsa")"; then
  echo "PipeWire's ALSA plugin could not be fetched (pipewire-alsa)"
  echo "pipewire: 0 passed, 1 failed"
  exit 1
fi
work="$(make_work_dir pipewire)"
environment "$work"
trap 'kill_pid_file "$work/loopback.pid"; kill_server "$work"; rm -rf "$work"' EXIT
# pw-play reads the sine from a file: from a pipe it plays noise.
make_tone "$work/tone.wav"
make_satellite_signal "$work/satellite.wav"
cat > "$work/asound.conf" <<ALSA
pcm_type.pipewire { lib "$plugins/libasound_module_pcm_pipewire.so" }
ctl_type.pipewire { lib "$plugins/libasound_module_ctl_pipewire.so" }
pcm.!default { type pipewire }
ctl.!default { type pipewire }
ALSA
run_soundserver_check pipewire "$here/pipewire-test.sh" "$work" "$build" "$@"
