#include "gfx/Shapes.h"

#include <algorithm>

void fillRect(HGE* engine, float x0, float y0, float x1, float y1, uint32_t color) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  hgeQuad q;
  q.tex = 0;
  q.blend = BLEND_ALPHABLEND;
  const float xs[4] = {x0, x1, x1, x0};
  const float ys[4] = {y0, y0, y1, y1};
  for (int i = 0; i < 4; ++i) {
    q.v[i].x = xs[i];
    q.v[i].y = ys[i];
    q.v[i].col = color;
  }
  engine->Gfx_RenderQuad(&q);
}

void outlineRect(HGE* engine, float x0, float y0, float x1, float y1, uint32_t color, float thickness) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  const float t = std::min({thickness, (x1 - x0) / 2, (y1 - y0) / 2});
  if (t <= 0) {
    // A box of no width or height is still shown: as a line.
    fillRect(engine, x0, y0, std::max(x1, x0 + thickness), std::max(y1, y0 + thickness), color);
    return;
  }
  fillRect(engine, x0, y0, x1, y0 + t, color);
  fillRect(engine, x0, y1 - t, x1, y1, color);
  fillRect(engine, x0, y0 + t, x0 + t, y1 - t, color);
  fillRect(engine, x1 - t, y0 + t, x1, y1 - t, color);
}
