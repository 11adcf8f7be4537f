#!/usr/bin/env python3
"""Figures of whole games from their traces (tervalen --trace): for each run,
the result, its length, the hit points left, the longest time with enemies
left, the doors shut and no living enemy in view, and the longest time a living
boss stood at or past the view's edge while it fights (in a scene of
stretches, a boss waiting for the view to come to its stretch does not). Used by scripts/measure-stage.sh.

  scripts/stage-figures.py TRACE...
"""
import json
import sys

VIEW = 800
EDGE = 24          # a fighter's body half out of the view: at or past its edge
BOSSES = ("boss01", "boss02")
FPS = 100


def figures(path):
    empty = longest_empty = 0
    edge = longest_edge = 0
    frames = 0
    hp = 0
    last = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            rec = json.loads(line)
            if "frame" not in rec or rec.get("state") != 1:
                continue
            frames = rec["frame"]
            last = rec
            cam = rec["cameraX"]
            alive = [e for e in rec["enemies"] if e["hp"] > 0 and not e["finished"]]
            in_view = [e for e in alive if cam <= e["x"] <= cam + VIEW]
            if alive and not rec["doorsOpen"] and not in_view:
                empty += 1
                longest_empty = max(longest_empty, empty)
            else:
                empty = 0
            # A boss fights unless it stands waiting for the view to come to its stretch.
            fighting = [e for e in alive if e["id"] in BOSSES and not e.get("waiting", False)]
            at_edge = [e for e in fighting if e["x"] < cam + EDGE or e["x"] > cam + VIEW - EDGE]
            if at_edge:
                edge += 1
                longest_edge = max(longest_edge, edge)
            else:
                edge = 0
    if last and last.get("player"):
        hp = last["player"]["hp"]
    return frames, hp, longest_empty, longest_edge


def main():
    print(f"{'trace':<28} {'minutes':>7} {'hp':>4} {'empty s':>8} {'boss edge s':>11}")
    for path in sys.argv[1:]:
        frames, hp, empty, edge = figures(path)
        print(f"{path.split('/')[-1]:<28} {frames / FPS / 60:7.2f} {hp:4d} {empty / FPS:8.2f} {edge / FPS:11.2f}")


if __name__ == "__main__":
    main()
