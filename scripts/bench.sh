#!/usr/bin/env bash
# Measures the game against its performance goals in one run and prints each
# as measured / goal (a ratio at or below 1 meets the goal), with the minimum,
# median and maximum of RUNS runs. Windowed figures come from one private
# Xvfb display, the game and a bare SDL loop (tervalen-pacing-probe) taking
# turns on it, so the two are compared on the same machine at the same time.
#
#   scripts/bench.sh [BUILD] [BEFORE]
#       BUILD (default: build) needs a Release build with tervalen,
#       tervalen_bench and tervalen-pacing-probe. With BEFORE, a second build
#       of the same kind (an older tree, say), every figure is measured for
#       both in turns, run by run, and printed side by side: before, then
#       after, so a change is judged against the same machine at the same time.
#   RUNS=5 FRAMES=3000 scripts/bench.sh
set -euo pipefail

RUNS=${RUNS:-5}
FRAMES=${FRAMES:-3000}
BUILDS=("${1:-build}")
LABELS=("")
if [[ $# -ge 2 ]]; then
  BUILDS=("$2" "$1")
  LABELS=("before" "after")
fi
for build in "${BUILDS[@]}"; do
  for f in "$build/tervalen" "$build/tervalen_bench" "$build/tervalen-pacing-probe"; do
    [[ -x $f ]] || { echo "bench.sh: $f is missing: build it first" >&2; exit 2; }
  done
  [[ -d $build/game ]] || { echo "bench.sh: no game folder $build/game" >&2; exit 2; }
done
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
    printf "%-54s %10s / %10s / %10s %-3s  goal %-7s measured/goal %s\n", n, lo, mid, hi, u, g, r }'
}
# One figure for every build: the name, then "before"/"after" lines when two are compared.
report_all() {  # name unit goal figure
  local i name
  for i in "${!BUILDS[@]}"; do
    name=$1
    [[ -n ${LABELS[$i]} ]] && name="  ${LABELS[$i]}: $1"
    report "$name" "$2" "$3" "$(mmm <"$WORK/$i-$4")"
  done
}
# Wall milliseconds of a whole command.
wall_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
# The same from --stats: when the first picture was drawn (to 10 ms).
first_picture() { "$@" --frames 5 --stats 2>&1 >/dev/null | sed -n 's/.*first picture \([0-9.]*\) ms.*/\1/p'; }

