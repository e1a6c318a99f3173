# What the checks of the programs under Wine share; sourced by the
# *_wine_check.sh scripts. A check calls, in this order:
#   wine_check_begin NAME WHAT    a scratch folder ($work) removed at the end,
#                                 and the environment; without Wine it says
#                                 WHAT is not checked and passes, except in CI
#   start_desktop                 Xvfb with Openbox, for the window program
#   start_sound_server            a private PulseAudio server from $work/server.pa
#                                 (the check writes it), its socket $work/native
#   make_prefix                   the Wine prefix, QUIMBREL_WINEPREFIX or a fresh one
# A window check then starts the program, sets $main to its window and reads
# it with the helpers below. What the program tells in message boxes also goes to the
# debugger's log, which Wine writes as warnings of its "seh" channel; the
# program's output is $work/program.log.

readonly client_width=265 client_height=351 # the main window's client area, below its menu bar
readonly meter_left=48 meter_top=16         # the level meter's place in it
readonly meter_rows=287                     # the meter's height
readonly row_of_tone=44                     # the meter's row of -6.02 dB (MaxdB 0, MindB -40)
readonly lit_grey=153                       # a grey level above this is a lit bar (0 to 255)
readonly empty_x=110 empty_y=330            # a place where the window shows no control
source "$(dirname "${BASH_SOURCE[0]}")/checkresults.sh"

wine_check_cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2> /dev/null
  WINEPREFIX="$prefix" wineserver -k 2> /dev/null
  for f in player server openbox xvfb; do
    [ -r "$work/$f.pid" ] && kill -KILL "$(cat "$work/$f.pid")" 2> /dev/null
  done
  rm -rf "$work"
}

# wine_check_begin NAME WHAT [WINEDEBUG_CHANNELS]: extra channels (",trace+menu") add to "seh".
wine_check_begin() {
  if ! command -v wine > /dev/null; then
    if [ -n "${CI:-}" ]; then
      echo "FAIL: wine is missing (scripts/deps.sh installs it)"
      exit 1
    fi
    echo "SKIP: wine is missing, so $2 is not checked under Wine (scripts/deps.sh installs it)"
    exit 0
  fi
  work="$(mktemp -d "/tmp/quimbrel-$1-XXXXXX")"
  mkdir -p "$work/run" "$work/home" && chmod 700 "$work/run"
  trap wine_check_cleanup EXIT
  export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
  export PULSE_SERVER="unix:$work/native" PULSE_CLIENTCONFIG="$work/client.conf"
  echo "autospawn = no" > "$work/client.conf"
  export WINEDEBUG="-all,warn+seh${3:-}" WINEDLLOVERRIDES="mscoree,mshtml="
  prefix="$(realpath -m "${QUIMBREL_WINEPREFIX:-$work/prefix}")"
  export WINEPREFIX="$prefix"
}

start_desktop() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 3> "$work/display" > /dev/null 2>&1 &
  echo $! > "$work/xvfb.pid"
  disown # killed at the end, which is no news
  within 10 test -s "$work/display" || { echo "FAIL: Xvfb did not start"; exit 1; }
  export DISPLAY=":$(cat "$work/display")"
  openbox > /dev/null 2>&1 &
  echo $! > "$work/openbox.pid"
  disown
}

start_sound_server() {
  pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    -F "$work/server.pa" < /dev/null > "$work/server.log" 2>&1 &
  echo $! > "$work/server.pid"
  disown
  within 10 pactl info > /dev/null 2>&1 || { echo "FAIL: the sound server did not start"; return 1; }
}

# play SINK FILE: the file played into the sink, as the check's one player.
play() {
  paplay --device="$1" "$2" < /dev/null > /dev/null 2>&1 &
  echo $! > "$work/player.pid"
  disown
}

make_prefix() {
  if [ ! -e "$prefix/system.reg" ]; then
    echo "making a Wine prefix in $prefix"
    wineboot -i > /dev/null 2>&1
    wineserver -w
  fi
  # A prefix made by another check links the user's folders (Desktop,
  # Documents ...) to that check's home, gone by now, and Wine's Open dialog
  # then shows no folder at all: they are linked to this check's home.
  local link
  for link in "$prefix"/drive_c/users/*/*; do
    if [ -L "$link" ] && [ ! -e "$link" ]; then ln -sfn "$HOME" "$link"; fi
  done
}

# A screenshot of the main window; the client area is its bottom
# client_height rows, below the menu bar.
shot() {
  import -window "$main" "$work/shot.png" 2> /dev/null || return 1
  shot_height="$(identify -format %h "$work/shot.png")"
}
# The grey level (0 to 1) of a client-area rectangle: FX over it, as one number.
measure() {
  local x="$1" y="$2" w="$3" h="$4" fx="$5"
  convert "$work/shot.png" -crop "${w}x${h}+${x}+$((shot_height - client_height + y))" +repage \
    -format "%[fx:$fx]" info:
}
# The first row of a bar (from the meter's top) that is lit, in the bar's
# column X of the last shot, or "none".
bar_top() {
  local x="$1" row=0 level
  for level in $(convert "$work/shot.png" -crop "1x${meter_rows}+$((meter_left + x))+$((shot_height - client_height + meter_top + 1))" \
    +repage -colorspace gray -depth 8 gray:- | od -An -v -tu1); do
    row=$((row + 1))
    if ((level > lit_grey)); then echo "$row"; return; fi
  done
  echo none
}
# Both bars' first lit rows, as left and right.
bars() { shot && left="$(bar_top 10)" right="$(bar_top 30)"; }
near_tone() { [ "$1" != none ] && (($1 >= row_of_tone - 1 && $1 <= row_of_tone + 1)); }
bars_at_tone() { bars && near_tone "$left" && near_tone "$right"; }
window_named() { found="$(xdotool search --onlyvisible --name "$1" 2> /dev/null | head -n 1)"; [ -n "$found" ]; }
logged() { grep -q "$1" "$work/program.log"; }
# The capture streams at full volume: Wine's can start lower on the server.
# The volumes found are noted.
full_volume() {
  for output in $(pactl list short source-outputs 2> /dev/null | cut -f1); do
    echo "note: capture stream $output at $(pactl list source-outputs 2> /dev/null |
      sed -n "/^Source Output #$output\$/,/^$/s/^[[:space:]]*Volume: //p" | head -n 1)"
    pactl set-source-output-volume "$output" 100%
  done
}

# Ends the check: the failures, with the end of the program's output.
wine_check_end() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures failure(s); the program's output:"
    grep -v "^[0-9a-f]*:\(fixme\|trace\)" "$work/program.log" | tail -n 20
    exit 1
  fi
  echo "all checks passed"
}
