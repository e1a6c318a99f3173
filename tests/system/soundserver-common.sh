# What the sound-server tests share; sourced by pulseaudio-test.sh and
# pipewire-test.sh. Each script defines start_server, kill_server,
# start_player, kill_player, describe_server and environment for its own
# server, then calls run_soundserver_check.

readonly SERVER_WAIT_TRIES=100   # tries, 0.1 s apart, for the server to answer
readonly CHECK_TIMEOUT_SECONDS="${QUIMBREL_CHECK_TIMEOUT:-480}" # the level-setting tries take about 130 s of it
readonly TONE_SECONDS=300 # longer than the server lives in any run (the soak restarts it every minute)
readonly SIGNAL_PART_SECONDS=20 # the satellite signal is made this long, then repeated

# The tone the default source carries: a 441 Hz sine 1 dB below full scale.
make_tone() {
  sox -D -n -r 44100 -c 2 -b 16 "$1" synth "$TONE_SECONDS" sine 441 vol -1dB
}

# The weather-satellite signal the level-setting tries play, as long as the tone.
make_satellite_signal() {
  local part="${1%.wav}-part.wav"
  python3 "$(dirname "${BASH_SOURCE[0]}")/make-satellite-signal.py" "$part" "$SIGNAL_PART_SECONDS" &&
    sox "$part" "$1" repeat $((TONE_SECONDS / SIGNAL_PART_SECONDS - 1)) && rm -f "$part"
}

# Runs COMMAND... until it succeeds, for at most SERVER_WAIT_TRIES tries.
wait_until() {
  for _ in $(seq "$SERVER_WAIT_TRIES"); do
    if "$@" > /dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Kills the process whose number is in FILE and waits for it to go (it is not
# a child of this shell when the check calls back).
kill_pid_file() {
  local file="$1" pid
  pid="$(cat "$file" 2>/dev/null)" || return 0
  kill -KILL "$pid" 2>/dev/null
  for _ in $(seq "$SERVER_WAIT_TRIES"); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$file"
}

# A scratch folder with a private home and runtime folder.
make_work_dir() {
  local work
  work="$(mktemp -d "/tmp/quimbrel-$1-XXXXXX")"
  mkdir -p "$work/home" "$work/run"
  chmod 700 "$work/run"
  echo "$work"
}

# The environment of the check, after the script's own environment().
check_environment() {
  export QT_QPA_PLATFORM=offscreen
  # Both servers' ALSA plugins offer the default source as the mixer's Capture control.
  export QUIMBREL_AMIXER_CAPTURE="amixer -D default sget Capture | grep -E 'Left|Right'"
  unset QUIMBREL_INPUT
}

# run_soundserver_check NAME SCRIPT WORK BUILD [CHECK_ARGUMENTS...]: starts
# the server, runs the check against it (SCRIPT --kill/--start WORK stop and
# start it again, SCRIPT --tone-off/--tone-on WORK stop and start the tone)
# and prints "NAME: N passed, N failed".
run_soundserver_check() {
  local name="$1" script="$2" work="$3" build="$4"
  shift 4
  local arguments=("$@")
  if [ ${#arguments[@]} -eq 0 ]; then
    arguments=(--gtest_filter=-Soak.*)
  fi
  local check="$build/tests/system/soundserver_check"
  if [ ! -x "$check" ]; then
    echo "$check was not built"
    echo "$name: 0 passed, 1 failed"
    return 1
  fi
  if ! start_server "$work"; then
    echo "$name: 0 passed, 1 failed"
    return 1
  fi
  echo "sound server: $(describe_server)"
  export QUIMBREL_SERVER_KILL="bash '$script' --kill '$work'"
  export QUIMBREL_SERVER_START="bash '$script' --start '$work'"
  export QUIMBREL_TONE_OFF="bash '$script' --tone-off '$work'"
  export QUIMBREL_TONE_ON="bash '$script' --tone-on '$work'"
  export QUIMBREL_SIGNAL_SATELLITE="bash '$script' --signal satellite '$work'"
  export QUIMBREL_SIGNAL_TONE="bash '$script' --signal tone '$work'"
  export QUIMBREL_SIGNAL_RESET="bash '$script' --signal reset '$work'"
  timeout --kill-after=10 "$CHECK_TIMEOUT_SECONDS" "$check" "${arguments[@]}" 2>&1 | tee "$work/check.log"
  local status="${PIPESTATUS[0]}" passed failed
  passed="$(grep -c '^\[       OK \]' "$work/check.log")"
  failed="$(grep -c '^\[  FAILED  \] [A-Za-z]*\.[A-Za-z]* ' "$work/check.log")"
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
    echo "the check ended with status $status (124: it hung)"
    failed=1
  fi
  echo "$name: $passed passed, $failed failed"
  [ "$status" -eq 0 ]
}
