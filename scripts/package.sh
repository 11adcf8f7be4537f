#!/usr/bin/env bash
# Makes the Debian package and the .tar.gz of the game from a lean Release build
# (no sanitizers, no tests or benchmarks) in its own build folder:
#   scripts/package.sh [BUILD_DIR]      (default build-pkg)
# and prints the two files' paths. Install the .deb with
#   sudo apt install ./build-pkg/tervalen_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-pkg}"
scripts/deps.sh package
# Source paths are written relative to the source folder, so that no path of
# this machine ends up in the programs.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTERVALEN_SANITIZE=OFF -DTERVALEN_TESTS=OFF \
  -DTERVALEN_BENCH=OFF -DTERVALEN_FUZZ=OFF -DTERVALEN_GAME_FOLDER=ON \
  "-DCMAKE_CXX_FLAGS=-ffile-prefix-map=$PWD/=" "-DCMAKE_C_FLAGS=-ffile-prefix-map=$PWD/=" >/dev/null
cmake --build "$build" --target tervalen tervalen-data -j"$(nproc)"
rm -f "$build"/tervalen_*.deb "$build"/tervalen-*.tar.gz
(cd "$build" && cpack -G "DEB;TGZ" >cpack.log) || { cat "$build/cpack.log"; exit 1; }
ls -1 "$build"/tervalen_*.deb "$build"/tervalen-*.tar.gz
