#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quimbrel need.
# Only missing packages are installed; sudo is used when not root.
set -euo pipefail

QUIMBREL_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev
  libasound2-dev alsa-utils
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth x11-utils imagemagick openbox xdotool wmctrl
  fonts-dejavu-core fonts-liberation
  sox python3 time
  ffmpeg sndfile-programs
  binutils-mingw-w64-x86-64
  g++-mingw-w64-x86-64-posix wine wine64
  librsvg2-bin desktop-file-utils appstream dpkg-dev groff-base lintian
  weston qt6-wayland tmux
  clang-14 libclang-rt-14-dev
  pulseaudio pulseaudio-utils libasound2-plugins
  pipewire pipewire-bin wireplumber dbus
  g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 icoutils
)

# What scripts/screenshot.sh needs beyond those: a window manager, and a
# keyboard for the Input menu.
QUIMBREL_SCREENSHOT_PACKAGES=(openbox xdotool)

quimbrel_install_packages() {
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  quimbrel_install_packages "${QUIMBREL_PACKAGES[@]}"
fi
