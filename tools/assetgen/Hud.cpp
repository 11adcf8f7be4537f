#include "Hud.h"

#include <cmath>

#include "Figure.h"
#include "Font.h"
#include "Raster.h"

namespace assetgen {

namespace {

const Color kRim = rgb(0xD8B060);
const Color kRimDark = rgb(0x6A4A1C);
const Color kPlateTop = rgb(0x465064);
const Color kPlateBottom = rgb(0x1A1E28);
const Color kOutline = rgb(0x0C0C12);

// A metal plate: dark outline, gold rim, steel face with a soft top highlight.
void plate(Canvas& c, const Shape& shape, float top, float bottom) {
  fill(c, grownShape(shape, 3.0f), kOutline);
  fill(c, grownShape(shape, 1.6f), verticalGradient(top, kRim, bottom, kRimDark));
  fill(c, shape, verticalGradient(top, kPlateTop, bottom, kPlateBottom));
  Mask face = rasterize(shape, c.width(), c.height());
  Mask lower = rasterize(shape.translated({0, 3}), c.width(), c.height());
  paint(c, face.minus(lower), withAlpha(rgb(0xA8B4D0), 0.45f));
}

// An empty bar well: exactly the bar's rectangle in near black, with a dark
// bevel around it so that a full bar sits flush inside.
void well(Canvas& c, HudWell w) {
  fill(c, rectShape(w.x - 2.0f, w.y - 2.0f, w.w + 4.0f, w.h + 4.0f), rgb(0x05060A));
  fill(c, rectShape(w.x - 1.0f, w.y + w.h, w.w + 2.0f, 1.0f), withAlpha(rgb(0x8090B0), 0.55f));
  fill(c, rectShape(static_cast<float>(w.x), static_cast<float>(w.y), static_cast<float>(w.w), static_cast<float>(w.h)),
       verticalGradient(static_cast<float>(w.y), rgb(0x0A0C12), static_cast<float>(w.y + w.h), rgb(0x20242E)));
}

void label(Canvas& c, const std::string& text, float rightX, float midY, float unit, Color color) {
  TextStyle st;
  st.unit = unit;
  st.stroke = 0.7f;
  st.spacing = 1.0f;
  float w = textWidth(text, st);
  float cellTop = midY - (3 * unit + st.stroke * unit + 1);
  TextStyle shadow = st;
  shadow.color = withAlpha(kOutline, 0.9f);
  drawText(c, text, rightX - w + 1, cellTop + 1, shadow);
  st.color = color;
  drawText(c, text, rightX - w, cellTop, st);
}

// A bar picture: a horizontal run of colours, shaded top to bottom with a
// bright upper line, optionally with notches.
Canvas bar(int w, int h, Color left, Color right, std::vector<int> notches = {}) {
  Canvas c(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float t = w > 1 ? static_cast<float>(x) / (w - 1) : 0;
      Color base = mix(left, right, t);
      float v = (y + 0.5f) / h;
      float k = 1.25f - 0.55f * v;
      Color px = shade(base, k);
      if (y == 0) px = mix(px, Color{1, 1, 1, 1}, 0.45f);
      if (y == h - 1 && h > 4) px = shade(px, 0.7f);
      c.set(x, y, px);
    }
  for (int n : notches)
    for (int y = 0; y < h; ++y) c.set(n, y, shade(c.at(n, y), 0.35f));
  return c;
}

Canvas baseFrame() {
  Canvas c(362, 178);
  // Upper plate holding the three bars, slanted at its right end.
  Shape upper = polygonShape({{62, 6}, {318, 6}, {304, 56}, {62, 56}});
  plate(c, upper, 6, 56);
  // Lower plate for the enemy's bar.
  Shape lower = polygonShape({{30, 139}, {236, 139}, {226, 163}, {30, 163}});
  plate(c, lower, 139, 163);
  well(c, kPlayerWell);
  well(c, kSecondWell);
  well(c, kPowerWell);
  well(c, kEnemyWell);
  // Thirds of the power gauge: each special move spends one.
  for (int i = 1; i < 3; ++i) {
    float x = kPowerWell.x + kPowerWell.w * i / 3.0f;
    fill(c, rectShape(x - 0.5f, kPowerWell.y + kPowerWell.h + 1.0f, 1.0f, 3.0f), kRim);
  }
  label(c, "HP", 121, kPlayerWell.y + kPlayerWell.h / 2.0f, 1.15f, rgb(0xFFE9A0));
  label(c, "SP", 121, kSecondWell.y + kSecondWell.h / 2.0f + 1, 1.0f, rgb(0xA8D8FF));
  label(c, "POWER", 193, kPowerWell.y + kPowerWell.h / 2.0f, 1.0f, rgb(0xFFC070));
  // A small enemy mark at the end of the lower plate.
  Vec2 m{221, 151};
  fill(c, polygonShape({m + Vec2{0, -8}, m + Vec2{7, 0}, m + Vec2{0, 8}, m + Vec2{-7, 0}}), kOutline);
  fill(c, polygonShape({m + Vec2{0, -6}, m + Vec2{5, 0}, m + Vec2{0, 6}, m + Vec2{-5, 0}}),
       verticalGradient(m.y - 6, rgb(0xFF7050), m.y + 6, rgb(0x901018)));
  // The hero's portrait in a round medallion over the plate's left end.
  Vec2 centre{56, 54};
  fill(c, circleShape(centre, 52), kOutline);
  fill(c, circleShape(centre, 50), verticalGradient(4, kRim, 104, kRimDark));
  fill(c, circleShape(centre, 45.5f), verticalGradient(9, rgb(0x6C88B8), 100, rgb(0x1C2440)));
  Canvas portrait(362, 178);
  drawHeroPortrait(portrait, centre, 45.5f);
  Mask inside = rasterize(circleShape(centre, 45.5f), c.width(), c.height());
  for (int y = inside.y0(); y < inside.y0() + inside.h(); ++y)
    for (int x = inside.x0(); x < inside.x0() + inside.w(); ++x) {
      Color p = portrait.at(x, y);
      if (p.a > 0) c.blend(x, y, p, inside.at(x, y));
    }
  Mask ring = rasterize(circleShape(centre, 45.5f), c.width(), c.height())
                  .minus(rasterize(circleShape(centre + Vec2{0, 2.5f}, 45.5f), c.width(), c.height()));
  paint(c, ring, withAlpha(rgb(0xFFF0C0), 0.5f));
  return c;
}

Canvas enemyBarBase() {
  Canvas c(197, 17);
  fill(c, roundRectShape(0.5f, 0.5f, 196, 16, 4), kOutline);
  fill(c, roundRectShape(1.5f, 1.5f, 194, 14, 3), verticalGradient(1, kRim, 16, kRimDark));
  fill(c, roundRectShape(3, 3, 191, 11, 2), verticalGradient(3, kPlateTop, 14, kPlateBottom));
  fill(c, rectShape(24, 4, 169, 10), rgb(0x0A0C12));
  Vec2 m{12, 8.5f};
  fill(c, polygonShape({m + Vec2{0, -5}, m + Vec2{5, 0}, m + Vec2{0, 5}, m + Vec2{-5, 0}}), rgb(0xE04030));
  return c;
}

}  // namespace

void makeHud(Manifest& m) {
  m.set("ui", "heads-up display and title pictures (loaded by fixed paths)");
  m.addPicture("ui", "base.png", "display frame, 362x178: bar wells, hero portrait", baseFrame());
  m.addPicture("ui", "hp.png", "player hit-point bar, 169x7 (red at the left end, green at the right)",
               bar(169, 7, rgb(0xE8402A), rgb(0x8EE04A)));
  m.addPicture("ui", "sp.png", "second bar, 169x5", bar(169, 5, rgb(0x2050D0), rgb(0x60E0FF)));
  m.addPicture("ui", "cp.png", "power gauge, 64x7, notched at each third", bar(64, 7, rgb(0xFF7010), rgb(0xFFF060), {21, 42}));
  m.addPicture("ui", "m_hp.png", "targeted enemy's hit-point bar, 169x10", bar(169, 10, rgb(0xA01020), rgb(0xFF8040)));
  m.addPicture("ui", "m_hp_base.png", "frame for an enemy bar, 197x17 (not drawn by the game)", enemyBarBase());
}

void makeTitle(Manifest& m) {
  m.set("ui");
  Canvas c(800, 480);
  fill(c, rectShape(0, 0, 800, 480), verticalGradient(0, rgb(0x241A3A), 300, rgb(0xE8704A)));
  fill(c, rectShape(0, 300, 800, 180), verticalGradient(300, rgb(0xF2A060), 480, rgb(0x40283A)));
  // A low sun behind the city.
  fill(c, circleShape({560, 300}, 120), withAlpha(rgb(0xFFD890), 0.25f));
  fill(c, circleShape({560, 300}, 70), withAlpha(rgb(0xFFE8B0), 0.8f));
  // Skyline silhouettes in two depths.
  for (int layer = 0; layer < 2; ++layer) {
    Color col = layer == 0 ? rgb(0x6A3A58) : rgb(0x2A1828);
    float base = layer == 0 ? 330.0f : 360.0f;
    uint32_t seed = 7u + layer * 31u;
    float x = -10;
    Shape s;
    while (x < 810) {
      seed = seed * 1664525u + 1013904223u;
      float w = 30 + (seed >> 24) % 50;
      seed = seed * 1664525u + 1013904223u;
      float h = (layer == 0 ? 60 : 40) + (seed >> 24) % (layer == 0 ? 110 : 90);
      s.add(rectShape(x, base - h, w - 4, h + 200));
      x += w;
    }
    fill(c, s, col);
  }
  fill(c, rectShape(0, 400, 800, 80), verticalGradient(400, rgb(0x2A1828), 480, rgb(0x120A14)));
  // The hero's portrait, large, and the name of the game.
  Canvas hero(800, 480);
  drawHeroPortrait(hero, {170, 300}, 120);
  c.drawOver(hero, 0, 0);
  TextStyle big;
  big.unit = 10;
  big.stroke = 0.62f;
  big.spacing = 1.4f;
  std::string title = "TERVALEN";
  float w = textWidth(title, big);
  float x = 470 - w / 2;
  fill(c, textShape(title, x + 4, 64, big, 4), withAlpha(rgb(0x1A0A14), 0.6f));
  fill(c, textShape(title, x, 60, big, 3.5f), rgb(0x1A0A14));
  fill(c, textShape(title, x, 60, big), verticalGradient(60, rgb(0xFFF8E0), 160, rgb(0xFFB040)));
  TextStyle small;
  small.unit = 2.4f;
  small.color = rgb(0xFFE8C8);
  std::string sub = "Loading the streets...";
  drawText(c, sub, 470 - textWidth(sub, small) / 2, 190, small);
  m.addPicture("ui", "bg.png", "title picture, 800x480 (also copied beside the game, loaded before the pack)", c);
}

}  // namespace assetgen
