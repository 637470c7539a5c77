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

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
