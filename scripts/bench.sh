#!/usr/bin/env bash
# Measures the game against its performance goals in one run and prints each
# as measured / goal (a ratio at or below 1 meets the goal), with the minimum,
# median and maximum of RUNS runs. Windowed figures come from one private
# Xvfb display, the game and a bare SDL loop (tervalen-pacing-probe) taking
# turns on it, so the two are compared on the same machine at the same time.
#
#   scripts/bench.sh [BUILD]     (default: build; needs a Release build with
#                                 tervalen, tervalen_bench, tervalen-pacing-probe)
#   RUNS=5 FRAMES=3000 scripts/bench.sh
set -euo pipefail

BUILD=${1:-build}
RUNS=${RUNS:-5}
FRAMES=${FRAMES:-3000}
GAME="$BUILD/tervalen"
ROOT="$BUILD/game"
for f in "$GAME" "$BUILD/tervalen_bench" "$BUILD/tervalen-pacing-probe"; do
  [[ -x $f ]] || { echo "bench.sh: $f is missing: build it first" >&2; exit 2; }
done
[[ -d $ROOT ]] || { echo "bench.sh: no game folder $ROOT" >&2; exit 2; }
WORK=$(mktemp -d)
XVFB_PID=
cleanup() {
  [[ -n $XVFB_PID ]] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

# min median max of the numbers on standard input, one a line.
mmm() { sort -g | awk '{v[NR]=$1} END {if (NR == 0) {print "n/a n/a n/a"; exit}
  m = NR % 2 ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2; printf "%.3f %.3f %.3f\n", v[1], m, v[NR]}'; }
# "name: min/median/max unit, goal G: ratio r (median)"
report() {  # name unit goal "min med max"
  read -r lo mid hi <<<"$4"
  awk -v n="$1" -v u="$2" -v g="$3" -v lo="$lo" -v mid="$mid" -v hi="$hi" 'BEGIN {
    r = (g > 0 && mid != "n/a") ? sprintf("%.2f", mid / g) : "n/a";
    printf "%-46s %10s / %10s / %10s %-3s  goal %-7s measured/goal %s\n", n, lo, mid, hi, u, g, r }'
}
# Wall milliseconds of a whole command.
wall_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

echo "Tervalen performance goals: $RUNS runs each, min / median / max ($(nproc) cores, $(date -u +%FT%TZ))"

# 1. Start-up: a whole run of one frame, headless.
for _ in $(seq "$RUNS"); do wall_ms "$GAME" --root "$ROOT" --headless --frames 1; done | mmm >"$WORK/start-headless"
report "first frame, headless (whole run)" ms 150 "$(cat "$WORK/start-headless")"
# The same from --stats: when the first picture was drawn (to 10 ms).
first_picture() { "$@" --frames 5 --stats 2>&1 >/dev/null | sed -n 's/.*first picture \([0-9.]*\) ms.*/\1/p'; }
for _ in $(seq "$RUNS"); do first_picture "$GAME" --root "$ROOT" --headless; done | mmm >"$WORK/first-headless"
report "first picture, headless (--stats)" ms 150 "$(cat "$WORK/first-headless")"

# A private display for every windowed figure.
for n in $(seq 90 120); do
  if [[ ! -e /tmp/.X$n-lock ]]; then DISPLAY_NUMBER=$n; break; fi
done
Xvfb ":$DISPLAY_NUMBER" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
export DISPLAY=":$DISPLAY_NUMBER"
for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$DISPLAY_NUMBER ]] && break; sleep 0.1; done
export SDL_AUDIODRIVER=dummy

for _ in $(seq "$RUNS"); do wall_ms "$GAME" --root "$ROOT" --frames 1; done | mmm >"$WORK/start-window"
report "first frame, windowed under Xvfb (whole run)" ms 300 "$(cat "$WORK/start-window")"
for _ in $(seq "$RUNS"); do first_picture "$GAME" --root "$ROOT"; done | mmm >"$WORK/first-window"
report "first picture, windowed under Xvfb (--stats)" ms 300 "$(cat "$WORK/first-window")"

