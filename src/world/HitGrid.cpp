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
  widths_.clear();
  depths_.clear();
  for (const Obj* o : objects) {
    const Box b = o->worldBody();
    const double hw = std::fabs(b.width) / 2, hd = std::fabs(b.depth) / 2;
    if (!usable(b.x, hw) || !usable(b.z, hd)) continue;
    minX = std::min(minX, b.x);
    maxX = std::max(maxX, b.x);
    minZ = std::min(minZ, b.z);
    maxZ = std::max(maxZ, b.z);
    widths_.push_back(2 * hw);
    depths_.push_back(2 * hd);
  }
  const size_t counted = widths_.size();
  auto median = [](std::vector<double>& v) {
    if (v.empty()) return 0.0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
  };
  // About two objects a cell, and cells at least twice the size of the
  // median body, so that most bodies sit in one or two cells.
  const int side = std::clamp(static_cast<int>(std::sqrt(static_cast<double>(objects.size()) / 2)), 1, kMaxSide);
  minX_ = counted ? minX : 0;
  minZ_ = counted ? minZ : 0;
  const double spanX = counted ? maxX - minX : 0, spanZ = counted ? maxZ - minZ : 0;
  const double medianWidth = median(widths_), medianDepth = median(depths_);
  columns_ = std::clamp(static_cast<int>(spanX / std::max(spanX / side, 2 * medianWidth + 2 * kMargin)), 1, side);
  rows_ = std::clamp(static_cast<int>(spanZ / std::max(spanZ / side, 2 * medianDepth + 2 * kMargin)), 1, side);
  cellWidth_ = spanX > 0 ? spanX / columns_ : 1.0;
  cellDepth_ = spanZ > 0 ? spanZ / rows_ : 1.0;
  const size_t cellCount = static_cast<size_t>(columns_) * rows_;
  if (cells_.size() < cellCount) cells_.resize(cellCount);
  for (size_t c = 0; c < cellCount; ++c) cells_[c].clear();
  active_ = true;
  for (size_t i = 0; i < objects.size(); ++i) add(objects[i], i);
}

HitGrid::Span HitGrid::spanOfObject(const Obj* o) const {
  const Box b = o->worldBody();
  // The exact test passes over a body of no width: such an object (a spark,
  // an effect) is in no cell until a refresh finds it a body.
  if (b.width == 0) {
    Span none;
    none.nowhere = true;
    return none;
  }
  return spanOf(b, kMargin);
}

void HitGrid::add(Obj* o, size_t slot) {
  entries_.push_back(Entry{o, slot, 0, true, {}});
  place(static_cast<uint32_t>(entries_.size() - 1), spanOfObject(o));
}

void HitGrid::refresh(uint32_t id) {
  Entry& e = entries_[id];
  const Span s = spanOfObject(e.obj);
  // Still in the same cells (most moves are small): its marks stand.
  if (s == e.span) return;
  ++e.version;
  place(id, s);
}

void HitGrid::place(uint32_t id, const Span& s) {
  Entry& e = entries_[id];
  e.span = s;
  if (s.nowhere) return;
  const Mark mark{id, e.version};
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
      if (entries_[id].alive && !entries_[id].span.nowhere && id != self) found_.emplace_back(entries_[id].slot, id);
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
