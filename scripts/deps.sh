#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail
packages=(cmake g++ make pkg-config
          qt6-base-dev qt6-serialport-dev qt6-charts-dev qt6-translations-l10n libqt6opengl6-dev libxkbcommon-dev libgl-dev
          libzip-dev gputils zip unzip srecord binutils xvfb xauth
          clang libclang-rt-14-dev poppler-utils libbenchmark-dev fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
