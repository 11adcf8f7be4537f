#!/usr/bin/env bash
# Plays one game over the network on this machine (127.0.0.1 only): a headless
# host and a headless joiner, the built-in player at each, every packet they
# send held and lost as --net-sim says. Prints both result lines, both
# machines' --stats, and whether their recordings (every seat's agreed keys
# and the checksums they compared) are the same file.
#   scripts/measure-netplay.sh [LATENCY,JITTER,LOSS] [FRAMES] [SEED] [BUILD_DIR]
# FRAMES 0 (the default) plays the whole game.
set -euo pipefail
cd "$(dirname "$0")/.."
sim="${1:-80,20,5}"
frames="${2:-0}"
seed="${3:-1}"
build="${4:-build}"
[ -x "$build/tervalen" ] && [ -d "$build/game/data" ] || { echo "build the game first: cmake --build $build" >&2; exit 1; }
work=$(mktemp -d /tmp/tervalen-netplay-XXXXXX)
trap 'rm -rf "$work"' EXIT
port=$((20000 + RANDOM % 20000))
limit=()
[ "$frames" != 0 ] && limit=(--frames "$frames")
game=(--root "$build/game" --headless --autoplay --stats --net-sim "$sim" "${limit[@]}")
"$build/tervalen" "${game[@]}" --seed "$seed" --players 2 --host "$port" --record "$work/host.replay" \
  >"$work/host.out" 2>"$work/host.err" &
host=$!
sleep 0.5
"$build/tervalen" "${game[@]}" --join "127.0.0.1:$port" --record "$work/join.replay" >"$work/join.out" 2>"$work/join.err"
wait "$host"
echo "net-sim $sim, seed $seed"
echo "host:   $(tail -n 1 "$work/host.out")"
echo "joiner: $(tail -n 1 "$work/join.out")"
echo "host:   $(grep '^online:' "$work/host.err")"
echo "joiner: $(grep '^online:' "$work/join.err")"
if cmp -s "$work/host.replay" "$work/join.replay"; then
  echo "recordings: the same ($(grep -c ' check ' "$work/host.replay") checks agreed)"
else
  echo "recordings: DIFFERENT"
  exit 1
fi
