#!/usr/bin/env bash
# Writes headless screenshots of the default game, played by the built-in
# player, to build/screenshots/: every scene, a fight with hit sparks, and the
# ending screen. Needs a built game (scripts/play.sh or cmake --build build).
# The default seeds 1 and 5 take different ways (1: the rooftops and the yard,
# 5: the market and the warehouse), so together they picture all eight scenes;
# the fights and the ending are the first seed's. The script says which scenes
# its seeds missed.
#   scripts/screenshots.sh [BUILD_DIR] [SEED ...]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
shift || true
seeds=("$@")
[ ${#seeds[@]} -gt 0 ] || seeds=(1 5)
out="$build/screenshots"
game="$build/game"
[ -x "$build/tervalen" ] && [ -d "$game/data" ] || { echo "build the game first: cmake --build $build" >&2; exit 1; }
mkdir -p "$out"
trace="$out/trace.jsonl"

# The frame of a trace line (the first line of a trace is its header, not a frame).
frameOf() { sed -E 's/^\{"frame":([0-9]+),.*/\1/;t;d'; }

for seed in "${seeds[@]}"; do
  # First pass: play and keep the trace, to find the moments worth a picture.
  "$build/tervalen" --root "$game" --headless --autoplay --seed "$seed" --frames 60000 --trace "$trace" >/dev/null

  shots=()
  # Each scene a little after the player arrives.
  while read -r frame scene; do
    shots+=(--screenshot "$((frame + 250)):$out/scene-$scene.png")
  done < <(sed -E 's/^\{"frame":([0-9]+),"state":1,"scene":"([^"]*)".*/\1 \2/;t;d' "$trace" | awk '$2 != last { print; last = $2 }')
  if [ "$seed" = "${seeds[0]}" ]; then
    # A fight: two frames after an enemy is first frozen by a hit (the spark is up).
    hit=$(grep -m1 -E '"enemies":\[.*"freeze":[1-9]' "$trace" | frameOf)
    [ -n "$hit" ] && shots+=(--screenshot "$((hit + 2)):$out/fight.png")
    # A later, busier fight in the last scene.
    boss=$(grep -E '"scene":"zd".*"enemies":\[.*"freeze":[1-9]' "$trace" | sed -n '40p' | frameOf)
    [ -n "$boss" ] && shots+=(--screenshot "$((boss + 2)):$out/fight-zd.png")
    # The ending screen, a moment after the game is over.
    over=$(grep -m1 '"gameOver":true' "$trace" | frameOf)
    [ -n "$over" ] && shots+=(--screenshot "$((over + 60)):$out/ending.png")
  fi

  # Second pass: the same seed plays the same game; take the pictures.
  "$build/tervalen" --root "$game" --headless --autoplay --seed "$seed" --frames 60000 "${shots[@]}" >/dev/null
  rm -f "$trace"
done
ls -1 "$out"/*.png
# Every scene of the game folder should have its picture.
missing=()
for scene in "$game"/data/scene/*.dat; do
  id=$(basename "$scene" .dat)
  [ -e "$out/scene-$id.png" ] || missing+=("$id")
done
[ ${#missing[@]} -eq 0 ] || echo "no picture of: ${missing[*]} (these seeds do not go there)" >&2
