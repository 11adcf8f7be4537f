// An axis-aligned box: centre and full extents. Body and attack boxes are
// relative to their object; walls and world boxes are in world coordinates.
#pragma once

#include <cmath>

struct Box {
  double x = 0, y = 0, z = 0;
  double width = 0, height = 0, depth = 0;
};

// True when the boxes overlap on all three axes, each test strict (touching
// boxes do not overlap). Tested z, then x, then y.
// (Inline: the hit and wall passes call it for every candidate pair.)
inline bool overlaps(const Box& a, const Box& b) {
  return std::fabs(a.z - b.z) < (a.depth + b.depth) / 2 && std::fabs(a.x - b.x) < (a.width + b.width) / 2 &&
         std::fabs(a.y - b.y) < (a.height + b.height) / 2;
}
