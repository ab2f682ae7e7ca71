#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12 (bookworm).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libgl1-mesa-dev
  libgtest-dev libgmock-dev libgmp-dev
  libsndfile1-dev
  libacl1-dev libattr1-dev
  libpulse-dev pulseaudio pulseaudio-utils python3 qt6-multimedia-dev
  fonts-dejavu-core xvfb xauth sox
  qt6-svg-dev scdoc man-db bash-completion appstream desktop-file-utils
  shared-mime-info xdg-utils libfile-mimeinfo-perl  # the desktop's view of the file type
  dpkg-dev file lintian
)

"$(dirname "$0")/install-packages.sh" "${packages[@]}"
