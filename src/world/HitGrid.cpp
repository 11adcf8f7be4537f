#include "world/HitGrid.h"

#include <algorithm>
#include <cmath>

#include "object/Obj.h"

namespace {

// Far from the origin a margin of one unit would not cover the rounding of
// the exact test: boxes out there are tested with everything.
constexpr double kFarOut = 1e9;
constexpr double kMargin = 1.0;
// A box covering more cells than this is tested with everything instead.
constexpr long kMaxCellsPerBox = 64;
constexpr int kMaxSide = 128;

bool usable(double centre, double half) {
  return std::isfinite(centre) && std::isfinite(half) && std::fabs(centre) + half < kFarOut;
}

}  // namespace

HitGrid::Span HitGrid::spanOf(const Box& b, double margin) const {
  const double hw = std::fabs(b.width) / 2 + margin, hd = std::fabs(b.depth) / 2 + margin;
  if (!usable(b.x, hw) || !usable(b.z, hd)) return {};
  auto column = [&](double v) {
    return std::clamp(static_cast<int>(std::clamp(std::floor((v - minX_) / cellWidth_), -1.0, double(columns_))), 0,
                      columns_ - 1);
  };
  auto row = [&](double v) {
    return std::clamp(static_cast<int>(std::clamp(std::floor((v - minZ_) / cellDepth_), -1.0, double(rows_))), 0,
                      rows_ - 1);
  };
  Span s{column(b.x - hw), column(b.x + hw), row(b.z - hd), row(b.z + hd)};
  if (long(s.x1 - s.x0 + 1) * long(s.z1 - s.z0 + 1) > kMaxCellsPerBox) return {};
  return s;
}

void HitGrid::start(const std::vector<Obj*>& objects) {
  entries_.clear();
  everywhere_.clear();
  double minX = kFarOut, maxX = -kFarOut, minZ = kFarOut, maxZ = -kFarOut;
  for (const Obj* o : objects) {
    const Box b = o->worldBody();
    if (!usable(b.x, std::fabs(b.width) / 2) || !usable(b.z, std::fabs(b.depth) / 2)) continue;
    minX = std::min(minX, b.x);
    maxX = std::max(maxX, b.x);
    minZ = std::min(minZ, b.z);
    maxZ = std::max(maxZ, b.z);
  }
  const int side = std::clamp(static_cast<int>(std::sqrt(static_cast<double>(objects.size()) / 2)), 1, kMaxSide);
  columns_ = side;
  rows_ = side;
  minX_ = minX <= maxX ? minX : 0;
  minZ_ = minZ <= maxZ ? minZ : 0;
  cellWidth_ = maxX > minX ? (maxX - minX) / columns_ : 1.0;
  cellDepth_ = maxZ > minZ ? (maxZ - minZ) / rows_ : 1.0;
  const size_t cellCount = static_cast<size_t>(columns_) * rows_;
  if (cells_.size() < cellCount) cells_.resize(cellCount);
  for (size_t c = 0; c < cellCount; ++c) cells_[c].clear();
  active_ = true;
  for (size_t i = 0; i < objects.size(); ++i) add(objects[i], i);
}

void HitGrid::add(Obj* o, size_t slot) {
  entries_.push_back(Entry{o, slot, 0, true});
  place(static_cast<uint32_t>(entries_.size() - 1));
}

void HitGrid::refresh(uint32_t id) {
  ++entries_[id].version;
  place(id);
}

void HitGrid::place(uint32_t id) {
  const Entry& e = entries_[id];
  const Mark mark{id, e.version};
  const Span s = spanOf(e.obj->worldBody(), kMargin);
  if (s.x1 < s.x0) {
    everywhere_.push_back(mark);
    return;
  }
  for (int z = s.z0; z <= s.z1; ++z)
    for (int x = s.x0; x <= s.x1; ++x) cells_[static_cast<size_t>(z) * columns_ + x].push_back(mark);
}

void HitGrid::near(const Box& box, uint32_t self, std::vector<uint32_t>& out) {
  out.clear();
  found_.clear();
  auto take = [&](const Mark& m) {
    const Entry& e = entries_[m.id];
    if (m.version == e.version && e.alive && m.id != self) found_.emplace_back(e.slot, m.id);
  };
  const Span s = spanOf(box, kMargin);
  if (s.x1 < s.x0) {
    // A huge or far-out attack: every entry.
    for (uint32_t id = 0; id < entries_.size(); ++id)
      if (entries_[id].alive && id != self) found_.emplace_back(entries_[id].slot, id);
  } else {
    for (const Mark& m : everywhere_) take(m);
    for (int z = s.z0; z <= s.z1; ++z)
      for (int x = s.x0; x <= s.x1; ++x)
        for (const Mark& m : cells_[static_cast<size_t>(z) * columns_ + x]) take(m);
  }
  std::sort(found_.begin(), found_.end());
  found_.erase(std::unique(found_.begin(), found_.end()), found_.end());
  for (const auto& f : found_) out.push_back(f.second);
}
