#!/usr/bin/env bash
# Writes headless screenshots of how the default game's blows feel, played by
# the built-in player, to docs/screenshots/: the last boss's panel (its name
# after BOSS) a moment after the hero first strikes it, and the first heavy
# blow's frame twice: knockdown-shake.png as the screen shakes, and
# knockdown-still.png with the player's screen-shake = off, for comparison.
#   scripts/feel-screenshots.sh [BUILD_DIR] [SEED]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
seed="${2:-1}"
out=docs/screenshots
[ -x "$build/tervalen" ] && [ -d "$build/game/data" ] || { echo "build the game first: cmake --build $build" >&2; exit 1; }
work=$(mktemp -d /tmp/tervalen-feel-shots-XXXXXX)
trap 'rm -rf "$work"' EXIT
"$build/tervalen" --root "$build/game" --headless --autoplay --seed "$seed" --frames 60000 --trace "$work/trace" >/dev/null
# The frame in which the hero's panel first names boss01.
boss=$(python3 - "$work/trace" <<'PY'
import json, sys
for line in open(sys.argv[1]):
    r = json.loads(line)
    t = r.get("target")
    if "frame" not in r or r.get("state") != 1 or t is None:
        continue
    fighters = len(r.get("players", [])) or 1
    if 0 <= t - fighters < len(r["enemies"]) and r["enemies"][t - fighters]["id"] == "boss01":
        print(r["frame"])
        break
PY
)
[ -n "$boss" ] || { echo "seed $seed never strikes boss01" >&2; exit 1; }
"$build/tervalen" --root "$build/game" --headless --autoplay --seed "$seed" --frames "$((boss + 40))" \
  --screenshot "$((boss + 30)):$out/boss-panel.png" >/dev/null
# The shake lives in the drawing, which follows it only over frames it draws:
# every frame of the first street's fight is drawn, with the screen shaking and
# with the player's screen-shake = off, and the first frame that differs is kept.
mkdir -p "$work/on" "$work/off" "$work/config/tervalen"
echo "screen-shake = off" >"$work/config/tervalen/settings.ini"
first=100 last=900
shots() { for f in $(seq "$first" "$last"); do echo "--screenshot $f:$1/$f.png"; done; }
# shellcheck disable=SC2046
"$build/tervalen" --root "$build/game" --headless --autoplay --seed "$seed" --frames "$((last + 1))" $(shots "$work/on") >/dev/null
# shellcheck disable=SC2046
XDG_CONFIG_HOME="$work/config" "$build/tervalen" --root "$build/game" --headless --autoplay --seed "$seed" \
  --frames "$((last + 1))" $(shots "$work/off") >/dev/null
shaken=""
for f in $(seq "$first" "$last"); do
  if ! cmp -s "$work/on/$f.png" "$work/off/$f.png"; then shaken=$f; break; fi
done
[ -n "$shaken" ] || { echo "seed $seed: no frame from $first to $last shakes" >&2; exit 1; }
cp "$work/on/$shaken.png" "$out/knockdown-shake.png"
cp "$work/off/$shaken.png" "$out/knockdown-still.png"
echo "frame $shaken shakes"
ls -1 "$out"/knockdown-*.png "$out"/boss-panel.png
