#!/usr/bin/env bash
# Takes the README's screenshots in a real window (Openbox under Xvfb), with
# Quimbrel capturing a 1 kHz test tone 1 dB below full scale from a private
# PulseAudio server: the main window (docs/screenshot.png), and the main
# window with Input, "Recording level..." open after "Set level" for NOAA
# (docs/recording-level.png).
# Usage: scripts/screenshot.sh [build dir] [output folder]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/scripts/deps.sh"
quimbrel_install_packages "${QUIMBREL_PACKAGES[@]}" "${QUIMBREL_SCREENSHOT_PACKAGES[@]}"
build="${1:-$here/build}"
out="${2:-$here/docs}"
[ -x "$build/shell/quimbrel" ] || cmake --build "$build" --target quimbrel

work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work"
export PULSE_SERVER="unix:$work/pulse-native"
sox -D -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 120 sine 1000 vol -1dB
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse-native" \
  -L "module-null-sink sink_name=receiver rate=44100 channels=2 format=s16le" >"$work/pulse.log" 2>&1 &
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-source receiver.monitor
paplay --device=receiver "$work/tone.wav" &

printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' >"$work/alsa.conf"
export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$work/alsa.conf"
# A small title font, so the whole caption fits the narrow window.
cat >"$work/rc.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme><name>Clearlooks</name><titleLayout>NLC</titleLayout>
    <font place="ActiveWindow"><name>Liberation Sans</name><size>7</size><weight>Bold</weight></font>
    <font place="InactiveWindow"><name>Liberation Sans</name><size>7</size><weight>Bold</weight></font>
  </theme>
</openbox_config>
XML
# Alt+I opens the Input menu, R its "Recording level..."; Enter presses
# "Set level", the dialog's default button.
xvfb-run -a -s "-screen 0 860x540x24" bash -c '
  openbox --config-file "$3" & sleep 1
  "$1" & p=$!
  sleep 4
  import -window root "$2/main.png"
  xdotool key alt+i; sleep 0.5; xdotool key r; sleep 1
  xdotool key Return; sleep 14
  import -window root "$2/level.png"
  kill $p; wait $p
' _ "$build/shell/quimbrel" "$work" "$work/rc.xml"
convert "$work/main.png" -trim +repage "$out/screenshot.png"
convert "$work/level.png" -trim +repage "$out/recording-level.png"
echo "Screenshots saved to $out/screenshot.png and $out/recording-level.png"
