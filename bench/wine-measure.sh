#!/usr/bin/env bash
# quimbrel-measure.exe under Wine against the Linux build of quimbrel-measure
# on the 10-minute stereo file of compare-sox.sh (pink noise at -12 dB with a
# 1 kHz tone on the left), and Wine's start alone (--version). Each round
# runs every command once, in turn; RUNS rounds follow one warm-up round, with
# Wine's server kept running throughout. Prints the median wall time and CPU
# time (user + system of the process and what it waited for) of each, and the
# sizes of the .exe files. Numbers only; nothing is asserted.
#
#   bench/wine-measure.sh LINUX_TOOL WINDOWS_BUILD [RUNS]   (default 5)
set -euo pipefail
linux_tool="$1"
windows_build="$2"
runs="${3:-5}"
exe="$windows_build/tools/measure/quimbrel-measure.exe"
export WINEPREFIX="$windows_build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

work="$(mktemp -d)"
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
sox -r 44100 -n -b 16 -c 2 "$work/10min.wav" synth 600 pinknoise pinknoise gain -12 remix 1v0.8,2v0.2 2 2>/dev/null
wineserver -p

time_once() { # label, command...
  python3 - "$@" <<'PY'
import os, subprocess, sys, time
start = time.perf_counter()
child = subprocess.Popen(sys.argv[2:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
_, status, usage = os.wait4(child.pid, 0)
print(f"{sys.argv[1]} {time.perf_counter() - start:.3f} {usage.ru_utime + usage.ru_stime:.3f}")
PY
}

round() {
  time_once linux "$linux_tool" "$work/10min.wav"
  time_once wine "wine" "$exe" "$work/10min.wav"
  time_once wine-start "wine" "$exe" --version
}

round >/dev/null
for _ in $(seq "$runs"); do round; done >"$work/times.txt"
echo "10-minute stereo file, median of $runs rounds (wall s, CPU s):"
python3 - "$work/times.txt" <<'PY'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    label, wall, cpu = line.split()
    rows.setdefault(label, []).append((float(wall), float(cpu)))
names = {"linux": "quimbrel-measure (Linux)", "wine": "quimbrel-measure.exe (Wine)",
         "wine-start": "quimbrel-measure.exe --version (Wine's start)"}
for label, values in rows.items():
    print(f"  {names[label]:48s} {statistics.median(v[0] for v in values):7.3f} "
          f"{statistics.median(v[1] for v in values):7.3f}")
PY
echo "sizes (bytes; stripped of debug information in brackets):"
for file in "$exe" "$windows_build"/shell/quimbrel.exe "$linux_tool"; do
  [ -f "$file" ] || continue
  stripped="$(mktemp)"
  case "$file" in
    *.exe) x86_64-w64-mingw32-strip -o "$stripped" "$file" ;;
    *) strip -o "$stripped" "$file" ;;
  esac
  echo "  $(basename "$file"): $(stat -c %s "$file") ($(stat -c %s "$stripped"))"
  rm -f "$stripped"
done
