#!/usr/bin/env python3
"""Counts the grabs by the fighters, the holds of a fighter by an enemy, the
knees, the throws and the throws that felled another of the thrown one's side
in whole-game traces (tervalen --trace of a folder that plays grabs), and,
where the folder has items, what the seats took: food, treasure and weapons.
    scripts/count-grabs.py TRACE.jsonl ..."""
import json
import sys

for path in sys.argv[1:]:
    grabs = held = throws = felling = knees = 0
    grips_before, thrown_before = {}, {}
    result = "running"
    taken = {}  # seat -> its counts so far (they only grow)
    with open(path) as f:
        for line in f:
            frame = json.loads(line)
            if "frame" not in frame:
                continue
            if frame.get("gameOver"):
                result = "over"
            grips = {(g["holder"], g["held"]): g for g in frame.get("grips", [])}
            fighters = len(frame.get("players", []))
            for key, g in grips.items():
                if key not in grips_before:
                    if g["holder"] < fighters:
                        grabs += 1
                    else:
                        held += 1
                elif g["knees"] > grips_before[key]["knees"]:
                    knees += g["knees"] - grips_before[key]["knees"]
            thrown = {t["body"]: t["struck"] for t in frame.get("thrown", [])}
            for body, struck in thrown.items():
                if body not in thrown_before:
                    throws += 1
            for body, struck in thrown_before.items():
                # A flight ends (or its body's index moves when an enemy leaves): count what it felled.
                if body not in thrown and struck > 0:
                    felling += 1
            grips_before, thrown_before = grips, thrown
            for seat in frame.get("players", []):
                if "taken" in seat:
                    taken[seat["seat"]] = seat["taken"]
    line = f"{path}: grabs={grabs} held-by-enemies={held} knees={knees} throws={throws} throws-that-felled={felling}"
    if taken:
        for kind in ("food", "treasure", "weapons"):
            line += f" {kind}={sum(t.get(kind, 0) for t in taken.values())}"
    print(line)
