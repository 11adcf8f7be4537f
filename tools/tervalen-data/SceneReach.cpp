#include "SceneReach.h"

#include <algorithm>
#include <cmath>

namespace {

std::string place(double x, double z) {
  auto n = [](double v) { return std::to_string(static_cast<long long>(std::llround(v))); };
  return "(" + n(x) + ", " + n(z) + ")";
}

}  // namespace

SceneReach::SceneReach(const SceneFile& scene, Cells) : width_(scene.width), depth_(scene.depth) {
  for (const SceneFile::WallEntry& w : scene.walls)
    if (w.width > 0 && w.depth > 0) walls_.push_back(w);
  if (width_ <= 0 || depth_ <= 0 || walls_.size() > kMaxWallsForWays) return;

  // The edges of the ground and of every wall cut the ground into cells, each
  // wholly inside a wall or wholly out of every wall.
  xs_ = {0, width_};
  zs_ = {0, depth_};
  for (const SceneFile::WallEntry& w : walls_) {
    for (double x : {w.x - w.width / 2.0, w.x + w.width / 2.0})
      if (x > 0 && x < width_) xs_.push_back(x);
    for (double z : {w.z - w.depth / 2.0, w.z + w.depth / 2.0})
      if (z > 0 && z < depth_) zs_.push_back(z);
  }
  for (auto* edges : {&xs_, &zs_}) {
    std::sort(edges->begin(), edges->end());
    edges->erase(std::unique(edges->begin(), edges->end()), edges->end());
  }
  const size_t nx = xs_.size() - 1, nz = zs_.size() - 1;
  cells_.assign(nx * nz, Cell{});
  for (size_t i = 0; i < nx; ++i)
    for (size_t j = 0; j < nz; ++j)
      cell(i, j).free = wallHolding((xs_[i] + xs_[i + 1]) / 2, (zs_[j] + zs_[j + 1]) / 2) < 0;
}

SceneReach::SceneReach(const SceneFile& scene, const std::vector<std::pair<int32_t, int32_t>>& entries)
    : SceneReach(scene, Cells{}) {
  if (cells_.empty()) return;
  // Walk from every entry on free ground to the cells that share a side.
  std::vector<std::pair<size_t, size_t>> todo;
  for (const auto& [ex, ez] : entries) {
    if (!standingProblem(ex, ez).empty()) continue;
    for (size_t i : cellsAt(xs_, ex))
      for (size_t j : cellsAt(zs_, ez))
        if (cell(i, j).free && !cell(i, j).reached) {
          cell(i, j).reached = true;
          todo.emplace_back(i, j);
        }
  }
  spread(todo);
}

SceneReach::SceneReach(const SceneFile& scene, double fromX, double toX) : SceneReach(scene, Cells{}) {
  if (cells_.empty()) return;
  // Every free cell with some of its width between the two.
  std::vector<std::pair<size_t, size_t>> todo;
  for (size_t i = 0; i + 1 < xs_.size(); ++i)
    if (xs_[i] < toX && xs_[i + 1] > fromX)
      for (size_t j = 0; j + 1 < zs_.size(); ++j)
        if (cell(i, j).free) {
          cell(i, j).reached = true;
          todo.emplace_back(i, j);
        }
  spread(todo);
}

void SceneReach::spread(std::vector<std::pair<size_t, size_t>>& todo) {
  const size_t nx = xs_.size() - 1, nz = zs_.size() - 1;
  waysKnown_ = !todo.empty();
  while (!todo.empty()) {
    const auto [i, j] = todo.back();
    todo.pop_back();
    const std::pair<long, long> steps[4] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const auto& [di, dj] : steps) {
      const long ni = static_cast<long>(i) + di, nj = static_cast<long>(j) + dj;
      if (ni < 0 || nj < 0 || ni >= static_cast<long>(nx) || nj >= static_cast<long>(nz)) continue;
      Cell& next = cell(static_cast<size_t>(ni), static_cast<size_t>(nj));
      if (!next.free || next.reached) continue;
      next.reached = true;
      todo.emplace_back(static_cast<size_t>(ni), static_cast<size_t>(nj));
    }
  }
}

std::vector<size_t> SceneReach::cellsAt(const std::vector<double>& edges, double v) {
  std::vector<size_t> found;
  for (size_t i = 0; i + 1 < edges.size(); ++i)
    if (edges[i] <= v && v <= edges[i + 1]) found.push_back(i);
  return found;
}

int SceneReach::wallHolding(double x, double z) const {
  for (size_t k = 0; k < walls_.size(); ++k) {
    const SceneFile::WallEntry& w = walls_[k];
    if (std::fabs(x - w.x) < w.width / 2.0 && std::fabs(z - w.z) < w.depth / 2.0) return static_cast<int>(k);
  }
  return -1;
}

bool SceneReach::onGround(double x, double z) const { return x >= 0 && x <= width_ && z >= 0 && z <= depth_; }

std::string SceneReach::standingProblem(double x, double z) const {
  if (!onGround(x, z))
    return place(x, z) + " lies outside the ground (x from 0 to " + std::to_string(static_cast<long long>(width_)) +
           ", depth from 0 to " + std::to_string(static_cast<long long>(depth_)) + ")";
  if (wallHolding(x, z) >= 0) return place(x, z) + " lies inside a wall";
  return {};
}

std::string SceneReach::pointProblem(double x, double z) const {
  if (std::string why = standingProblem(x, z); !why.empty()) return why;
  if (!waysKnown_) return {};
  for (size_t i : cellsAt(xs_, x))
    for (size_t j : cellsAt(zs_, z))
      if (cell(i, j).reached) return {};
  return place(x, z) + " is walled off: no way leads there from where the player enters the scene";
}

std::string SceneReach::reachProblem(double x, double z, double reachX, double reachZ) const {
  const double x0 = x - reachX, x1 = x + reachX, z0 = z - reachZ, z1 = z + reachZ;
  if (x1 <= 0 || x0 >= width_ || z1 <= 0 || z0 >= depth_)
    return place(x, z) + " lies outside the ground, too far from it to be reached";
  if (xs_.empty()) {
    // Too many walls to trace the ways: only "inside a wall" can be told.
    for (const SceneFile::WallEntry& w : walls_)
      if (x0 >= w.x - w.width / 2.0 && x1 <= w.x + w.width / 2.0 && z0 >= w.z - w.depth / 2.0 &&
          z1 <= w.z + w.depth / 2.0)
        return place(x, z) + " lies inside a wall, deeper than its reach";
    return {};
  }
  bool anyFree = false;
  for (size_t i = 0; i + 1 < xs_.size(); ++i) {
    if (!(xs_[i] < x1 && xs_[i + 1] > x0)) continue;
    for (size_t j = 0; j + 1 < zs_.size(); ++j) {
      if (!(zs_[j] < z1 && zs_[j + 1] > z0)) continue;
      const Cell& c = cell(i, j);
      if (c.free) anyFree = true;
      if (c.reached || (c.free && !waysKnown_)) return {};
    }
  }
  if (!anyFree) return place(x, z) + " lies inside a wall, deeper than its reach";
  return place(x, z) + " is walled off: no way leads within its reach from where the player enters the scene";
}