# 2. Scene changes: the longest frame of a whole game played headless (seed
# 1 uses every door), and of FRAMES frames in the window.
for _ in $(seq "$RUNS"); do
  "$GAME" --root "$ROOT" --headless --autoplay --seed 1 --frames 40000 --stats 2>&1 >/dev/null |
    sed -n 's/.*longest \([0-9.]*\) ms.*/\1/p'
done | mmm >"$WORK/longest-headless"
report "longest frame of a whole game, headless" ms 10 "$(cat "$WORK/longest-headless")"

# 3. Windowed pacing: the game and the bare loop in turn, FRAMES frames each.
: >"$WORK/late-game"; : >"$WORK/late-probe"; : >"$WORK/cpu-game"; : >"$WORK/cpu-probe"; : >"$WORK/ratio"
for _ in $(seq "$RUNS"); do
  /usr/bin/time -f "%e %U %S" -o "$WORK/time" "$GAME" --root "$ROOT" --autoplay --seed 1 --frames "$FRAMES" --stats \
    >/dev/null 2>"$WORK/game-err" || true
  game_late=$(sed -n 's/.*, \([0-9]*\) later than 2 ms.*/\1/p' "$WORK/game-err" | tail -1)
  echo "${game_late:-n/a}" >>"$WORK/late-game"
  sed -n 's/.*longest \([0-9.]*\) ms.*/\1/p' "$WORK/game-err" | tail -1 >>"$WORK/longest-window"
  awk '{ if ($1 > 0) printf "%.1f\n", 100 * ($2 + $3) / $1 }' "$WORK/time" >>"$WORK/cpu-game"
  "$BUILD/tervalen-pacing-probe" "$FRAMES" >"$WORK/probe" 2>&1 || true
  probe_late=$(sed -n 's/.*, \([0-9]*\) later than 2 ms.*/\1/p' "$WORK/probe")
  echo "${probe_late:-n/a}" >>"$WORK/late-probe"
  sed -n 's/.*cpu \([0-9.]*\)%.*/\1/p' "$WORK/probe" >>"$WORK/cpu-probe"
  # Paired: the game's late frames over the loop's in the same turn (one late frame added to both).
  awk -v g="${game_late:-0}" -v p="${probe_late:-0}" 'BEGIN { printf "%.3f\n", (g + 1) / (p + 1) }' >>"$WORK/ratio"
done
report "windowed longest interval ($FRAMES frames)" ms 12 "$(mmm <"$WORK/longest-window")"
report "windowed late frames, game" frames - "$(mmm <"$WORK/late-game")"
report "windowed late frames, bare SDL loop" frames - "$(mmm <"$WORK/late-probe")"
report "windowed late frames, game / bare loop (+1)" x 1.2 "$(mmm <"$WORK/ratio")"
report "windowed game process CPU (whole run)" % 30 "$(mmm <"$WORK/cpu-game")"
report "windowed bare SDL loop CPU" % - "$(mmm <"$WORK/cpu-probe")"

# 4. Growth: the world's step with many objects (median of the repetitions).
"$BUILD/tervalen_bench" --benchmark_filter='BM_WorldUpdate_.*/(1000|4000)$' --benchmark_repetitions="$RUNS" \
  --benchmark_format=csv 2>/dev/null >"$WORK/growth.csv" || true
growth() {  # benchmark goal-in-us label
  grep "^\"$1\"," "$WORK/growth.csv" | grep -v '_mean\|_median\|_stddev\|_cv' | awk -F, '{print $3}' | mmm
}
report "1,000 objects penned by walls, one step" us 100 "$(growth BM_WorldUpdate_PennedByWalls/1000)"
report "1,000 armed fighters, one step" us 500 "$(growth BM_WorldUpdate_ArmedFighters/1000)"
report "4,000 effects with churn, one step" us 300 "$(growth BM_WorldUpdate_EffectChurn/4000)"
