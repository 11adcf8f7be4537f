#!/usr/bin/env bash
# Writes two headless screenshots of the default game's stretches, played by
# the built-in player, to docs/screenshots/: the first street held a moment
# after its first stretch is cleared (the GO sign and its arrow up), and the
# harbour's two signed doors once they are open.
#   scripts/stage-screenshots.sh [BUILD_DIR] [SEED]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
seed="${2:-1}"
out=docs/screenshots
[ -x "$build/tervalen" ] && [ -d "$build/game/data" ] || { echo "build the game first: cmake --build $build" >&2; exit 1; }
trace=$(mktemp /tmp/tervalen-stage-shots-XXXXXX)
trap 'rm -f "$trace"' EXIT
"$build/tervalen" --root "$build/game" --headless --autoplay --seed "$seed" --frames 20000 --trace "$trace" >/dev/null
frameOf() { sed -E 's/^\{"frame":([0-9]+),.*/\1/;t;d'; }
# The GO sign blinks: 30 frames on from the moment it comes up.
go=$(grep -m1 '"scene":"Test".*"hold":{[^}]*"go":true' "$trace" | frameOf)
doors=$(grep -m1 '"scene":"harbor".*"doorsOpen":true' "$trace" | frameOf)
[ -n "$go" ] && [ -n "$doors" ] || { echo "seed $seed shows no GO sign in the street or no open doors in the harbour" >&2; exit 1; }
"$build/tervalen" --root "$build/game" --headless --autoplay --seed "$seed" --frames "$((doors + 200))" \
  --screenshot "$((go + 10)):$out/stage-go.png" --screenshot "$((doors + 60)):$out/stage-harbor-doors.png" >/dev/null
ls -1 "$out"/stage-*.png
