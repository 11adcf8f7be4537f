#!/usr/bin/env bash
# Pictures of the title menu as a player sees it, in an 800x480 window on a
# virtual X display (Xvfb), the keys pressed with xdotool and the screen taken
# with ImageMagick's import: title.png, heroes.png (the hero select),
# scores.png (a table of earlier runs), ending.png (Kaelin's lost run on Hard) in
# build/screenshots/. Settings, the table and the log go to a scratch folder.
#   scripts/title-screenshots.sh
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
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/tervalen"
printf 'window = 800x480\n' >"$scratch/tervalen/settings.ini"
cat >"$scratch/tervalen/scores.txt" <<'EOF'
18450 KAE c_kaelin hard 2026-12-08 7:12
15210 MOR c_morivane normal 2026-12-07 6:58
12980 TWO c_morivane+c_kaelin normal 2026-12-08 6:31
9040 AAA c_kaelin easy 2026-12-09 6:05
EOF

cat >"$scratch/inside.sh" <<'EOF'
set -euo pipefail
out=$1
XDG_CONFIG_HOME="$SCRATCH" XDG_STATE_HOME="$SCRATCH" SDL_AUDIODRIVER=dummy \
  build/tervalen --root build/game --seed 3 >/dev/null &
game=$!
shot() { import -window root -crop "800x480+0+0" "$out/$1.png"; }
keys() {
  for k in "$@"; do xdotool key "$k"; sleep 0.3; done
  sleep 0.3
}
sleep 4
window=$(xdotool search --sync --name Tervalen | head -n 1)
xdotool windowmove "$window" 0 0 windowfocus "$window"
sleep 1
shot title
keys Down Down Down Down Return; shot scores
keys Return Up Up Right Up Up                   # back; Difficulty: Hard; on Play
keys Return Right; shot heroes                  # the hero select: Kaelin
keys Return
sleep 75; shot ending
keys Escape
kill "$game" 2>/dev/null; wait "$game" || true
EOF
SCRATCH="$scratch" xvfb-run -a -s "-screen 0 864x544x24" bash "$scratch/inside.sh" "$out"
ls -1 "$out"/title.png "$out"/scores.png "$out"/heroes.png "$out"/ending.png
