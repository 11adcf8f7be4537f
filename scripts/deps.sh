#!/usr/bin/env bash
# Installs the Debian packages the game, its tools and its tests need, when missing.
set -euo pipefail
packages=(
  build-essential cmake pkg-config git
  libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev
  libzip-dev zipcmp zipmerge ziptool zip unzip
  libmp3lame-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then sudo="sudo"; else
    echo "These packages are missing and you are not root: ${missing[*]}" >&2; exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
