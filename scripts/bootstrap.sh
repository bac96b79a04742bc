#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Installs nothing when every package is already there, so it is cheap to call
# before every build.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3 python3-glad
  libglfw3-dev libgl-dev libegl-dev libx11-dev libxext-dev libxfixes-dev libgtk-3-dev libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth xdotool x11-utils imagemagick
  libgl1-mesa-dri libglx-mesa0 libegl-mesa0
  fonts-liberation xdg-utils openbox wmctrl python3-tk
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  xscreensaver xscreensaver-data
)

"$(dirname "$0")/install-packages.sh" "${packages[@]}"
