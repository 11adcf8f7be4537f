#!/usr/bin/env bash
# Plays the built-in player headless with each hero on each level of
# difficulty over seeds 1 to 20 (by default) and prints, for each, the wins
# and the median hit points left at the end of the run (0 for a lost one).
#   scripts/measure-heroes.sh [BUILD_DIR] [STYLE] [FIRST_SEED] [LAST_SEED]
# STYLE is full (the default) or masher.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
style="${2:-full}"
first="${3:-1}"
last="${4:-20}"
[ -x "$build/tervalen" ] && [ -d "$build/game/data" ] || { echo "build the game first: cmake --build $build" >&2; exit 1; }
work=$(mktemp -d /tmp/tervalen-measure-XXXXXX)
trap 'rm -rf "$work"' EXIT
printf '%-12s %-7s %5s %10s\n' hero level wins "median hp"
for hero in c_morivane c_kaelin; do
  for level in easy normal hard; do
    wins=0
    : >"$work/hp"
    for seed in $(seq "$first" "$last"); do
      result=$(nice "$build/tervalen" --root "$build/game" --headless --autoplay-style "$style" --seed "$seed" \
        --frames 60000 --difficulty "$level" --hero "1=$hero" --trace "$work/trace" | tail -n 1)
      case "$result" in result=victory*) wins=$((wins + 1)) ;; esac
      # The hero's hit points in the trace's last line (its "player" record).
      tail -n 1 "$work/trace" | sed -E 's/.*"player":\{[^}]*"hp":(-?[0-9]+).*/\1/' >>"$work/hp"
    done
    median=$(sort -n "$work/hp" | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
    printf '%-12s %-7s %2d/%-2d %10s\n' "$hero" "$level" "$wins" "$((last - first + 1))" "$median"
  done
done
