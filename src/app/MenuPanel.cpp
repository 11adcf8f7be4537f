#include "app/MenuPanel.h"

#include <algorithm>

void fillRect(HGE* engine, float x, float y, float w, float h, uint32_t top, uint32_t bottom, bool across) {
  hgeQuad q;
  q.tex = 0;
  q.blend = BLEND_ALPHABLEND;
  q.v[0].x = x, q.v[0].y = y;
  q.v[1].x = x + w, q.v[1].y = y;
  q.v[2].x = x + w, q.v[2].y = y + h;
  q.v[3].x = x, q.v[3].y = y + h;
  if (across) {
    q.v[0].col = q.v[3].col = top;
    q.v[1].col = q.v[2].col = bottom;
  } else {
    q.v[0].col = q.v[1].col = top;
    q.v[2].col = q.v[3].col = bottom;
  }
  engine->Gfx_RenderQuad(&q);
}

void drawPlate(HGE* engine, float x, float y, float w, float h) {
  using namespace menustyle;
  fillRect(engine, x - 3, y - 3, w + 6, h + 6, kOutline, kOutline);
  fillRect(engine, x - 2, y - 2, w + 4, h + 4, kRimTop, kRimBottom);
  fillRect(engine, x, y, w, h, kPlateTop, kPlateBottom);
  fillRect(engine, x, y, w, 3, kShine, 0x00A8B4D0);
}

void drawLevelBar(HGE* engine, float x, float y, float w, float h, int level) {
  using namespace menustyle;
  fillRect(engine, x - 2, y - 2, w + 4, h + 4, kWell, kWell);
  const float filled = w * static_cast<float>(std::clamp(level, 0, 100)) / 100.0f;
  if (filled > 0) fillRect(engine, x, y, filled, h, kBarLeft, kBarRight, true);
}
