// What the scenes' pictures share: the palette of a scene, a small seeded
// number stream, the outline ink, and the pieces more than one scene draws
// (a skyline strip, a fence, the gate at the far end). The new scenes of
// makeLaterScenery draw their own places with these and their own pieces.
#pragma once

#include <cstdint>

#include "Canvas.h"
#include "Lcg.h"
#include "Raster.h"

namespace assetgen::scenery {

constexpr float kPi = 3.14159265f;

inline const Color kInk = rgb(0x18121C);

// A scene's palette, carried from the sky into every layer.
struct Mood {
  Color skyTop, skyHorizon, sun, farA, farB, wallA, wallB, roof, window, floorA, floorB, trim, nearInk;
};

// A wide strip of skyline (or hills): silhouettes in two tones, bottom flat,
// lit windows in the nearer row.
Canvas skyline(const Mood& m, int w, int h, bool hills, uint32_t seed);
// Posts and two rails.
Canvas fence(const Mood& m, int w, int h);
// The way on at the far end: a frame with a bright opening.
Canvas gate(const Mood& m, int style);

}  // namespace assetgen::scenery
