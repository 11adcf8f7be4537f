// The asset generator's seeded number stream: the same numbers on every run,
// for irregular rays, rain, stones and the like.
#pragma once

#include <cstdint>

namespace assetgen {

// A linear congruential stream in [0, 1).
struct Lcg {
  uint32_t s;
  float next() {
    s = s * 1664525u + 1013904223u;
    return (s >> 8) / 16777216.0f;
  }
};

}  // namespace assetgen
