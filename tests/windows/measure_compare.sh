#!/usr/bin/env bash
# quimbrel-measure.exe under Wine against the Linux build of quimbrel-measure
# on the same generated WAV files: standard output, standard error and exit
# status must be the same bytes, for the text report, --rms, --json and
# --blocks, several files at once, and files that are cut short or not WAV at
# all, and a folder given as a file. A file in a folder whose name is outside
# the ANSI code page (Łukasz) is found and named whole. A path given with
# Windows separators is reported with them, and the reports are the same once
# they are turned round. Then --live on a device that does not exist: exit
# status 1 and one line. Standard input, redirected from a file and piped,
# gives the same reports too.
#
#   tests/windows/measure_compare.sh LINUX_TOOL WINDOWS_TOOL WINEPREFIX
set -euo pipefail
linux_tool="$1"
windows_tool="$2"
export WINEPREFIX="$3" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir files

# Signals of every kind the reports tell apart: steady tones, noise, silence,
# clipping, DC offset, mono and other rates, a last short block.
sox -V1 -r 44100 -n -b 16 -c 2 -D files/tone.wav synth 5 sine 1000 gain -6
sox -V1 -r 44100 -n -b 16 -c 2 -D files/noise.wav synth 3.05 pinknoise gain -12
sox -V1 -r 48000 -n -b 16 -c 1 -D files/mono48k.wav synth 2 sine 440 gain -20
sox -V1 -r 44100 -n -b 16 -c 2 -D files/clipped.wav synth 2 square 200 gain 3 dcshift 0.1
sox -V1 -r 44100 -n -b 16 -c 2 -D files/silence.wav trim 0 1
sox -V1 -r 22050 -n -b 8 -c 2 -D files/eightbit.wav synth 1 sine 300
# A recording cut short: the data chunk says more than the file holds.
head -c 100000 files/tone.wav > files/cut.wav
printf 'not a wave file at all' > files/text.wav

failures=0
compare() { # name, then the tool's arguments
  local name="$1"
  shift
  local status_linux=0 status_windows=0
  "$linux_tool" "$@" >"$name.linux.out" 2>"$name.linux.err" </dev/null || status_linux=$?
  wine "$windows_tool" "$@" >"$name.windows.out" 2>"$name.windows.err" </dev/null || status_windows=$?
  for stream in out err; do
    if ! cmp -s "$name.linux.$stream" "$name.windows.$stream"; then
      echo "FAIL: $name: standard $stream differs (Linux, then Windows):"
      diff "$name.linux.$stream" "$name.windows.$stream" | head -20
      failures=$((failures + 1))
    fi
  done
  if [ "$status_linux" != "$status_windows" ]; then
    echo "FAIL: $name: exit status $status_linux on Linux, $status_windows on Windows"
    failures=$((failures + 1))
  fi
  echo "$name: $(wc -c <"$name.linux.out") bytes of report, exit status $status_linux"
}

all=(files/tone.wav files/noise.wav files/mono48k.wav files/clipped.wav files/silence.wav)
for file in "${all[@]}"; do
  base="$(basename "$file" .wav)"
  compare "$base-text" "$file"
  compare "$base-rms" --rms "$file"
  compare "$base-json" --json "$file"
  compare "$base-blocks" --blocks "$file"
done
compare several-text "${all[@]}"
compare several-json --json --blocks "${all[@]}"
compare several-blocks --rms --blocks "${all[@]}"
compare refused files/cut.wav files/text.wav files/eightbit.wav files/missing.wav
compare refused-json --json files/cut.wav files/text.wav files/eightbit.wav files/missing.wav
# Names outside the ANSI code page come to the tool and go to the system whole.
mkdir -p files/Łukasz/Nagrania
cp files/tone.wav files/Łukasz/Nagrania/próba.wav
compare utf8-name-text files/Łukasz/Nagrania/próba.wav
compare utf8-name-json --json files/Łukasz/Nagrania/próba.wav
if ! grep -q 'files/Łukasz/Nagrania/próba.wav' utf8-name-json.windows.out; then
  echo "FAIL: the report of a file under Łukasz/ does not name it whole"
  failures=$((failures + 1))
fi
# A folder and a FIFO given as files are refused for what they are, without
# waiting on the FIFO, and the next file is measured; so is Windows' NUL device.
mkfifo files/pipe.wav
compare not-regular files/Łukasz files/pipe.wav files/tone.wav
if ! grep -q '^quimbrel-measure: files/Łukasz: is a directory$' not-regular.windows.err ||
  ! grep -q '^quimbrel-measure: files/pipe.wav: a FIFO (named pipe)' not-regular.windows.err; then
  echo "FAIL: a folder or a FIFO given as a file is not refused as one:"
  cat not-regular.windows.err
  failures=$((failures + 1))
fi
status=0
wine "$windows_tool" NUL >nul.out 2>nul.err </dev/null || status=$?
if [ "$status" != 1 ] || [ "$(cat nul.err)" != "quimbrel-measure: NUL: a character device, not a regular file" ]; then
  echo "FAIL: NUL given as a file: exit status $status, standard error:"
  cat nul.err
  failures=$((failures + 1))
fi
compare usage --loud files/tone.wav
compare help --help

# - reads standard input in binary: a redirected file, and a pipe.
"$linux_tool" --blocks - <files/tone.wav >stdin-file.linux
wine "$windows_tool" --blocks - <files/tone.wav >stdin-file.windows
"$linux_tool" --json - <files/noise.wav >stdin-pipe.linux
cat files/noise.wav | wine "$windows_tool" --json - >stdin-pipe.windows
for name in stdin-file stdin-pipe; do
  if ! cmp -s "$name.linux" "$name.windows" || [ ! -s "$name.linux" ]; then
    echo "FAIL: $name: standard input gives another report:"
    diff "$name.linux" "$name.windows" | head -20
    failures=$((failures + 1))
  fi
done

# Windows separators: the same report once they are turned round.
"$linux_tool" --json files/tone.wav >separators.linux
wine "$windows_tool" --json 'files\tone.wav' | tr '\\' '/' | sed 's|//|/|g' >separators.windows
if ! cmp -s separators.linux separators.windows; then
  echo "FAIL: a path with Windows separators gives another report:"
  diff separators.linux separators.windows | head -20
  failures=$((failures + 1))
fi

# A live input that cannot be had ends with exit status 1 and one line.
# (Lines from the ALSA library are Wine's own sound driver looking for cards
# on this machine, not the program's.)
status=0
wine "$windows_tool" --live --input "No such device" --seconds 1 >live.out 2>live.all </dev/null || status=$?
grep -v '^ALSA lib ' live.all >live.err || true
if [ "$status" != 1 ] || [ "$(wc -l <live.err)" != 1 ] || ! grep -q "No such device: cannot be opened" live.err; then
  echo "FAIL: --live on a missing device: exit status $status, standard error:"
  cat live.err
  failures=$((failures + 1))
fi
echo "live, missing device: $(cat live.err)"

if [ "$failures" -gt 0 ]; then
  echo "$failures differences between quimbrel-measure.exe and the Linux build"
  exit 1
fi
echo "quimbrel-measure.exe under Wine and the Linux build wrote the same bytes"
