// The scenes' pictures: per scene a fixed 800x480 background (sky, horizon,
// light; the top right light enough for the black score line), far-layer
// skylines or hills (drawn at half scroll speed), middle-layer floor strips,
// buildings, fences and a gate at the far end, near-layer silhouettes; and the
// shared props set (crate and barrel, whole and broken).
#pragma once

#include "Manifest.h"

namespace assetgen {

// The screen row where the floor begins in every scene; fighters walk on
// z from about 300 to 460 below it.
constexpr int kFloorTop = 286;

void makeScenery(Manifest& manifest);
void makeProps(Manifest& manifest);
// The scenes added after the later fighters: a night market, a rooftop in the
// rain, a train yard and a burning warehouse.
void makeLaterScenery(Manifest& manifest);

}  // namespace assetgen
