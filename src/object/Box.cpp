#include "object/Box.h"

#include <cmath>

bool overlaps(const Box& a, const Box& b) {
  return std::fabs(a.z - b.z) < (a.depth + b.depth) / 2 && std::fabs(a.x - b.x) < (a.width + b.width) / 2 &&
         std::fabs(a.y - b.y) < (a.height + b.height) / 2;
}
