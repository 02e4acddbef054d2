#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the GUI checks need.
# Safe to run again: when everything is present it returns after one dpkg query.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3
  libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev libgtk-3-dev
  libgl1-mesa-dev libegl-dev libegl1-mesa-dev libgl1-mesa-dri libglu1-mesa-dev
  libfreetype-dev libfontconfig-dev zlib1g-dev libcurl4-openssl-dev libstb-dev libcairo2-dev libzip-dev
  fonts-ipafont-gothic
  xvfb xauth xdotool imagemagick x11-utils libx11-dev openbox
  gettext librsvg2-bin poppler-utils help2man desktop-file-utils appstream file
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
