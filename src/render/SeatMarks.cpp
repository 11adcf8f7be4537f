#include "render/SeatMarks.h"

#include <cmath>
#include <numbers>
#include <cstdio>

#include "render/SeatLook.h"

namespace {

// The ring: an ellipse seen from the side, a few pixels thick.
constexpr float kRingRadiusX = 32, kRingRadiusY = 10, kRingThickness = 4;
constexpr int kRingSegments = 24;
constexpr uint32_t kRingAlpha = 0xE0000000;
constexpr float kTagScale = 0.7f;
constexpr float kTagGap = 6;  // between the head and the tag
constexpr uint32_t kTagShadow = 0xC0000000;
// How close two names may come before the later one is lifted, and by how much.
constexpr float kTagWidth = 30, kTagStep = 18;

}  // namespace

int fighterSeat(const World& world, const Obj& o) {
  if (o.seat < 1 || o.seat > kMaxSeats || !o.asChara()) return 0;
  return world.seat(o.seat).hud.player == &o ? o.seat : 0;
}

void drawSeatRing(HGE* engine, float cx, float cy, uint32_t color) {
  const uint32_t col = (color & 0x00FFFFFF) | kRingAlpha;
  hgeQuad q;
  q.tex = 0;
  q.blend = BLEND_ALPHABLEND;
  for (hgeVertex& v : q.v) v.col = col;
  auto at = [&](int k, float shrink, hgeVertex& v) {
    const double a = 2 * std::numbers::pi * k / kRingSegments;
    v.x = cx + static_cast<float>(std::cos(a)) * (kRingRadiusX - shrink);
    v.y = cy + static_cast<float>(std::sin(a)) * (kRingRadiusY - shrink * kRingRadiusY / kRingRadiusX);
  };
  for (int k = 0; k < kRingSegments; ++k) {
    at(k, 0, q.v[0]);
    at(k + 1, 0, q.v[1]);
    at(k + 1, kRingThickness, q.v[2]);
    at(k, kRingThickness, q.v[3]);
    engine->Gfx_RenderQuad(&q);
  }
}

float headRow(const Obj& fighter, float pictureTop) {
  if (fighter.body.width <= 0 || fighter.body.height <= 0) return pictureTop;
  return static_cast<float>(fighter.sy + fighter.z + fighter.body.y - fighter.body.height / 2);
}

float unclutteredTagRow(std::vector<std::array<float, 2>>& placed, float cx, float row) {
  for (bool moved = true; moved;) {
    moved = false;
    for (const std::array<float, 2>& p : placed)
      if (std::fabs(p[0] - cx) < kTagWidth && std::fabs(p[1] - row) < kTagStep) {
        row = p[1] - kTagStep;
        moved = true;
      }
  }
  placed.push_back({cx, row});
  return row;
}

void drawSeatTag(BitmapFont& font, int seat, float cx, float row, uint32_t fontColor) {
  char name[8];
  std::snprintf(name, sizeof name, "P%d", seat);
  const float savedScale = font.scale();
  font.setScale(kTagScale);
  const float y = row - kTagGap - font.lineHeight() * kTagScale;
  font.setColor(kTagShadow);
  font.draw(cx + 1, y + 1, AlignCenter, name);
  font.setColor(seatColor(seat));
  font.draw(cx, y, AlignCenter, name);
  font.setScale(savedScale);
  font.setColor(fontColor);
}
