#include "world/WallGrid.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "object/ScriptNumber.h"

namespace {

// Scenes with fewer walls are tested whole.
constexpr size_t kFewWalls = 24;
// Beyond this distance from the origin a coordinate is not put in a cell: far
// from it the margin below would no longer cover the rounding of the test.
constexpr double kFarOut = 1e9;
// Added around every box on both axes, so rounding in the exact test can
// never let a wall through that the grid left out.
constexpr double kMargin = 1.0;
// A box covering more cells than this is not spread over them: a wall goes
// to the always-tested list, a body is tested against every wall.
constexpr long kMaxCellsPerBox = 64;
constexpr int kMaxSide = 256;

bool sameWalls(const std::vector<Box>& a, const std::vector<Box>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(Box)) == 0);
}

bool usable(double centre, double half) { return std::isfinite(centre) && std::isfinite(half) && std::fabs(centre) + half < kFarOut; }

}  // namespace

void WallGrid::update(const std::vector<Box>& walls) {
  if (ready_ && sameWalls(walls, walls_)) return;
  ready_ = false;
  walls_ = walls;
  cellStart_.clear();
  cellWalls_.clear();
  everywhere_.clear();
  if (walls.size() < kFewWalls || walls.size() > UINT32_MAX) return;

  double minX = kFarOut, maxX = -kFarOut, minZ = kFarOut, maxZ = -kFarOut;
  size_t counted = 0;
  for (const Box& w : walls) {
    const double hw = std::fabs(w.width) / 2, hd = std::fabs(w.depth) / 2;
    if (!usable(w.x, hw) || !usable(w.z, hd)) continue;
    minX = std::min(minX, w.x - hw);
    maxX = std::max(maxX, w.x + hw);
    minZ = std::min(minZ, w.z - hd);
    maxZ = std::max(maxZ, w.z + hd);
    ++counted;
  }
  if (counted == 0) return;
  // About one wall a cell, and cells at least twice the size of the median
  // run of wall, so that most walls and bodies sit in one or two cells.
  const int side = std::clamp(static_cast<int>(std::sqrt(static_cast<double>(walls.size()))), 1, kMaxSide);
  const double spanX = maxX - minX, spanZ = maxZ - minZ;
  std::vector<double> sizes;
  sizes.reserve(counted);
  auto median = [&](bool width) {
    sizes.clear();
    for (const Box& w : walls)
      if (usable(w.x, std::fabs(w.width) / 2) && usable(w.z, std::fabs(w.depth) / 2))
        sizes.push_back(std::fabs(width ? w.width : w.depth));
    std::nth_element(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2), sizes.end());
    return sizes[sizes.size() / 2];
  };
  const double wide = median(true), deep = median(false);
  columns_ = std::clamp(static_cast<int>(spanX / std::max(spanX / side, 2 * wide + 2 * kMargin)), 1, side);
  rows_ = std::clamp(static_cast<int>(spanZ / std::max(spanZ / side, 2 * deep + 2 * kMargin)), 1, side);
  minX_ = minX;
  minZ_ = minZ;
  cellWidth_ = spanX > 0 ? spanX / columns_ : 1.0;
  cellDepth_ = spanZ > 0 ? spanZ / rows_ : 1.0;

  // Two passes over the walls: count each cell's walls, then place them, in
  // the scene's order within every cell.
  struct Span {
    int x0, x1, z0, z1;
  };
  std::vector<Span> spans(walls.size(), Span{0, -1, 0, -1});
  std::vector<uint32_t> counts(static_cast<size_t>(columns_) * rows_ + 1, 0);
  for (size_t i = 0; i < walls.size(); ++i) {
    const Box& w = walls[i];
    const double hw = std::fabs(w.width) / 2 + kMargin, hd = std::fabs(w.depth) / 2 + kMargin;
    Span s{0, -1, 0, -1};
    if (usable(w.x, hw) && usable(w.z, hd)) {
      auto column = [&](double v) { return std::clamp(static_cast<int>(std::floor((v - minX_) / cellWidth_)), 0, columns_ - 1); };
      auto row = [&](double v) { return std::clamp(static_cast<int>(std::floor((v - minZ_) / cellDepth_)), 0, rows_ - 1); };
      s = Span{column(w.x - hw), column(w.x + hw), row(w.z - hd), row(w.z + hd)};
      if (long(s.x1 - s.x0 + 1) * long(s.z1 - s.z0 + 1) > kMaxCellsPerBox) s = Span{0, -1, 0, -1};
    }
    if (s.x1 < s.x0) {
      everywhere_.push_back(static_cast<uint32_t>(i));
    } else {
      for (int z = s.z0; z <= s.z1; ++z)
        for (int x = s.x0; x <= s.x1; ++x) ++counts[static_cast<size_t>(z) * columns_ + x];
    }
    spans[i] = s;
  }
  cellStart_.assign(counts.size(), 0);
  uint32_t total = 0;
  for (size_t c = 0; c + 1 < counts.size(); ++c) {
    cellStart_[c] = total;
    total += counts[c];
  }
  cellStart_.back() = total;
  cellWalls_.assign(total, 0);
  std::vector<uint32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
  for (size_t i = 0; i < walls.size(); ++i) {
    const Span& s = spans[i];
    for (int z = s.z0; z <= s.z1; ++z)
      for (int x = s.x0; x <= s.x1; ++x) cellWalls_[fill[static_cast<size_t>(z) * columns_ + x]++] = static_cast<uint32_t>(i);
  }
  ready_ = true;
}

