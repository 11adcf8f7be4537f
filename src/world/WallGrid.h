// The wall test of a moving body, and a grid over the scene's walls on x and z
// that lets the test look only at the walls near the body instead of every
// wall of the scene. With the grid the answer is the same as without it: the
// grid only leaves out walls that cannot pass the test, and the walls it
// keeps are tested in the scene's order, exactly as the full test does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "object/Box.h"

class WallGrid {
 public:
  // Makes the grid for `walls` unless it was made for walls equal to these.
  // Scenes with only a few walls get no grid (testing them all is cheaper).
  void update(const std::vector<Box>& walls);
  // True when the grid stands for `walls` (made by update from equal walls).
  bool ready() const { return ready_; }
  // Calls visit(i) for the index of every wall that may overlap a body
  // centred at (x, z) with half extents (halfWidth, halfDepth), in no
  // particular order and a wall once for each of its cells the body touches.
  // False, visiting nothing, when the grid cannot narrow it down (a body far
  // outside, huge or not finite): then every wall has to be tested.
  template <class Visit>
  bool visitNear(double x, double z, double halfWidth, double halfDepth, Visit&& visit) const;

 private:
  bool ready_ = false;
  std::vector<Box> walls_;  // the walls the grid was made for
  double minX_ = 0, minZ_ = 0, cellWidth_ = 1, cellDepth_ = 1;
  int columns_ = 0, rows_ = 0;
  std::vector<uint32_t> cellStart_;  // cell c holds cellWalls_[cellStart_[c], cellStart_[c + 1])
  std::vector<uint32_t> cellWalls_;
  std::vector<uint32_t> everywhere_;  // walls too large or too far out for the cells: always tested

  // The cells a box of these half extents around (x, z) touches; false when
  // they are too many or the box is not usable.
  bool cellsOf(double x, double z, double hw, double hd, int& x0, int& x1, int& z0, int& z1) const;
};

template <class Visit>
bool WallGrid::visitNear(double x, double z, double halfWidth, double halfDepth, Visit&& visit) const {
  int x0, x1, z0, z1;
  if (!ready_ || !cellsOf(x, z, halfWidth, halfDepth, x0, x1, z0, z1)) return false;
  for (uint32_t i : everywhere_) visit(i);
  for (int r = z0; r <= z1; ++r) {
    const size_t rowStart = static_cast<size_t>(r) * static_cast<size_t>(columns_);
    const uint32_t* from = cellWalls_.data() + cellStart_[rowStart + static_cast<size_t>(x0)];
    const uint32_t* to = cellWalls_.data() + cellStart_[rowStart + static_cast<size_t>(x1) + 1];
    for (; from != to; ++from) visit(*from);
  }
  return true;
}

// The wall test for a body about to move by (dx, dz) (see ObjectHost::blockMove):
// walls are taken in order, the first that stops the body on x sets mx, the
// first that stops it on z sets mz. `grid` may be null or not ready.
bool blockMoveAmongWalls(const std::vector<Box>& walls, const WallGrid* grid, const Box& body, int32_t dx,
                         int32_t dz, int32_t& mx, int32_t& mz);
