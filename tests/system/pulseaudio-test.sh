#!/usr/bin/env bash
# The real program against a real sound server: starts a private PulseAudio
# server (root is fine) whose default source is a 441 Hz sine at half of full
# scale, makes ALSA's "default" the server's plugin, and runs the main window
# on the offscreen platform through tests/system/soundserver_check, which
# also kills and restarts the server while it captures.
#   usage: pulseaudio-test.sh BUILD_DIR [CHECK_ARGUMENTS...]
#   (without arguments every check but the soak runs; bench/soak.sh passes
#   its own, with QUIMBREL_CHECK_TIMEOUT in seconds)
#   (the check calls it back as: pulseaudio-test.sh --start|--kill WORK_DIR)
set -uo pipefail

readonly SERVER_WAIT_TRIES=100   # tries, 0.1 s apart, for the server to answer
readonly CHECK_TIMEOUT_SECONDS="${QUIMBREL_CHECK_TIMEOUT:-300}"

# The server gets none of the caller's descriptors: a server restarted by the
# check must not hold the pipe that its output goes through.
start_server() {
  local work="$1"
  pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 --use-pid-file=no \
    --disable-shm=yes --log-target=file:"$work/server.log" -F "$work/server.pa" \
    < /dev/null >> "$work/server.out" 2>&1 &
  echo $! > "$work/server.pid"
  for _ in $(seq "$SERVER_WAIT_TRIES"); do
    if pactl info > /dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  echo "the sound server did not answer; its log:" >&2
  cat "$work/server.log" >&2
  return 1
}

kill_server() {
  local work="$1" pid
  pid="$(cat "$work/server.pid" 2>/dev/null)" || return 0
  kill -KILL "$pid" 2>/dev/null
  # Not a child of this shell when called back by the check: wait for it to go.
  for _ in $(seq "$SERVER_WAIT_TRIES"); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$work/server.pid"
}

environment() {
  local work="$1"
  export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/home/.config"
  export PULSE_SERVER="unix:$work/native"
  export PULSE_CLIENTCONFIG="$work/client.conf"
  export ALSA_CONFIG_PATH="$work/asound.conf"
  export QT_QPA_PLATFORM=offscreen
  unset QUIMBREL_INPUT
}

case "${1:-}" in
  --start) environment "$2"; start_server "$2"; exit $? ;;
  --kill) environment "$2"; kill_server "$2"; exit $? ;;
esac

here="$(cd "$(dirname "$0")" && pwd)"
build="${1:?usage: pulseaudio-test.sh BUILD_DIR [CHECK_ARGUMENTS...]}"
shift
arguments=("$@")
if [ ${#arguments[@]} -eq 0 ]; then
  arguments=(--gtest_filter=-Soak.*)
fi
check="$build/tests/system/soundserver_check"
work="$(mktemp -d /tmp/quimbrel-pulse-XXXXXX)"
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
environment "$work"
trap 'kill_server "$work"; rm -rf "$work"' EXIT

cat > "$work/server.pa" <<PA
load-module module-native-protocol-unix socket=$work/native auth-anonymous=1
load-module module-null-sink sink_name=quiet rate=44100 channels=2 format=s16le
load-module module-sine-source source_name=tone rate=44100 frequency=441
set-default-source tone
PA
echo "autospawn = no" > "$work/client.conf"
cat > "$work/asound.conf" <<'ALSA'
pcm.!default { type pulse }
ctl.!default { type pulse }
ALSA

if [ ! -x "$check" ]; then
  echo "$check was not built"
  echo "pulseaudio: 0 passed, 1 failed"
  exit 1
fi
if ! start_server "$work"; then
  echo "pulseaudio: 0 passed, 1 failed"
  exit 1
fi
echo "sound server: $(pactl info | grep -E 'Server Version|Default Source')"
export QUIMBREL_SERVER_KILL="bash '$here/pulseaudio-test.sh' --kill '$work'"
export QUIMBREL_SERVER_START="bash '$here/pulseaudio-test.sh' --start '$work'"
timeout --kill-after=10 "$CHECK_TIMEOUT_SECONDS" "$check" "${arguments[@]}" 2>&1 | tee "$work/check.log"
status="${PIPESTATUS[0]}"
passed="$(grep -c '^\[       OK \]' "$work/check.log")"
failed="$(grep -c '^\[  FAILED  \] [A-Za-z]*\.[A-Za-z]* ' "$work/check.log")"
if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
  echo "the check ended with status $status (124: it hung)"
  failed=1
fi
echo "pulseaudio: $passed passed, $failed failed"
[ "$status" -eq 0 ]
