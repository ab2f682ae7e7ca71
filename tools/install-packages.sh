#!/usr/bin/env bash
# Installs those of the named Debian packages that are not installed yet, as
# root or through sudo. Options before the names go to apt-get install.
#   tools/install-packages.sh [--no-install-recommends] PACKAGE...
set -euo pipefail

options=()
while [[ $# -gt 0 && $1 == -* ]]; do options+=("$1"); shift; done

missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${options[@]}" "${missing[@]}"
fi
