#!/usr/bin/env bash
# Builds and runs every test: the unit and game tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the install and package check (tests/install_test.sh),
# the browser's game when Emscripten and Chromium are there (tests/web_test.sh),
# then each fuzz target for a short fixed time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
jobs="$(nproc)"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTERVALEN_SANITIZE=ON -DTERVALEN_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" >/dev/null
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd build-asan && ctest --output-on-failure -j"$jobs" --timeout 900) | tee build-asan/ctest.log
tests=$(sed -nE 's/.* tests failed out of ([0-9]+).*/\1/p' build-asan/ctest.log | tail -n 1)

# The install, the installed game and the packages, from a lean Release build.
tests/install_test.sh build-pkg 2>&1 | tee build-asan/install-test.log
tests=$((tests + 1))

# The browser's game against the desktop's (tests/web_test.sh), when Emscripten
# and Chromium are installed and either the wasm libraries are built already
# (build-web/deps, kept between runs) or TERVALEN_WEB_TEST=1 asks for them to be
# built (a quarter of an hour or more on two cores). It reuses build-pkg's game
# folder and desktop game. TERVALEN_SKIP_WEB=1 leaves it out.
if [ "${TERVALEN_SKIP_WEB:-0}" != "1" ] && command -v emcc >/dev/null && command -v chromium >/dev/null &&
  { [ "${TERVALEN_WEB_TEST:-0}" = "1" ] || [ -f build-web/deps/stamp-libzip ]; }; then
  tests/web_test.sh build-pkg 2>&1 | tee build-asan/web-test.log
  tests=$((tests + 1))
fi

fuzzed=0
if [ "${TERVALEN_SKIP_FUZZ:-0}" != "1" ]; then
  scripts/fuzz.sh "${TERVALEN_FUZZ_SECONDS:-30}"
  fuzzed=$(ls fuzz/*.cpp | wc -l)
fi
echo "tests and fuzz targets: $((tests + fuzzed)) passed, 0 failed"
