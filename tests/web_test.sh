#!/usr/bin/env bash
# The browser's game plays the desktop's game: builds build-web/ (scripts/web.sh),
# records a game of the built-in player on the desktop, replays it headless on
# the desktop and in headless Chromium (the page served on loopback), and checks
#   - the page ran the whole replay and ended cleanly;
#   - its trace (the world's state after every step) and result line are the
#     desktop's, and the replay's own checksums matched all the way;
#   - its picture of one frame is the desktop's within a small tolerance;
#   - a garbage URL parameter and a missing recording each give a message.
# Prints the sizes, the start-up time and the browser's pacing. Ends with PASS
# or FAIL and the checks that failed.
#   tests/web_test.sh [HOST_BUILD]   a built desktop build (default build-web/host)
set -uo pipefail
cd "$(dirname "$0")/.."
src="$PWD"
frames="${TERVALEN_WEB_FRAMES:-3200}"
shot="${TERVALEN_WEB_SHOT_FRAME:-3000}"
failures=()
fail() { failures+=("$*"); echo "FAILED: $*"; }

for tool in emcc chromium python3; do
  command -v "$tool" >/dev/null || { echo "web test skipped: $tool is not installed"; exit 0; }
done
if [ -n "${1:-}" ]; then export TERVALEN_HOST_BUILD="$(cd "$1" && pwd)"; fi
start=$(date +%s)
scripts/web.sh || { echo "FAIL: scripts/web.sh"; exit 1; }
echo "web build: $(( $(date +%s) - start )) s"
host="${TERVALEN_HOST_BUILD:-$src/build-web/host}"
nice cmake --build "$host" -j2 --target tervalen >/dev/null || { echo "FAIL: the desktop game"; exit 1; }
out="$src/build-web"
work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT

# The recording and the desktop's replay of it.
game=("$host/tervalen" --root "$host/game" --headless)
"${game[@]}" --autoplay --seed 4242 --frames "$frames" --record "$work/default.rep" >/dev/null 2>"$work/record.err" ||
  fail "recording on the desktop: $(tail -n 2 "$work/record.err")"
"${game[@]}" --replay "$work/default.rep" --frames "$frames" --trace "$work/desktop.trace" \
  --screenshot "$shot:$work/desktop.png" >"$work/desktop.out" 2>"$work/desktop.err" ||
  fail "the desktop's replay: $(tail -n 2 "$work/desktop.err")"
cp "$work/default.rep" "$out/replays/web-test.rep"

# One page load in headless Chromium; the page posts its report to the server.
browse() {  # QUERY REPORT
  rm -f "$2" "$work/port"
  python3 tests/web/report_server.py "$out" "$2" "$work/port" &
  local server=$! waited=0
  while [ ! -s "$work/port" ] && [ $waited -lt 50 ]; do sleep 0.1; waited=$((waited + 1)); done
  chromium --headless=new --no-sandbox --use-gl=swiftshader --enable-unsafe-swiftshader --mute-audio \
    --user-data-dir="$work/profile" --window-size=1024,700 --no-first-run \
    "http://127.0.0.1:$(cat "$work/port")/tervalen.html?$1" >"$work/chromium.log" 2>&1 &
  local browser=$!
  waited=0
  while [ ! -s "$2" ] && [ $waited -lt "${TERVALEN_WEB_TIMEOUT:-600}" ]; do sleep 1; waited=$((waited + 1)); done
  kill "$browser" "$server" 2>/dev/null
  wait "$browser" "$server" 2>/dev/null
  [ -s "$2" ] || fail "no report from the page for ?$1 within ${TERVALEN_WEB_TIMEOUT:-600} s"
}
field() { python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); v=r.get(sys.argv[2]); print("\n".join(v) if isinstance(v, list) else ("" if v is None else v))' "$@"; }

browse "replay=web-test.rep&frames=$frames&trace=1&screenshot=$shot&stats=1&report=1" "$work/replay.json"
if [ -s "$work/replay.json" ]; then
  code=$(field "$work/replay.json" code)
  [ "$code" = "0" ] || fail "the page's game ended with status $code: $(field "$work/replay.json" stderr | tail -n 3)"
  python3 -c 'import json,sys; sys.stdout.write(json.load(open(sys.argv[1]))["trace"] or "")' "$work/replay.json" \
    >"$work/web.trace"
  lines=$(wc -l <"$work/web.trace")
  [ "$lines" -ge 3000 ] || fail "the page traced $lines steps, not 3000 or more"
  # The first line names the run's arguments and paths, which differ; every
  # line after it is the world after a step.
  cmp -s <(tail -n +2 "$work/desktop.trace") <(tail -n +2 "$work/web.trace") ||
    fail "the page's world differs from the desktop's: $(diff <(tail -n +2 "$work/desktop.trace") \
      <(tail -n +2 "$work/web.trace") | head -n 3 | cut -c1-300)"
  [ "$(field "$work/replay.json" stdout)" = "$(cat "$work/desktop.out")" ] ||
    fail "result lines differ: page '$(field "$work/replay.json" stdout)', desktop '$(cat "$work/desktop.out")'"
  field "$work/replay.json" stderr | grep -q "diverged" && fail "the page's replay diverged"
  field "$work/replay.json" screenshot | base64 -d >"$work/web.png" 2>/dev/null
  # WebGL and the desktop's software renderer filter scaled pictures a little
  # differently at their edges.
  python3 tests/web/compare_png.py "$work/desktop.png" "$work/web.png" 3 4 || fail "the page's picture of frame $shot"
  [ -n "${TERVALEN_WEB_KEEP:-}" ] && cp "$work/web.png" "$work/desktop.png" "$TERVALEN_WEB_KEEP/"
  [ ${#failures[@]} -eq 0 ] && echo "page: $lines steps, the same world as the desktop's; first picture $(field "$work/replay.json" firstPictureMs) ms after the page opened"
  field "$work/replay.json" stderr | grep "frame statistics" || true
fi

# Bad addresses: a message on the page, never a game that quietly stops.
browse "seed=banana&report=1" "$work/garbage.json"
[ -s "$work/garbage.json" ] && ! field "$work/garbage.json" stderr | grep -q "whole number" &&
  fail "a garbage seed gave no message"
browse "replay=nowhere.rep&report=1" "$work/missing.json"
[ -s "$work/missing.json" ] && ! field "$work/missing.json" stderr | grep -q "no recording" &&
  fail "a missing recording gave no message"
browse "scene=no-such-scene&frames=50&report=1" "$work/scene.json"
if [ -s "$work/scene.json" ]; then
  [ "$(field "$work/scene.json" code)" != "0" ] || fail "a missing scene started a game"
  [ -n "$(field "$work/scene.json" stderr)" ] || fail "a missing scene gave no reason"
fi

du -b "$out/tervalen.wasm" "$out/tervalen.js" "$out/tervalen.data" | sed "s|$out/||"
echo "first load: $(cat "$out/tervalen.html" "$out/tervalen.wasm" "$out/tervalen.js" "$out/tervalen.data" | wc -c) bytes"
if [ ${#failures[@]} -eq 0 ]; then echo "PASS"; else echo "FAIL: ${#failures[@]} checks"; exit 1; fi
