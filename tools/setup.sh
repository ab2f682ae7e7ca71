#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12 (bookworm).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libgl1-mesa-dev
  libgtest-dev libgmock-dev
  libsndfile1-dev
  fonts-dejavu-core xvfb xauth sox time
  qt6-svg-dev help2man bash-completion appstream desktop-file-utils
  dpkg-dev file lintian
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
