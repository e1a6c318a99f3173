#!/usr/bin/env bash
# quimbrel-measure (peak and --rms) against reading the file alone
# ("dd bs=1M of=/dev/null") and against "sox FILE -n stats", on generated
# 10- and 60-minute 16-bit stereo 44.1 kHz WAV files. Each round runs every
# command once, in turn, with warm caches; RUNS rounds follow one warm-up
# round. Prints for each command the median wall time and the median CPU time
# (user + system, which other work on the machine disturbs less), each as a
# multiple of dd's and as sox's divided by the command's, and the largest
# peak resident memory. quimbrel-measure runs once per vector path that this
# machine runs (QUIMBREL_SIMD=scalar, sse2, avx2, avx512, neon), side by side.
# Numbers only; nothing is asserted.
#
#   bench/compare-sox.sh [RUNS]          (default 7; builds quimbrel-measure if needed)
#
# QUIMBREL_MEASURE=path overrides the tool; QUIMBREL_MEASURE_BEFORE=path adds
# another build of it (say, from before a change) to the same rounds.
# BENCH_MINUTES="10" measures only the files of those lengths (default "10 60").
# BENCH_DIR=folder keeps the generated files (about 740 MB) between runs
# instead of a fresh temporary folder.
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
before="${QUIMBREL_MEASURE_BEFORE:-}"

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

# Runs a command once with its output discarded; prints "wall-seconds
# cpu-seconds peak-KiB". Wall and CPU time come from the kernel's account of
# the child (wait4), to the microsecond; they include GNU time's own start
# (under a millisecond), which reports the peak memory: a child of the
# Python process would inherit its memory until it starts the command.
time_once() {
  python3 - "$work/usage.txt" "$@" <<'EOF'
import os, subprocess, sys, time
start = time.perf_counter()
child = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", sys.argv[1]] + sys.argv[2:],
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
_, status, usage = os.wait4(child.pid, 0)
wall = time.perf_counter() - start
kib = open(sys.argv[1]).read().split()[-1]
print(f"{wall:.6f} {usage.ru_utime + usage.ru_stime:.6f} {kib}")
EOF
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
largest() { sort -n | tail -1; }

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "tool:    $tool ($("$tool" --version | head -1))"

# The vector paths this machine runs: the tool refuses the others.
paths=()
for path in scalar sse2 avx2 avx512 neon; do
  QUIMBREL_SIMD=$path "$tool" --version >/dev/null 2>&1 && paths+=("$path")
done
echo "paths:   ${paths[*]} (fastest by default: $("$tool" --version | sed -n 's/^vector path: //p'))"
[ -n "$before" ] && echo "before:  $before"
echo "sox:     $(sox --version 2>&1 | head -1 | sed 's/^.*SoX/SoX/')"
echo "runs:    $runs rounds of every command in turn, after one warm-up round"
echo "load:    $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) at the start"

names=("dd bs=1M of=/dev/null")
for path in "${paths[@]}"; do names+=("quimbrel-measure $path" "quimbrel-measure --rms $path"); done
[ -n "$before" ] && names+=("before: quimbrel-measure" "before: quimbrel-measure --rms")
names+=("sox FILE -n stats")

for minutes in ${BENCH_MINUTES:-10 60}; do
  file="$work/stereo-${minutes}min.wav"
  make_file "$minutes" "$file"
  commands=("dd if=$file bs=1M of=/dev/null")
  for path in "${paths[@]}"; do
    commands+=("env QUIMBREL_SIMD=$path $tool $file" "env QUIMBREL_SIMD=$path $tool --rms $file")
  done
  [ -n "$before" ] && commands+=("$before $file" "$before --rms $file")
  commands+=("sox $file -n stats")
  cat "$file" >/dev/null # warm the page cache
  for i in "${!commands[@]}"; do : >"$work/times-$i.txt"; done
  for ((round = 0; round <= runs; round++)); do
    for i in "${!commands[@]}"; do
      # shellcheck disable=SC2086 # the commands are split into words on purpose
      result=$(time_once ${commands[$i]})
      [ "$round" -gt 0 ] && echo "$result" >>"$work/times-$i.txt"
    done
  done
  last=$(( ${#commands[@]} - 1 ))
  wall() { cut -d' ' -f1 "$work/times-$1.txt" | median; }
  cpu() { cut -d' ' -f2 "$work/times-$1.txt" | median; }
  dd_wall=$(wall 0) dd_cpu=$(cpu 0) sox_wall=$(wall "$last") sox_cpu=$(cpu "$last")
  echo
  echo "${minutes}-minute file, $(stat -c %s "$file") bytes; load $(cut -d' ' -f1-3 /proc/loadavg) at its end"
  printf '%-32s %8s %6s %7s %8s %6s %7s %9s\n' "command" "wall s" "x dd" "sox/it" "CPU s" "x dd" "sox/it" "peak KiB"
  for i in "${!commands[@]}"; do
    w=$(wall "$i") c=$(cpu "$i") kib=$(cut -d' ' -f3 "$work/times-$i.txt" | largest)
    awk -v n="${names[$i]}" -v w="$w" -v c="$c" -v k="$kib" -v dw="$dd_wall" -v dc="$dd_cpu" \
        -v sw="$sox_wall" -v sc="$sox_cpu" 'BEGIN {
      printf "%-32s %8.4f %5.2fx %6.1fx %8.4f %5.2fx %6.1fx %9d\n", n, w, w / dw, sw / w, c, c / dc, sc / c, k }'
  done
done