echo "Tervalen performance goals: $RUNS runs each, min / median / max ($(nproc) cores, $(date -u +%FT%TZ))"
[[ ${#BUILDS[@]} -eq 2 ]] && echo "before: ${BUILDS[0]}, after: ${BUILDS[1]}, measured in turns"

# 1. Start-up: a whole run of one frame, headless, beside the floor under it
# (SDL, SDL_image and SDL_mixer started with the dummy drivers and nothing else).
for _ in $(seq "$RUNS"); do
  for i in "${!BUILDS[@]}"; do
    b=${BUILDS[$i]}
    wall_ms "$b/tervalen" --root "$b/game" --headless --frames 1 >>"$WORK/$i-start-headless"
    first_picture "$b/tervalen" --root "$b/game" --headless >>"$WORK/$i-first-headless"
    wall_ms "$b/tervalen-pacing-probe" --startup >>"$WORK/$i-floor"
  done
done
report_all "first frame, headless (whole run)" ms 150 start-headless
report_all "first picture, headless (--stats)" ms 150 first-headless
report_all "bare start-up floor (whole run, dummy drivers)" ms - floor

# A private display for every windowed figure.
for n in $(seq 90 120); do
  if [[ ! -e /tmp/.X$n-lock ]]; then DISPLAY_NUMBER=$n; break; fi
done
Xvfb ":$DISPLAY_NUMBER" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
export DISPLAY=":$DISPLAY_NUMBER"
for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$DISPLAY_NUMBER ]] && break; sleep 0.1; done
export SDL_AUDIODRIVER=dummy

for _ in $(seq "$RUNS"); do
  for i in "${!BUILDS[@]}"; do
    b=${BUILDS[$i]}
    wall_ms "$b/tervalen" --root "$b/game" --frames 1 >>"$WORK/$i-start-window"
    first_picture "$b/tervalen" --root "$b/game" >>"$WORK/$i-first-window"
  done
done
report_all "first frame, windowed under Xvfb (whole run)" ms 300 start-window
report_all "first picture, windowed under Xvfb (--stats)" ms 300 first-window

# 2. Scene changes: the longest frame of a whole game played headless (seed
# 1 uses every door), and of FRAMES frames in the window.
for _ in $(seq "$RUNS"); do
  for i in "${!BUILDS[@]}"; do
    b=${BUILDS[$i]}
    "$b/tervalen" --root "$b/game" --headless --autoplay --seed 1 --frames 40000 --stats 2>&1 >/dev/null |
      sed -n 's/.*longest \([0-9.]*\) ms.*/\1/p' >>"$WORK/$i-longest-headless"
  done
done
report_all "longest frame of a whole game, headless" ms 10 longest-headless

# 3. Windowed pacing: the game and the bare loop in turn, FRAMES frames each.
for _ in $(seq "$RUNS"); do
  for i in "${!BUILDS[@]}"; do
    b=${BUILDS[$i]}
    /usr/bin/time -f "%e %U %S" -o "$WORK/time" "$b/tervalen" --root "$b/game" --autoplay --seed 1 --frames "$FRAMES" \
      --stats >/dev/null 2>"$WORK/game-err" || true
    game_late=$(sed -n 's/.*, \([0-9]*\) later than 2 ms.*/\1/p' "$WORK/game-err" | tail -1)
    echo "${game_late:-n/a}" >>"$WORK/$i-late-game"
    sed -n 's/.*longest \([0-9.]*\) ms.*/\1/p' "$WORK/game-err" | tail -1 >>"$WORK/$i-longest-window"
    awk '{ if ($1 > 0) printf "%.1f\n", 100 * ($2 + $3) / $1 }' "$WORK/time" >>"$WORK/$i-cpu-game"
    game_play_cpu=$(sed -n 's/.*cpu \([0-9.]*\)% of one core in play.*/\1/p' "$WORK/game-err" | tail -1)
    echo "${game_play_cpu:-n/a}" >>"$WORK/$i-cpu-game-play"
    "$b/tervalen-pacing-probe" "$FRAMES" >"$WORK/probe" 2>&1 || true
    probe_late=$(sed -n 's/.*, \([0-9]*\) later than 2 ms.*/\1/p' "$WORK/probe")
    echo "${probe_late:-n/a}" >>"$WORK/$i-late-probe"
    probe_cpu=$(sed -n 's/.*cpu \([0-9.]*\)%.*/\1/p' "$WORK/probe")
    echo "${probe_cpu:-n/a}" >>"$WORK/$i-cpu-probe"
    # Paired: the game's late frames over the loop's in the same turn (one late frame added to both),
    # and the game's CPU over the loop's.
    awk -v g="${game_late:-0}" -v p="${probe_late:-0}" 'BEGIN { printf "%.3f\n", (g + 1) / (p + 1) }' >>"$WORK/$i-ratio"
    # Both counted from the end of the first frame: start-up is not play.
    awk -v g="${game_play_cpu:-}" -v p="${probe_cpu:-0}" \
      'BEGIN { if (p > 0 && g != "") printf "%.3f\n", g / p }' >>"$WORK/$i-cpu-ratio"
  done
done
report_all "windowed longest interval ($FRAMES frames)" ms 12 longest-window
report_all "windowed late frames, game" frames - late-game
report_all "windowed late frames, bare SDL loop" frames - late-probe
report_all "windowed late frames, game / bare loop (+1)" x 1.2 ratio
report_all "windowed game process CPU (whole run)" % 30 cpu-game
report_all "windowed game CPU in play (--stats)" % - cpu-game-play
report_all "windowed bare SDL loop CPU" % - cpu-probe
report_all "windowed CPU, game / bare loop (paired)" x 1.25 cpu-ratio

# 4. Growth: the world's step with many objects (median of the repetitions).
for i in "${!BUILDS[@]}"; do
  "${BUILDS[$i]}/tervalen_bench" --benchmark_filter='BM_WorldUpdate_.*/(1000|4000|20000)$' \
    --benchmark_repetitions="$RUNS" --benchmark_format=csv 2>/dev/null >"$WORK/$i-growth.csv" || true
  growth() {  # benchmark -> one time a line
    grep "^\"$1\"," "$WORK/$i-growth.csv" | grep -v '_mean\|_median\|_stddev\|_cv' | awk -F, '{print $3}' || true
  }
  growth BM_WorldUpdate_PennedByWalls/1000 >"$WORK/$i-penned"
  growth BM_WorldUpdate_ArmedFighters/1000 >"$WORK/$i-armed"
  growth BM_WorldUpdate_EffectChurn/4000 >"$WORK/$i-churn"
  # Per object: the churn's step at 20,000 over 20,000, in nanoseconds.
  growth BM_WorldUpdate_EffectChurn/20000 | awk '{ printf "%.1f\n", $1 * 1000 / 20000 }' >"$WORK/$i-churn-per"
  growth BM_WorldUpdate_EffectChurn/4000 | awk '{ printf "%.1f\n", $1 * 1000 / 4000 }' >"$WORK/$i-churn-per4"
done
report_all "1,000 objects penned by walls, one step" us 100 penned
report_all "1,000 armed fighters, one step" us 500 armed
report_all "4,000 effects with churn, one step" us 300 churn
report_all "churn per object at 4,000" ns - churn-per4
report_all "churn per object at 20,000 (linear: same)" ns - churn-per
