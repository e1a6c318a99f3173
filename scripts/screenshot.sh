#!/usr/bin/env bash
# Takes the README's screenshot: Quimbrel capturing a 1 kHz test tone from a
# private PulseAudio server, in a real window (Openbox under Xvfb).
# Usage: scripts/screenshot.sh [build dir] [output png]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/scripts/deps.sh"
quimbrel_install_packages "${QUIMBREL_PACKAGES[@]}" pulseaudio libasound2-plugins openbox
build="${1:-$here/build}"
out="${2:-$here/docs/screenshot.png}"
[ -x "$build/shell/quimbrel" ] || cmake --build "$build" --target quimbrel

work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work"
export PULSE_SERVER="unix:$work/pulse-native" PULSE_SOURCE=sine
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse-native" \
  -L "module-sine-source source_name=sine rate=44100 frequency=1000" >"$work/pulse.log" 2>&1 &
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done

printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' >"$work/alsa.conf"
export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$work/alsa.conf"
# A small title font, so the whole caption fits the narrow window.
cat >"$work/rc.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme><name>Clearlooks</name><titleLayout>NLC</titleLayout>
    <font place="ActiveWindow"><name>Liberation Sans</name><size>7</size><weight>Bold</weight></font>
  </theme>
</openbox_config>
XML
xvfb-run -a -s "-screen 0 640x540x24" bash -c '
  openbox --config-file "$3" & sleep 1
  "$1" & p=$!
  sleep 4
  import -window root "$2"
  kill $p; wait $p
' _ "$build/shell/quimbrel" "$work/shot.png" "$work/rc.xml"
convert "$work/shot.png" -trim +repage "$out"
echo "Screenshot saved to $out"
