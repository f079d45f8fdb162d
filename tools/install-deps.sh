#!/usr/bin/env bash
# Installs the Debian 12 packages the game needs to build, run and test.
set -euo pipefail
PACKAGES=(
  g++ make cmake ninja-build pkg-config
  libogre-1.12-dev libois-dev libx11-dev libopenal-dev libasound2-dev libsndfile1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils libgl1-mesa-dri
  fonts-dejavu-core sox libsox-fmt-mp3 lame
)
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
