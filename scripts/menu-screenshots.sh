#!/usr/bin/env bash
# Pictures of the pause menu as a player sees it: the game in a window on a
# virtual X display (Xvfb) at the size asked, the keys pressed with xdotool,
# the screen taken with ImageMagick's import. Writes SIZE-menu.png,
# SIZE-controls.png and SIZE-choosing.png (waiting for a key for Punch) to
# build/screenshots/. Settings and the log go to a scratch folder.
#   scripts/menu-screenshots.sh [WIDTHxHEIGHT ...]     (default: 800x480 1600x960)
# Needs: xvfb, xdotool, imagemagick (apt-get install xvfb xdotool imagemagick).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
out="$build/screenshots"
[ -x "$build/tervalen" ] && [ -d "$build/game/data" ] || { echo "build the game first: cmake --build $build" >&2; exit 1; }
for tool in xvfb-run xdotool import; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install xvfb xdotool imagemagick" >&2; exit 1; }
done
mkdir -p "$out"
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(800x480 1600x960)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Run inside the virtual display: $1 the size, $2 the folder for the pictures.
cat >"$scratch/inside.sh" <<'EOF'
set -euo pipefail
size=$1 out=$2
XDG_CONFIG_HOME="$SCRATCH" XDG_STATE_HOME="$SCRATCH" SDL_AUDIODRIVER=dummy \
  build/tervalen --root build/game --seed 3 --frames 100000 >/dev/null &
game=$!
shot() { import -window root -crop "$size+0+0" "$out/$size-$1.png"; }
# One key at a time, each in a frame of its own even when the machine is busy.
keys() {
  for k in "$@"; do xdotool key "$k"; sleep 0.3; done
  sleep 0.3
}
sleep 4
window=$(xdotool search --sync --name Tervalen | head -n 1)
xdotool windowmove "$window" 0 0 windowfocus "$window"
sleep 1
keys Return Return   # the title menu: Play, then the first hero
xdotool keydown d; sleep 1; xdotool keyup d   # walk into the street a little
keys Escape; shot menu
keys Down Down Down Return; shot controls
keys Down Down Down Down Return; shot choosing
keys Escape Escape Escape
kill "$game"; wait "$game" || true
EOF

for size in "${sizes[@]}"; do
  [[ "$size" =~ ^([0-9]+)x([0-9]+)$ ]] || { echo "a size is WIDTHxHEIGHT, not $size" >&2; exit 2; }
  w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]}
  mkdir -p "$scratch/tervalen"
  printf 'window = %s\n' "$size" >"$scratch/tervalen/settings.ini"
  SCRATCH="$scratch" xvfb-run -a -s "-screen 0 $((w + 64))x$((h + 64))x24" bash "$scratch/inside.sh" "$size" "$out"
  echo "$out/$size-menu.png $out/$size-controls.png $out/$size-choosing.png"
done
