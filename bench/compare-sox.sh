#!/usr/bin/env bash
# quimbrel-measure against "sox FILE -n stats" on the same generated 10- and
# 60-minute 16-bit stereo WAV files: each command runs alternately RUNS times
# with warm caches; prints the median wall time, the median CPU time (user +
# system, which other work on the machine disturbs less), their ratios, and
# the peak resident memory of both. Numbers only; nothing is asserted.
#
#   bench/compare-sox.sh [RUNS]          (default 7; builds quimbrel-measure if needed)
#
# QUIMBREL_MEASURE=path overrides the tool; BENCH_DIR=folder keeps the
# generated files (about 740 MB) between runs instead of a fresh temporary folder.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-7}"

tool="${QUIMBREL_MEASURE:-}"
if [ -z "$tool" ]; then
  build="$here/build"
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --target quimbrel-measure >/dev/null
  tool="$build/tools/measure/quimbrel-measure"
fi

work="${BENCH_DIR:-}"
if [ -z "$work" ]; then
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
fi
mkdir -p "$work"

# Pink noise at -12 dB with a 1 kHz tone on the left: a plausible recording.
make_file() { # minutes file
  [ -s "$2" ] && return
  sox -r 44100 -n -b 16 -c 2 "$2" synth "$(( $1 * 60 ))" pinknoise pinknoise gain -12 \
    remix 1v0.8,2v0.2 2 2>/dev/null
}

# Runs a command once with its output discarded; prints "wall-microseconds
# peak-KiB cpu-seconds".
time_once() {
  local usage="$work/usage.txt" start end
  start=$(date +%s%N)
  /usr/bin/time -f "%M %U %S" -o "$usage" "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  read -r kib user sys <"$usage"
  echo "$(( (end - start) / 1000 )) $kib $(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
largest() { sort -n | tail -1; }

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "tool:    $tool ($("$tool" --version))"
echo "sox:     $(sox --version 2>&1 | head -1 | sed 's/^.*SoX/SoX/')"
echo "runs:    $runs of each, alternately, after one warm-up run each"
echo "load:    $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) at the start"
echo
printf '%-8s %-24s %9s %7s %9s %7s %13s\n' "file" "command" "wall s" "ratio" "CPU s" "ratio" "peak RSS KiB"
for minutes in 10 60; do
  file="$work/stereo-${minutes}min.wav"
  make_file "$minutes" "$file"
  cat "$file" >/dev/null # warm the page cache
  for mode in peak rms; do
    opts=()
    [ "$mode" = rms ] && opts=(--rms)
    : >"$work/tool.txt"
    : >"$work/sox.txt"
    time_once "$tool" "${opts[@]}" "$file" >/dev/null
    time_once sox "$file" -n stats >/dev/null
    for ((i = 0; i < runs; i++)); do
      time_once "$tool" "${opts[@]}" "$file" >>"$work/tool.txt"
      time_once sox "$file" -n stats >>"$work/sox.txt"
    done
    tool_us=$(cut -d' ' -f1 "$work/tool.txt" | median)
    sox_us=$(cut -d' ' -f1 "$work/sox.txt" | median)
    tool_kb=$(cut -d' ' -f2 "$work/tool.txt" | largest)
    sox_kb=$(cut -d' ' -f2 "$work/sox.txt" | largest)
    tool_cpu=$(cut -d' ' -f3 "$work/tool.txt" | median)
    sox_cpu=$(cut -d' ' -f3 "$work/sox.txt" | median)
    wall_ratio=$(awk -v s="$sox_us" -v t="$tool_us" 'BEGIN { printf "%.1fx", s / t }')
    cpu_ratio=$(awk -v s="$sox_cpu" -v t="$tool_cpu" 'BEGIN { printf (t > 0 ? "%.1fx" : "-"), s / (t > 0 ? t : 1) }')
    printf '%-8s %-24s %9.3f %7s %9.2f %7s %13s\n' "${minutes}min" "quimbrel-measure${opts[*]:+ ${opts[*]}}" \
      "$(awk -v t="$tool_us" 'BEGIN { print t / 1e6 }')" "$wall_ratio" "$tool_cpu" "$cpu_ratio" "$tool_kb"
    printf '%-8s %-24s %9.3f %7s %9.2f %7s %13s\n' "${minutes}min" "sox -n stats" \
      "$(awk -v t="$sox_us" 'BEGIN { print t / 1e6 }')" "" "$sox_cpu" "" "$sox_kb"
  done
done
