#!/usr/bin/env bash
# Runs every fuzz program of a QUIMBREL_FUZZ build briefly from its committed
# seeds: usage smoke.sh BUILD_DIR [SECONDS_EACH]. New inputs go to a scratch
# folder, never into the committed corpus. A crash, leak or sanitizer report
# fails the run and leaves the input and the log in the scratch folder.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:?usage: smoke.sh BUILD_DIR [SECONDS_EACH]}"
seconds="${2:-30}"
scratch="$(mktemp -d /tmp/quimbrel-fuzz-smoke-XXXXXX)"
source "$here/../sanitizers/options.sh"
export QT_QPA_PLATFORM=offscreen

passed=0
failed=0
for target in wavfile versioninfo formloader; do
  program="$build/tests/fuzz/${target}_fuzzer"
  mkdir -p "$scratch/$target/new" "$scratch/$target/artifacts"
  if [ ! -x "$program" ]; then
    echo "FAIL $target: $program was not built"
    failed=$((failed + 1))
    continue
  fi
  if "$program" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$scratch/$target/artifacts/" \
      "$scratch/$target/new" "$here/corpus/$target" > "$scratch/$target/log" 2>&1; then
    runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$scratch/$target/log" | grep -o '[0-9]*$')"
    echo "ok   $target: ${runs:-?} inputs in ${seconds} s"
    passed=$((passed + 1))
  else
    echo "FAIL $target: see $scratch/$target/log"
    tail -n 40 "$scratch/$target/log"
    failed=$((failed + 1))
  fi
done
if [ "$failed" -eq 0 ]; then
  rm -rf "$scratch"
fi
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
