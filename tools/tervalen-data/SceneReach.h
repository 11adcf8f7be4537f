// `check`'s look at where a player can go in a scene: the ground (0..width
// along x, 0..depth in depth) less the inside of its walls, and of that the
// part a player can walk to from where it enters the scene. The player is
// taken as a point, so a gap narrower than a body still counts as a way
// through: what is reported here is out of reach for certain.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "format/SceneFile.h"

class SceneReach {
 public:
  // Scenes with more walls than this are checked for places outside the
  // ground and inside walls, but not for walled-off parts.
  static constexpr size_t kMaxWallsForWays = 256;

  // `entries`: where the player enters the scene (the first scene's start, the
  // entry points of the doors into it); those not on free ground are ignored.
  SceneReach(const SceneFile& scene, const std::vector<std::pair<int32_t, int32_t>>& entries);

  // As above, but a player may stand anywhere on the free ground between
  // fromX and toX along the scene (the view a camera holds) and go on from there.
  SceneReach(const SceneFile& scene, double fromX, double toX);

  // Why a player cannot come to the point (x, z), or "".
  std::string pointProblem(double x, double z) const;
  // Why a player cannot come within (reachX, reachZ) of (x, z) (the open box
  // around it, as a door's reach), or "".
  std::string reachProblem(double x, double z, double reachX, double reachZ) const;
  // Why the point is no place to stand in the scene (outside the ground or
  // inside a wall), or "": the test for a door's entry point.
  std::string standingProblem(double x, double z) const;

 private:
  struct Cells {};
  // Only the cells of the ground, none reached yet (none when the walls are too many).
  SceneReach(const SceneFile& scene, Cells);
  // Marks every cell that shares a side with a reached one, from the cells in `todo`.
  void spread(std::vector<std::pair<size_t, size_t>>& todo);
  struct Cell {
    bool free = false;
    bool reached = false;
  };
  int wallHolding(double x, double z) const;  // the wall whose inside holds the point, or -1
  bool onGround(double x, double z) const;
  // Indices of the cells whose closed extent holds v along one axis.
  static std::vector<size_t> cellsAt(const std::vector<double>& edges, double v);
  Cell& cell(size_t i, size_t j) { return cells_[i * (zs_.size() - 1) + j]; }
  const Cell& cell(size_t i, size_t j) const { return cells_[i * (zs_.size() - 1) + j]; }

  double width_, depth_;
  std::vector<SceneFile::WallEntry> walls_;  // those with an inside
  bool waysKnown_ = false;                   // some entry was on free ground and the walls were few enough
  std::vector<double> xs_, zs_;              // cell edges
  std::vector<Cell> cells_;
};
