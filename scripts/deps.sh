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
  librsvg2-bin desktop-file-utils appstream dpkg-dev groff-base lintian
  weston qt6-wayland tmux
  clang-14 libclang-rt-14-dev
  pulseaudio pulseaudio-utils libasound2-plugins
  pipewire pipewire-bin wireplumber dbus
  binutils-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 icoutils nsis
)

# The ARM cross builds (scripts/cross-test.sh): Debian's cross compilers,
# qemu-user to run what they build, and the arm64 and armhf libraries beside
# this machine's own (multiarch; quimbrel_add_foreign_architectures adds the
# architectures first). Qt's build-time tools are this machine's own.
QUIMBREL_CROSS_ARCHITECTURES=(arm64 armhf)
QUIMBREL_CROSS_PACKAGES=(
  crossbuild-essential-arm64 crossbuild-essential-armhf qemu-user-static qt6-base-dev-tools
  libasound2-dev:arm64 libgtest-dev:arm64 qt6-base-dev:arm64 libgl-dev:arm64
  libasound2-dev:armhf libgtest-dev:armhf libstdc++6:armhf libstdc++6:arm64
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

# Lets dpkg install packages of the cross builds' architectures; apt then
# needs their package lists.
quimbrel_add_foreign_architectures() {
  local sudo="" added=0 arch
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  for arch in "$@"; do
    if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
      $sudo dpkg --add-architecture "$arch"
      added=1
    fi
  done
  if [ "$added" -eq 1 ]; then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  quimbrel_install_packages "${QUIMBREL_PACKAGES[@]}"
  quimbrel_add_foreign_architectures "${QUIMBREL_CROSS_ARCHITECTURES[@]}"
  quimbrel_install_packages "${QUIMBREL_CROSS_PACKAGES[@]}"
fi
