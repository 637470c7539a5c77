#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need.
# Only what is missing is installed; needs root when anything is.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-translations-l10n
  libxcb1-dev libxss-dev libgl-dev libbenchmark-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  fonts-noto-cjk
  xvfb xdotool x11-utils x11-xserver-utils imagemagick openbox dbus-daemon
)

bash "$(dirname "$0")/install-missing.sh" "${packages[@]}"
