#!/usr/bin/env bash
# The setup program and the zip as a Windows user meets them, under Wine in a
# fresh prefix of their own:
#  - the setup program's version resource carries VERSION;
#  - the zip holds exactly quimbrel.exe and quimbrel-measure.exe;
#  - `setup /S` installs both programs into Program Files\Quimbrel, an
#    all-users Start-menu shortcut and the Apps & features key (DisplayVersion
#    VERSION, the publisher); the installed quimbrel.exe shows its window
#    (Xvfb with Openbox, a private PulseAudio server) with VERSION in the
#    caption, and opens the recording device;
#  - `setup /S /D=C:\Other Place\Q` installs there, and `setup /S` then
#    installs into the same folder again;
#  - each silent uninstaller leaves the prefix's files and registry as they
#    were before: nothing of ours left, nothing else taken.
# Usage: tests/windows/setup_wine.sh SETUP_EXE ZIP VERSION SCRATCH_FOLDER
# The prefix lives in SCRATCH_FOLDER/setup-wine and goes at the end. The
# desktop is QUIMBREL_XVFB_DISPLAY when given, else a free display. Exit
# status: the number of failures.
set -uo pipefail
usage="usage: setup_wine.sh SETUP_EXE ZIP VERSION SCRATCH_FOLDER"
here="$(cd "$(dirname "$0")" && pwd)"
setup="$(realpath "${1:?$usage}")"
zip="$(realpath "${2:?$usage}")"
version="${3:?$usage}"
work="$(realpath -m "${4:?$usage}")/setup-wine"

source "$here/checkresults.sh"

rm -rf "$work"
mkdir -p "$work/home" "$work/run" && chmod 700 "$work/run"
cleanup() {
  [ -n "${program:-}" ] && kill "$program" 2> /dev/null
  wineserver -k 2> /dev/null
  for p in ${server:-} ${openbox:-} ${xvfb:-}; do kill "$p" 2> /dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

echo "== the setup program's version resource, the zip"
if wrestool -x --raw --type=16 "$setup" > "$work/version.bin" 2> /dev/null &&
  PYTHONPATH="$here" python3 - "$work/version.bin" "$version" << 'PY'
import sys
from exe_check import read_version
found = read_version(open(sys.argv[1], "rb").read())
wanted = tuple(int(p) for p in sys.argv[2].split("."))
strings = [table.get("ProductVersion") for table in found["tables"].values()]
ok = found["FILEVERSION"] == found["PRODUCTVERSION"] == wanted and strings == [sys.argv[2]]
print("version %s, ProductVersion %s" % (".".join(map(str, found["FILEVERSION"])), strings))
sys.exit(0 if ok else 1)
PY
then pass "setup program's version resource"; else fail "setup program's version resource is not $version"; fi
names="$(python3 -c 'import sys, zipfile; print(" ".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")"
[ "$names" = "quimbrel-measure.exe quimbrel.exe" ] && pass "zip holds $names" || fail "zip holds '$names'"

