#!/usr/bin/env bash
# Plays the built-in player headless over seeds 1 to 20 (by default) with the
# default hero on normal, and prints for each game its result, its length in
# minutes, the hit points left, the longest time (s) with enemies left, the
# doors shut and no enemy in view, and the longest time (s) a living boss stood
# at or past the view's edge while it fights; then the wins.
#   scripts/measure-stage.sh [BUILD_DIR] [FIRST_SEED] [LAST_SEED]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
first="${2:-1}"
last="${3:-20}"
[ -x "$build/tervalen" ] && [ -d "$build/game/data" ] || { echo "build the game first: cmake --build $build" >&2; exit 1; }
work=$(mktemp -d /tmp/tervalen-stage-XXXXXX)
trap 'rm -rf "$work"' EXIT
wins=0
: >"$work/results"
for seed in $(seq "$first" "$last"); do
  result=$(nice "$build/tervalen" --root "$build/game" --headless --autoplay --seed "$seed" --frames 90000 \
    --trace "$work/seed$seed.jsonl" | tail -n 1)
  echo "seed $seed: $result" >>"$work/results"
  case "$result" in result=victory*) wins=$((wins + 1)) ;; esac
done
cat "$work/results"
python3 scripts/stage-figures.py $(for s in $(seq "$first" "$last"); do echo "$work/seed$s.jsonl"; done)
echo "wins: $wins/$((last - first + 1))"
