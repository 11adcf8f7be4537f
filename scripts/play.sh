#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh play
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTERVALEN_TESTS=OFF -DTERVALEN_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found, so the game window cannot open here."
  echo "Watch the built-in demo headless instead, saving pictures of it:"
  echo "  build/tervalen --root build/game --headless --autoplay --frames 3000 --screenshot 1500:demo.png"
  echo "or start a virtual display: xvfb-run -s '-screen 0 800x480x24' build/tervalen --root build/game --autoplay"
  exit 0
fi
exec build/tervalen --root build/game "$@"
