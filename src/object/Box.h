// An axis-aligned box: centre and full extents. Body and attack boxes are
// relative to their object; walls and world boxes are in world coordinates.
#pragma once

struct Box {
  double x = 0, y = 0, z = 0;
  double width = 0, height = 0, depth = 0;
};

// True when the boxes overlap on all three axes, each test strict (touching
// boxes do not overlap). Tested z, then x, then y.
bool overlaps(const Box& a, const Box& b);
