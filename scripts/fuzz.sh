#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of
# seconds (default 30) on its corpus, with the flags of fuzz/<target>.options
# when there is one, as many at a time as there are cores; fails on any finding.
#   scripts/fuzz.sh 600          # ten minutes per target
#   scripts/fuzz.sh 60 fuzz_chara # one target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"; shift || true
cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-O1 -g -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined" \
  -DTERVALEN_FUZZ=ON -DTERVALEN_TESTS=OFF -DTERVALEN_BENCH=OFF -DTERVALEN_GAME_FOLDER=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
# libzip leaks on some malformed archives; leaks are not what these targets look for.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
# One target: its corpus, its flags, its run; prints its lines when it is done
# (targets run side by side, one per core).
fuzz_one() {
  local t="$1" corpus="build-fuzz/corpus/$1" flags=() flag
  mkdir -p "$corpus"
  [ -d "fuzz/corpus/$t" ] && cp -n fuzz/corpus/"$t"/* "$corpus"/ 2>/dev/null || true
  # fuzz/<target>.options: more libFuzzer flags for one target, one a line (# comments).
  if [ -f "fuzz/$t.options" ]; then
    while read -r flag; do
      [ -n "$flag" ] && flags+=("$flag")
    done < <(sed -e 's/#.*//' -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' "fuzz/$t.options")
  fi
  if ! (cd build-fuzz && ./"$t" -max_total_time="$seconds" -print_final_stats=1 "${flags[@]}" "corpus/$t" \
        2>"fuzz-$t.log"); then
    tail -n 60 "build-fuzz/fuzz-$t.log"
    echo "fuzz target $t found a problem"
    return 1
  fi
  echo "fuzzed $t for ${seconds}s ${flags[*]}: $(grep -E "stat::number_of_executed_units" "build-fuzz/fuzz-$t.log" | tail -n 1)"
}
jobs="$(nproc)"
running=0
failed=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  fuzz_one "$t" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
[ "$failed" -eq 0 ] || { echo "a fuzz target found a problem"; exit 1; }
