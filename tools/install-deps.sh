#!/usr/bin/env bash
# Installs every Debian package needed to build, run and test the program.
# Safe to run again: it does nothing when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev libx11-dev
  libgl1-mesa-dri libglx-mesa0
  fonts-liberation2
  googletest libgtest-dev libbenchmark-dev
  python3 xvfb xkb-data x11-xkb-utils xauth xdotool openbox x11-utils x11-apps imagemagick
  procps xclip libxdamage1
  desktop-file-utils appstream dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
