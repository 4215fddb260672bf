#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
set -euo pipefail
packages=(
  build-essential cmake ninja-build
  qt6-base-dev libqt6sql6-sqlite libsqlite3-dev libgl-dev
  fonts-liberation2 fonts-dejavu-core python3-fonttools
  xvfb xauth
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
  sqlite3 mdbtools strace
  postgresql libqt6sql6-psql libpq-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
