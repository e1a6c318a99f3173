# How the check scripts count and tell their results; sourced.

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Runs a check every 0.2 s until it holds, for at most the given seconds.
within() {
  local seconds="$1"; shift
  for ((i = 0; i < seconds * 5; i++)); do "$@" && return 0; sleep 0.2; done
  return 1
}