# A private home, runtime folder and sound server (without a recording
# device the program says so in a message box): Wine's menu entries and its
# sound driver look there.
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
export PULSE_SERVER="unix:$work/native" PULSE_CLIENTCONFIG="$work/client.conf"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wineboot -i > /dev/null 2>&1
wineserver -w
[ -e "$WINEPREFIX/system.reg" ] || { echo "FAIL: no Wine prefix made in $WINEPREFIX"; exit $((failures + 1)); }

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quimbrel'
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quimbrel.lnk"
# The prefix as the setup program may change it: every file and folder of
# drive_c, every key of the machine's and the user's registry and every value
# under their Software keys (elsewhere Wine itself rewrites values, such as
# the display driver's date at each start). Not what Wine does by itself,
# sooner or later after a start, and Windows has from the start: its sound
# devices, its compiled device descriptions (windows\inf\*.pnf) and its own
# settings (HKCU\Software\Wine, such as the desktop's while it runs).
snapshot() {
  (cd "$WINEPREFIX/drive_c" && find . | grep -v '^\./windows/inf/.*\.pnf$' | LC_ALL=C sort) > "$work/$1.files"
  for hive in HKLM HKCU; do wine reg query "$hive" /s 2> /dev/null | tr -d '\r' |
    awk '/^HKEY/ { key = $0; print; next } NF && key ~ /^HKEY_[A-Z_]+\\Software/ { print key ":" $0 }'; done |
    grep -Ev -e '^HKEY_CURRENT_USER\\Software\\Wine($|:|\\)' -e '\\CurrentVersion\\MMDevices' |
    LC_ALL=C sort > "$work/$1.keys"
}
# Runs a Windows command line through cmd, which passes it on as it is
# written (NSIS wants /D= and _?= unquoted, spaces and all), and waits for
# every process of the prefix to end.
run() { wine cmd /c "$1" > /dev/null 2>&1; wineserver -w; }
installed() {
  local folder="$1" unix values before=$failures
  unix="$(winepath -u "$folder" 2> /dev/null)"
  for f in quimbrel.exe quimbrel-measure.exe uninstall.exe; do
    [ -f "$unix/$f" ] || { fail "no $f in $folder"; return 1; }
  done
  pass "quimbrel.exe, quimbrel-measure.exe and uninstall.exe in $folder"
  [ -f "$shortcut" ] && grep -qa "quimbrel.exe" "$shortcut" &&
    pass "Start-menu shortcut to quimbrel.exe" || fail "no Start-menu shortcut to quimbrel.exe"
  values="$(wine reg query "$key" 2> /dev/null | tr -d '\r')"
  for value in "DisplayVersion REG_SZ $version" "Publisher REG_SZ Tamsvik" "InstallLocation REG_SZ $folder" \
    "QuietUninstallString REG_SZ \"$folder\\uninstall.exe\" /S" "NoModify REG_DWORD 0x1"; do
    echo "$values" | sed 's/^ *//; s/    / /g' | grep -qxF "$value" || fail "no '$value' in $key"
  done
  [ "$failures" = "$before" ] && pass "$key: $(echo "$values" | grep -c REG_) values"
}
# The uninstaller copied out of the prefix and run with _?= on the folder,
# so that it waits and can take its own file away (as its copy in the
# temporary folder does when it starts from the folder itself).
uninstalled() {
  local files keys
  cp "$(winepath -u "$1")/uninstall.exe" "$work/uninstall.exe"
  run "$(winepath -w "$work/uninstall.exe") /S _?=$1"
  snapshot after
  # Lines of the "before" list alone are indented: taken away, not left behind.
  files="$(comm -3 "$work/after.files" "$work/before.files")"
  keys="$(comm -3 "$work/after.keys" "$work/before.keys")"
  [ -z "$files" ] && pass "uninstalled from $1: the files are as before" || fail "files left or taken: $files"
  [ -z "$keys" ] && pass "uninstalled from $1: the registry is as before" ||
    fail "registry entries left or taken: $keys"
}
start_desktop() {
  if [ -n "${QUIMBREL_XVFB_DISPLAY:-}" ]; then
    echo "${QUIMBREL_XVFB_DISPLAY#:}" > "$work/display"
    Xvfb "$QUIMBREL_XVFB_DISPLAY" -screen 0 1024x768x24 > /dev/null 2>&1 &
  else
    Xvfb -displayfd 3 -screen 0 1024x768x24 3> "$work/display" > /dev/null 2>&1 &
  fi
  xvfb=$!
  within 10 test -s "$work/display" || { fail "Xvfb did not start"; return 1; }
  export DISPLAY=":$(cat "$work/display")"
  within 10 xdpyinfo > /dev/null 2>&1 || { fail "Xvfb did not start on $DISPLAY"; return 1; }
  openbox > /dev/null 2>&1 &
  openbox=$!
  echo "autospawn = no" > "$work/client.conf"
  printf '%s\n' "load-module module-native-protocol-unix socket=$work/native auth-anonymous=1" \
    "load-module module-null-sink sink_name=receiver" "set-default-source receiver.monitor" > "$work/server.pa"
  pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    -F "$work/server.pa" < /dev/null > /dev/null 2>&1 &
  server=$!
  within 10 pactl info > /dev/null 2>&1 || { fail "the sound server did not start"; return 1; }
}
main_window() { window="$(xdotool search --onlyvisible --name "^Quimbrel - " 2> /dev/null | head -n 1)"; [ -n "$window" ]; }
# Message boxes also go to the debugger's log, which Wine writes as warnings of its "seh" channel.
started() {
  WINEDEBUG=-all,warn+seh wine "$(winepath -u "$1")/quimbrel.exe" > "$work/program.log" 2>&1 &
  program=$!
  within 60 main_window || { fail "the installed quimbrel.exe showed no window"; return 1; }
  caption="$(xdotool getwindowname "$window")"
  [ "$caption" = "Quimbrel - V$version - Tamsvik" ] && pass "installed quimbrel.exe: caption '$caption'" ||
    fail "installed quimbrel.exe: caption '$caption', not 'Quimbrel - V$version - Tamsvik'"
  # The input opens by itself at start-up. (What a silent, idle server does
  # to the stream later is window_wine_check.sh's: under load Wine's driver
  # can go two seconds without data and the program then says so.)
  if within 5 grep -q "Error [0-9]* opening" "$work/program.log"; then
    fail "installed quimbrel.exe says: $(grep -o "Error [0-9]* opening[^\\]*" "$work/program.log" | head -n 1)"
  else
    pass "installed quimbrel.exe opened the recording device"
  fi
}

echo "== setup /S"
snapshot before
wine "$setup" /S > /dev/null 2>&1 || fail "the setup program's exit status is not 0"
wineserver -w
installed 'C:\Program Files\Quimbrel'
start_desktop && started 'C:\Program Files\Quimbrel'
[ -n "${program:-}" ] && kill "$program" 2> /dev/null
program=""
wineserver -k 2> /dev/null
wineserver -w
uninstalled 'C:\Program Files\Quimbrel'

echo "== setup /S /D=C:\\Other Place\\Q"
run "$(winepath -w "$setup") /S /D=C:\Other Place\Q"
installed 'C:\Other Place\Q'
# Installed again without /D (as a newer version would be): into the same folder.
run "$(winepath -w "$setup") /S"
[ ! -e "$WINEPREFIX/drive_c/Program Files/Quimbrel" ] && installed 'C:\Other Place\Q' ||
  fail "installed again without /D: not into the folder of the earlier installation"
uninstalled 'C:\Other Place\Q'

echo "$failures failure(s)"
exit "$failures"
