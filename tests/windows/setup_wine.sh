#!/usr/bin/env bash
# The setup program and the zip as a Windows user meets them, under Wine in a
# fresh prefix of their own:
#  - the setup program's version resource carries VERSION;
#  - the zip holds exactly quimbrel.exe and quimbrel-measure.exe;
#  - `setup /S` installs both programs into Program Files\Quimbrel, an
#    all-users Start-menu shortcut and the Apps & features key (DisplayVersion
#    VERSION, the publisher); the installed quimbrel.exe shows its window
#    (Xvfb with Openbox) with VERSION in the caption;
#  - `setup /S /D=C:\Other Place\Q` installs there;
#  - each silent uninstaller leaves no file and no registry key of ours: the
#    prefix's files and its HKLM and HKCU keys are what they were before.
# Usage: tests/windows/setup_wine.sh SETUP_EXE ZIP VERSION SCRATCH_FOLDER
# The prefix lives in SCRATCH_FOLDER/setup-wine and goes at the end. Exit
# status: the number of failures.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
setup="$(realpath "${1:?usage: setup_wine.sh SETUP_EXE ZIP VERSION SCRATCH_FOLDER}")"
zip="$(realpath "$2")"
version="$3"
work="$(realpath -m "${4:?usage: setup_wine.sh SETUP_EXE ZIP VERSION SCRATCH_FOLDER}")/setup-wine"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
within() {
  local seconds="$1"; shift
  for ((i = 0; i < seconds * 5; i++)); do "$@" && return 0; sleep 0.2; done
  return 1
}

rm -rf "$work"
mkdir -p "$work/home" "$work/run" && chmod 700 "$work/run"
cleanup() {
  [ -n "${program:-}" ] && kill "$program" 2> /dev/null
  wineserver -k 2> /dev/null
  for p in ${openbox:-} ${xvfb:-}; do kill "$p" 2> /dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

echo "== the setup program's version resource, the zip"
if wrestool -x --raw --type=16 "$setup" > "$work/version.bin" 2> /dev/null && PYTHONPATH="$here" python3 - "$work/version.bin" "$version" << 'PY'
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

# A private home and runtime folder: Wine's menu entries and its sound
# driver's socket look there, and there is no sound server to find.
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" PULSE_SERVER="unix:$work/no-server"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wineboot -i > /dev/null 2>&1
wineserver -w
[ -e "$WINEPREFIX/system.reg" ] || { echo "FAIL: no Wine prefix made in $WINEPREFIX"; exit $((failures + 1)); }

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quimbrel'
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quimbrel.lnk"
# The prefix as the setup program may change it: every file and folder of
# drive_c, every key of the machine's and the user's registry and every value
# under their Software keys (elsewhere Wine itself rewrites values, such as
# the display driver's date at each start); but not the sound devices, which
# Wine registers when a program first opens one (Windows has them from the start).
snapshot() {
  (cd "$WINEPREFIX/drive_c" && find . | LC_ALL=C sort) > "$work/$1.files"
  for hive in HKLM HKCU; do wine reg query "$hive" /s 2> /dev/null | tr -d '\r' |
    awk '/^HKEY/ { key = $0; print; next } NF && key ~ /^HKEY_[A-Z_]+\\Software/ { print key ":" $0 }'; done |
    grep -v -e '^HKEY_CURRENT_USER\\Software\\Wine\\Drivers' -e '\\CurrentVersion\\MMDevices' |
    LC_ALL=C sort > "$work/$1.keys"
}
# Runs a Windows command line through cmd, which passes it on as it is
# written (NSIS wants /D= and _?= unquoted, spaces and all), and waits for
# every process of the prefix to end.
run() { wine cmd /c "$1" > /dev/null 2>&1; wineserver -w; }
installed() {
  local folder="$1" unix
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
  pass "$key: $(echo "$values" | grep -c REG_) values"
}
# The uninstaller copied out of the prefix and run with _?= on the folder,
# so that it waits and can take its own file away (as its copy in the
# temporary folder does when it starts from the folder itself).
uninstalled() {
  cp "$(winepath -u "$1")/uninstall.exe" "$work/uninstall.exe"
  run "$(winepath -w "$work/uninstall.exe") /S _?=$1"
  snapshot after
  local files keys
  files="$(comm -13 "$work/before.files" "$work/after.files")"
  keys="$(comm -13 "$work/before.keys" "$work/after.keys")"
  [ -z "$files" ] && pass "uninstalled from $1: no file left" || fail "left behind: $files"
  [ -z "$keys" ] && pass "uninstalled from $1: no registry key or value left" || fail "registry entries left behind: $keys"
}

echo "== setup /S"
snapshot before
wine "$setup" /S > /dev/null 2>&1 || fail "the setup program's exit status is not 0"
wineserver -w
installed 'C:\Program Files\Quimbrel'

Xvfb "${QUIMBREL_XVFB_DISPLAY:-:91}" -screen 0 1024x768x24 > /dev/null 2>&1 &
xvfb=$!
export DISPLAY="${QUIMBREL_XVFB_DISPLAY:-:91}"
within 10 xdpyinfo > /dev/null 2>&1 || fail "Xvfb did not start on $DISPLAY"
openbox > /dev/null 2>&1 &
openbox=$!
wine "$WINEPREFIX/drive_c/Program Files/Quimbrel/quimbrel.exe" > /dev/null 2>&1 &
program=$!
if within 60 eval 'window="$(xdotool search --onlyvisible --name "^Quimbrel" 2> /dev/null | head -n 1)"; [ -n "$window" ]'; then
  caption="$(xdotool getwindowname "$window")"
  [ "$caption" = "Quimbrel - V$version - Tamsvik" ] && pass "installed quimbrel.exe: caption '$caption'" ||
    fail "installed quimbrel.exe: caption '$caption', not 'Quimbrel - V$version - Tamsvik'"
else
  fail "the installed quimbrel.exe showed no window"
fi
kill "$program" 2> /dev/null
program=""
wineserver -k 2> /dev/null
wineserver -w
uninstalled 'C:\Program Files\Quimbrel'

echo "== setup /S /D=C:\\Other Place\\Q"
run "$(winepath -w "$setup") /S /D=C:\Other Place\Q"
installed 'C:\Other Place\Q'
uninstalled 'C:\Other Place\Q'

echo "$failures failure(s)"
exit "$failures"