bool WallGrid::cellsOf(double x, double z, double halfWidth, double halfDepth, int& x0, int& x1, int& z0,
                       int& z1) const {
  const double hw = std::fabs(halfWidth) + kMargin, hd = std::fabs(halfDepth) + kMargin;
  if (!usable(x, hw) || !usable(z, hd)) return false;
  // Clamped before the whole number is taken: then truncation is the floor.
  const double lastColumn = columns_ - 1, lastRow = rows_ - 1;
  auto column = [&](double v) { return static_cast<int>(std::clamp((v - minX_) / cellWidth_, 0.0, lastColumn)); };
  auto row = [&](double v) { return static_cast<int>(std::clamp((v - minZ_) / cellDepth_, 0.0, lastRow)); };
  x0 = column(x - hw);
  x1 = column(x + hw);
  z0 = row(z - hd);
  z1 = row(z + hd);
  return long(x1 - x0 + 1) * long(z1 - z0 + 1) <= kMaxCellsPerBox;
}

namespace {

// The walls the moved body overlaps decide the move: of those whose depth
// holds the body's centre (it runs into their side) the first in the scene's
// order stops it on x; of the others the first stops it on z. Taking the
// lowest index of each kind gives that answer whatever order the walls come
// in, and a wall seen twice changes nothing.
struct WallHits {
  static constexpr size_t kNone = SIZE_MAX;
  size_t firstX = kNone, firstZ = kNone;
  void consider(const std::vector<Box>& walls, size_t i, const Box& body, int32_t dx, int32_t dz) {
    const Box& w = walls[i];
    if (!(std::fabs(body.z + dz - w.z) < (body.depth + w.depth) / 2)) return;
    if (!(std::fabs(body.x + dx - w.x) < (body.width + w.width) / 2)) return;
    if (std::fabs(body.z - w.z) < w.depth / 2)
      firstX = std::min(firstX, i);
    else
      firstZ = std::min(firstZ, i);
  }
};

}  // namespace

bool blockMoveAmongWalls(const std::vector<Box>& walls, const WallGrid* grid, const Box& body, int32_t dx,
                         int32_t dz, int32_t& mx, int32_t& mz) {
  mx = dx;
  mz = dz;
  WallHits hits;
  auto consider = [&](size_t i) { hits.consider(walls, i, body, dx, dz); };
  if (!(grid && grid->ready() && grid->visitNear(body.x + dx, body.z + dz, body.width / 2, body.depth / 2, consider)))
    for (size_t i = 0; i < walls.size(); ++i) consider(i);
  if (hits.firstX != WallHits::kNone) {
    // The sign is taken before the whole number, so that a gap too large for
    // 32 bits saturates either way instead of overflowing when negated.
    const Box& w = walls[hits.firstX];
    const double gap = std::fabs(w.x - body.x) - (body.width + w.width) / 2 - 1;
    mx = toInt32(body.x >= w.x ? -gap : gap);
  }
  if (hits.firstZ != WallHits::kNone) {
    const Box& w = walls[hits.firstZ];
    const double gap = std::fabs(w.z - body.z) - (body.depth + w.depth) / 2 - 1;
    mz = toInt32(body.z >= w.z ? -gap : gap);
  }
  return hits.firstX != WallHits::kNone || hits.firstZ != WallHits::kNone;
}
