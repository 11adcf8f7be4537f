// The scenes added after the later fighters (their picture sets come after
// them, so no earlier set moves): each is drawn by its own function, and every
// one lays its pictures out as the first scenes do, so scene files address
// them the same way: 0 background, 1 far strip, 2 floor strip, 3 to 5 fronts,
// 6 the row along the back, 7 the way on, 8 and 9 the near pieces.
#pragma once

#include <array>
#include <cmath>
#include <string>

#include "Manifest.h"
#include "SceneryParts.h"

namespace assetgen::scenery {

struct ScenePictures {
  Canvas background;          // 800x480, fixed
  Canvas far;                 // 700x210 at y 90, every 700 (half-speed scroll)
  Canvas floor;               // 400x194 at y 286, every 400
  std::array<Canvas, 3> fronts;  // stand on y 286
  Canvas back;                // 400x90 at y 200
  Canvas gate;                // 220x316 at y 0, at the far end
  Canvas near0, near1;        // near pieces: low, thin or see-through over the fighters
};

// Brickwork in running bond: `base` shaded a little per brick, with mortar
// joints two pixels wide, for a wall whose top is at `top`.
inline Color brickAt(Color base, float x, float y, float top) {
  const int row = static_cast<int>((y - top) / 10);
  const float bx = x + (row % 2) * 12;
  const int col = static_cast<int>(bx / 24);
  if (std::fmod(y - top, 10.0f) < 2 || std::fmod(bx, 24.0f) < 2) return shade(base, 0.62f);
  return shade(base, 0.92f + 0.1f * static_cast<float>((col * 7 + row * 3) % 4) / 3);
}

struct SceneAbout {
  std::array<std::string, 3> fronts;
  std::string back, gate, near0, near1;
};

void addScenePictures(Manifest& mf, const std::string& name, const std::string& about, const ScenePictures& p,
                      const SceneAbout& what);

void makeMarket(Manifest& mf);
void makeRooftop(Manifest& mf);
void makeYard(Manifest& mf);
void makeWarehouse(Manifest& mf);

}  // namespace assetgen::scenery
