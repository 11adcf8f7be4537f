#!/usr/bin/env bash
# Installs the Debian packages that are missing for what you are about to do:
#   scripts/deps.sh            what playing needs: compiler, CMake, the libraries, lame for the music,
#                              libpng and libimagequant for the pictures
#   scripts/deps.sh package    that, and what scripts/package.sh needs to make the .deb
#   scripts/deps.sh test       everything: that, and the tests', fuzzers' and install check's tools
set -euo pipefail
play=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libzip-dev
  libmp3lame-dev libpng-dev libimagequant-dev libenet-dev zlib1g-dev
)
package=(dpkg-dev file)
test=(
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool zip unzip
  desktop-file-utils appstream man-db librsvg2-bin lintian
)
packages=("${play[@]}")
case "${1:-play}" in
  play) ;;
  package) packages+=("${package[@]}") ;;
  test) packages+=("${package[@]}" "${test[@]}") ;;
  *) echo "usage: scripts/deps.sh [play|package|test]" >&2; exit 2 ;;
esac
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
