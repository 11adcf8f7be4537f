#include "Scenery.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "Font.h"
#include "Raster.h"
#include "SceneryParts.h"

namespace assetgen {

namespace {

using namespace scenery;

Canvas background(const Mood& m, Vec2 sun, float sunR, uint32_t seed, bool clouds) {
  Canvas c(800, 480);
  fill(c, rectShape(0, 0, 800, 480), verticalGradient(0, m.skyTop, 300, m.skyHorizon));
  fill(c, circleShape(sun, sunR * 2.6f), withAlpha(m.sun, 0.18f));
  fill(c, circleShape(sun, sunR * 1.6f), withAlpha(m.sun, 0.3f));
  fill(c, circleShape(sun, sunR), withAlpha(mix(m.sun, rgb(0xFFFFFF), 0.5f), 0.95f));
  if (clouds) {
    Lcg r{seed};
    for (int i = 0; i < 7; ++i) {
      float x = 60 + i * 110 + 40 * r.next(), y = 60 + 120 * r.next();
      Shape s;
      for (int k = 0; k < 5; ++k) s.add(ellipseShape({x + k * 18 - 36, y + 4 * r.next()}, 26 + 10 * r.next(), 9 + 4 * r.next()));
      fill(c, s, withAlpha(mix(m.skyTop, rgb(0xFFFFFF), 0.6f), 0.55f));
    }
  }
  // Below the horizon the ground is hidden by the middle layer; keep it dark.
  fill(c, rectShape(0, 280, 800, 200), verticalGradient(280, m.skyHorizon, 480, m.floorB));
  return c;
}

}  // namespace

namespace scenery {

// A wide strip of skyline or hills: silhouettes in two tones, bottom flat.
Canvas skyline(const Mood& m, int w, int h, bool hills, uint32_t seed) {
  Canvas c(w, h);
  Lcg r{seed};
  for (int layer = 0; layer < 2; ++layer) {
    Color col = layer == 0 ? m.farA : m.farB;
    Shape s;
    if (hills) {
      std::vector<Vec2> pts{{0, static_cast<float>(h)}};
      float base = layer == 0 ? h * 0.25f : h * 0.5f;
      for (int x = 0; x <= w; x += 8) {
        float t = static_cast<float>(x) / w;
        float y = base + (layer == 0 ? 40 : 28) * std::sin(2 * kPi * (2 * t + 0.13f * layer)) +
                  18 * std::sin(2 * kPi * (5 * t + 0.4f)) + 8 * std::sin(2 * kPi * 11 * t);
        pts.push_back({static_cast<float>(x), y});
      }
      pts.push_back({static_cast<float>(w), static_cast<float>(h)});
      s.add(pts);
    } else {
      float x = 0;
      while (x < w) {
        float bw = 34 + 46 * r.next();
        float bh = (layer == 0 ? 0.45f : 0.3f) * h + (layer == 0 ? 0.5f : 0.4f) * h * r.next();
        bw = std::min(bw, w - x);
        s.add(rectShape(x, h - bh, bw - 3, bh));
        if (r.next() < 0.3f) s.add(rectShape(x + bw * 0.4f, h - bh - 18, 3, 18));
        x += bw;
      }
    }
    fill(c, s, col);
    if (!hills && layer == 1) {
      // Lit windows in the nearer row.
      Lcg wr{seed + 5};
      for (int i = 0; i < w / 6; ++i) {
        float x = w * wr.next(), y = h * (0.45f + 0.5f * wr.next());
        if (rasterize(rectShape(x, y, 3, 4), w, h).at(static_cast<int>(x) + 1, static_cast<int>(y) + 1) > 0 &&
            c.at(static_cast<int>(x), static_cast<int>(y)).a > 0.9f)
          fill(c, rectShape(x, y, 3, 4), withAlpha(m.window, 0.8f));
      }
    }
  }
  return c;
}

// The second way on, at the front of the floor: stairs going down out of the
// picture's bottom edge into a lit opening, between two posts. Style 1: a quay
// stair with iron rails and bollards (the docks); style 2: stone steps between
// two low lanterns (the temple).
Canvas frontWay(const Mood& m, int style) {
  const int w = 200, h = 110;
  Canvas c(w, h);
  // The opening in the floor, wider at the front (nearer the viewer).
  const Vec2 backL{50, 30}, backR{150, 30}, frontL{28, h}, frontR{172, h};
  fill(c, polygonShape({backL + Vec2{-6, -5}, backR + Vec2{6, -5}, frontR + Vec2{8, 0}, frontL + Vec2{-8, 0}}), kInk);
  fill(c, polygonShape({backL, backR, frontR, frontL}),
       verticalGradient(30, rgb(0xFFF4C8), static_cast<float>(h), rgb(0xFFB050)));
  // The steps: dark treads across the light, closer together at the back.
  for (int i = 0; i < 6; ++i) {
    const float t = static_cast<float>(i) / 6.0f, y = 34 + (h - 34) * t * t * 0.85f + 6 * t;
    const float inset = 22 * (1 - (y - 30) / (h - 30));
    fill(c, rectShape(28 + inset, y, 144 - 2 * inset, 3 + 3 * t), withAlpha(shade(m.floorB, 0.7f), 0.85f));
  }
  if (style == 1) {
    // Iron rails down both sides, and a bollard with a coil of rope at each back corner.
    fill(c, strokeShape({{44, 22}, {20, h - 4}}, 2.5f), kInk);
    fill(c, strokeShape({{156, 22}, {180, h - 4}}, 2.5f), kInk);
    for (float y = 34; y < h; y += 22) {
      const float k = (y - 22) / (h - 26);
      fill(c, rectShape(44 - 24 * k - 1.5f, y - 14, 3, 14), kInk);
      fill(c, rectShape(156 + 24 * k - 1.5f, y - 14, 3, 14), kInk);
    }
    for (float x : {30.0f, 170.0f}) {
      fill(c, roundRectShape(x - 9, 4, 18, 26, 6), kInk);
      fill(c, roundRectShape(x - 6, 7, 12, 21, 4), shade(m.trim, 0.9f));
      fill(c, ellipseShape({x, 20}, 11, 4), shade(m.floorA, 1.1f));
    }
  } else {
    // Stone lanterns at the back corners, their windows lit.
    for (float x : {28.0f, 172.0f}) {
      fill(c, rectShape(x - 5, 14, 10, 22), kInk);
      fill(c, rectShape(x - 3, 16, 6, 18), m.floorA);
      fill(c, polygonShape({{x - 14, 6}, {x, -2}, {x + 14, 6}, {x + 10, 10}, {x - 10, 10}}), kInk);
      fill(c, polygonShape({{x - 11, 6}, {x, 0}, {x + 11, 6}, {x + 8, 8}, {x - 8, 8}}), m.trim);
      fill(c, rectShape(x - 3, 19, 6, 6), rgb(0xFFE080));
      fill(c, circleShape({x, 22}, 12), withAlpha(rgb(0xFFE080), 0.2f));
    }
  }
  return c;
}

}  // namespace scenery

namespace {

// A floor strip of the middle layer: a band at the back and the walking surface.
Canvas floorTile(const Mood& m, int kind, uint32_t seed) {
  const int w = 400, h = 480 - kFloorTop;
  Canvas c(w, h);
  fill(c, rectShape(0, 0, w, h), verticalGradient(0, m.floorA, h, m.floorB));
  Lcg r{seed};
  if (kind == 0) {  // street: kerb, pavement slabs, road with a dashed line
    fill(c, rectShape(0, 0, w, 26), verticalGradient(0, shade(m.trim, 1.1f), 26, m.trim));
    fill(c, rectShape(0, 26, w, 4), shade(m.floorA, 0.6f));
    for (int x = 0; x < w; x += 80) fill(c, rectShape(static_cast<float>(x), 0, 2, 26), shade(m.trim, 0.7f));
    for (int x = 20; x < w; x += 200) fill(c, rectShape(static_cast<float>(x), 118, 110, 7), withAlpha(rgb(0xF0E8C0), 0.75f));
  } else if (kind == 1) {  // wooden dock: planks with seams and nails
    for (int y = 0; y < h; y += 22) {
      Color plank = shade(mix(m.floorA, m.floorB, static_cast<float>(y) / h), 0.92f + 0.16f * r.next());
      fill(c, rectShape(0, static_cast<float>(y), w, 20), plank);
      fill(c, rectShape(0, y + 20.0f, w, 2), shade(plank, 0.5f));
      float off = 130 * r.next();
      for (float x = off; x < w; x += 130) fill(c, rectShape(x, static_cast<float>(y), 2, 20), shade(plank, 0.55f));
    }
  } else if (kind == 2) {  // stone courtyard: staggered slabs
    int row = 0;
    for (int y = 0; y < h; y += 30, ++row) {
      float off = (row % 2) * 40.0f;
      for (float x = -off; x < w; x += 80) {
        Color slab = shade(mix(m.floorA, m.floorB, static_cast<float>(y) / h), 0.9f + 0.2f * r.next());
        fill(c, roundRectShape(x + 1, y + 1.0f, 78, 28, 3), slab);
      }
    }
  } else {  // polished hall floor: dark and red tiles with a sheen, edge to edge
    // (a gap between tiles let the gradient underneath show as light lines).
    for (int y = 0, row = 0; y < h; y += 38, ++row)
      for (int x = 0, col = 0; x < w; x += 50, ++col) {
        Color t = (row + col) % 2 ? m.floorA : m.floorB;
        fill(c, rectShape(static_cast<float>(x), static_cast<float>(y), 50, 38), t);
      }
    fill(c, rectShape(0, 0, w, h), [&](float, float y) { return withAlpha(rgb(0xFFFFFF), 0.12f * (1 - y / h)); });
  }
  // The back edge is lit, the front falls into shade.
  fill(c, rectShape(0, 0, w, h), [&](float, float y) { return withAlpha(rgb(0x000000), 0.3f * y / h); });
  return c;
}

// A building front standing on the floor's back edge.
Canvas facade(const Mood& m, int w, int h, int style, uint32_t seed) {
  Canvas c(w, h);
  Lcg r{seed};
  Color wall = mix(m.wallA, m.wallB, r.next());
  fill(c, rectShape(2, 14, w - 4.0f, h - 14.0f), kInk);
  fill(c, rectShape(4, 16, w - 8.0f, h - 16.0f), verticalGradient(16, shade(wall, 1.08f), static_cast<float>(h), shade(wall, 0.75f)));
  // Roof or cornice.
  fill(c, rectShape(0, 6, static_cast<float>(w), 14), kInk);
  fill(c, rectShape(2, 8, w - 4.0f, 10), m.roof);
  int cols = std::max(2, w / 70);
  float cw = (w - 20.0f) / cols;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < cols; ++col) {
      float x = 10 + col * cw + cw * 0.2f, y = 34 + row * 62.0f;
      if (y + 40 > h - 70) continue;
      bool lit = r.next() < 0.45f;
      fill(c, rectShape(x - 2, y - 2, cw * 0.6f + 4, 44), kInk);
      fill(c, rectShape(x, y, cw * 0.6f, 40), lit ? verticalGradient(y, m.window, y + 40, shade(m.window, 0.7f))
                                                  : verticalGradient(y, shade(m.farB, 1.2f), y + 40, shade(m.farB, 0.8f)));
      fill(c, rectShape(x + cw * 0.3f - 1, y, 2, 40), kInk);
    }
  // Ground floor: a shop front with an awning, a door or a shutter.
  float gy = h - 70.0f;
  if (style == 0) {
    fill(c, rectShape(10, gy - 16, w - 20.0f, 16), kInk);
    for (float x = 12; x < w - 12; x += 24)
      fill(c, polygonShape({{x, gy - 14}, {x + 22, gy - 14}, {x + 24, gy}, {x - 2, gy}}),
           (static_cast<int>(x) / 24) % 2 ? m.trim : rgb(0xF4EEE0));
    fill(c, rectShape(18, gy + 8, w * 0.55f, h - gy - 8), kInk);
    fill(c, rectShape(20, gy + 10, w * 0.55f - 4, h - gy - 10), verticalGradient(gy, m.window, static_cast<float>(h), shade(m.window, 0.5f)));
  } else if (style == 1) {
    fill(c, rectShape(w * 0.3f, gy + 4, w * 0.4f, h - gy - 4), kInk);
    for (float y = gy + 8; y < h; y += 7) fill(c, rectShape(w * 0.3f + 2, y, w * 0.4f - 4, 5), shade(m.wallB, 0.8f));
  } else {
    fill(c, rectShape(w * 0.6f, gy, 44, h - gy), kInk);
    fill(c, rectShape(w * 0.6f + 3, gy + 3, 38, h - gy - 3), shade(m.roof, 0.8f));
    fill(c, circleShape({w * 0.6f + 34, gy + 38}, 2.5f), m.trim);
  }
  return c;
}

}  // namespace

namespace scenery {

Canvas fence(const Mood& m, int w, int h) {
  Canvas c(w, h);
  for (int x = 8; x < w; x += 32) {
    fill(c, roundRectShape(x - 3.0f, 4, 10, h - 4.0f, 3), kInk);
    fill(c, roundRectShape(x - 1.0f, 6, 6, h - 8.0f, 2), verticalGradient(0, m.trim, static_cast<float>(h), shade(m.trim, 0.6f)));
  }
  for (float y : {h * 0.25f, h * 0.6f}) {
    fill(c, rectShape(0, y - 3, static_cast<float>(w), 8), kInk);
    fill(c, rectShape(0, y - 1, static_cast<float>(w), 4), shade(m.trim, 0.85f));
  }
  return c;
}

}  // namespace scenery

namespace {

}  // namespace

namespace scenery {

// The way on at the scene's far end: a gate with a bright opening.
Canvas gate(const Mood& m, int style) {
  const int w = 220, h = kFloorTop + 30;
  Canvas c(w, h);
  float top = style == 1 ? 150.0f : 90.0f;
  fill(c, rectShape(10, top - 10, 200, h - top + 10), kInk);
  fill(c, rectShape(14, top - 6, 192, h - top + 6), verticalGradient(top, m.roof, static_cast<float>(h), shade(m.roof, 0.6f)));
  fill(c, rectShape(50, top + 30, 120, h - top - 30), kInk);
  fill(c, rectShape(54, top + 34, 112, h - top - 34), verticalGradient(top + 34, rgb(0xFFF4C8), static_cast<float>(h), rgb(0xFFC060)));
  if (style == 2) {  // a temple gate's curved roof
    fill(c, polygonShape({{-4, top}, {110, top - 60}, {224, top}, {200, top + 8}, {110, top - 40}, {20, top + 8}}), kInk);
    fill(c, polygonShape({{4, top - 2}, {110, top - 54}, {216, top - 2}, {200, top + 2}, {110, top - 44}, {20, top + 2}}), m.trim);
  }
  return c;
}

}  // namespace scenery

namespace {

// Near-layer pieces pass in front of the fighters, so none may hide one: the
// lamp post is a thin translucent pole, the foliage keeps to the bottom edge
// below the fighters' knees, the stone lantern is low and translucent.
Canvas post(const Mood& m, int kind) {
  Canvas c(kind == 1 ? 240 : 90, 480);
  // Half see-through at most, light included, wherever a fighter's body may be.
  const Color ink = withAlpha(m.nearInk, 0.45f);
  if (kind == 0) {  // lamp post; its head stays below the score line
    Shape lamp = rectShape(40, 130, 10, 350);
    lamp.add(roundRectShape(25, 110, 40, 22, 6));
    fill(c, lamp, ink);
    fill(c, circleShape({45, 136}, 9), withAlpha(m.window, 0.9f));
    fill(c, circleShape({45, 136}, 28), withAlpha(m.window, 0.15f));
  } else if (kind == 1) {  // foliage; the scenes hang it 60 lower, at the screen's bottom edge
    Lcg r{77};
    Shape s;
    for (int i = 0; i < 12; ++i)
      s.add(ellipseShape({30 + 180 * r.next(), 404 + 14 * r.next()}, 18 + 14 * r.next(), 10 + 8 * r.next(), r.next()));
    fill(c, s, withAlpha(m.nearInk, 0.85f));
  } else {  // a low stone lantern with a lit window
    Shape stone = rectShape(30, 420, 30, 60);
    stone.add(rectShape(18, 462, 54, 18));
    stone.add(rectShape(20, 408, 50, 14));
    stone.add(polygonShape({{14, 360}, {45, 344}, {76, 360}, {70, 366}, {20, 366}}));
    stone.add(rectShape(24, 366, 42, 7));
    stone.add(rectShape(24, 399, 42, 9));
    stone.add(rectShape(24, 373, 9, 26));
    stone.add(rectShape(57, 373, 9, 26));
    fill(c, stone, ink);
    fill(c, rectShape(33, 373, 24, 26), withAlpha(m.window, 0.45f));
    fill(c, circleShape({45, 386}, 30), withAlpha(m.window, 0.08f));
  }
  return c;
}

// Warehouses and stacked containers of the harbour.
Canvas warehouse(const Mood& m, int w, int h, int variant, uint32_t seed) {
  Canvas c(w, h);
  Lcg r{seed};
  if (variant == 2) {  // two rows of shipping containers
    const Color cols[] = {rgb(0xB8452E), rgb(0x2E6E9A), rgb(0xC89A2A), rgb(0x4E8A4A)};
    float bw = w / 2.0f - 4, bh = 62;
    for (int row = 0; row < 2; ++row)
      for (int k = 0; k < 2 - row; ++k) {
        float x = 4 + k * (bw + 4) + row * bw * 0.5f, y = h - (row + 1) * (bh + 2);
        Color col = cols[static_cast<int>(r.next() * 4) % 4];
        fill(c, rectShape(x, y, bw, bh), kInk);
        fill(c, rectShape(x + 2, y + 2, bw - 4, bh - 4), verticalGradient(y, shade(col, 1.1f), y + bh, shade(col, 0.7f)));
        for (float rx = x + 8; rx < x + bw - 6; rx += 9) fill(c, rectShape(rx, y + 4, 2, bh - 8), shade(col, 0.6f));
      }
    return c;
  }
  Color wall = mix(m.wallA, m.wallB, r.next());
  fill(c, polygonShape({{0, 30}, {w / 2.0f, 4}, {static_cast<float>(w), 30}, {static_cast<float>(w), static_cast<float>(h)},
                        {0, static_cast<float>(h)}}),
       kInk);
  fill(c, polygonShape({{3, 32}, {w / 2.0f, 8}, {w - 3.0f, 32}, {w - 3.0f, static_cast<float>(h)}, {3, static_cast<float>(h)}}),
       [&](float x, float y) {
         float stripe = (static_cast<int>(x) / 6) % 2 ? 1.0f : 0.86f;
         return shade(mix(shade(wall, 1.1f), shade(wall, 0.72f), y / h), stripe);
       });
  // A big sliding door and a sign.
  fill(c, rectShape(w * 0.25f, h - 130.0f, w * 0.5f, 130), kInk);
  fill(c, rectShape(w * 0.25f + 3, h - 127.0f, w * 0.5f - 6, 127), verticalGradient(h - 127.0f, shade(m.roof, 1.3f), static_cast<float>(h), m.roof));
  fill(c, rectShape(w * 0.5f - 1, h - 127.0f, 2, 127), kInk);
  fill(c, rectShape(w * 0.2f, 44, w * 0.6f, 30), kInk);
  fill(c, rectShape(w * 0.2f + 3, 47, w * 0.6f - 6, 24), rgb(0xF2E8D0));
  TextStyle st;
  st.unit = 2.0f;
  st.color = rgb(0x2A3440);
  std::string label = variant == 0 ? "DOCK 7" : "CARGO";
  drawText(c, label, w * 0.5f - textWidth(label, st) / 2, 48, st);
  return c;
}

// Temple halls: white walls, red pillars, dark beams and a curved tiled roof.
Canvas templeHall(const Mood& m, int w, int h, int variant) {
  Canvas c(w, h);
  float roofY = 40;
  fill(c, rectShape(8, roofY + 20, w - 16.0f, h - roofY - 20), kInk);
  fill(c, rectShape(11, roofY + 23, w - 22.0f, h - roofY - 23), verticalGradient(roofY, m.wallA, static_cast<float>(h), shade(m.wallB, 0.85f)));
  fill(c, rectShape(11, h - 70.0f, w - 22.0f, 70), verticalGradient(h - 70.0f, shade(m.roof, 0.9f), static_cast<float>(h), shade(m.roof, 0.55f)));
  for (float x = 16; x < w - 20; x += (w - 36) / 3.0f) {
    fill(c, rectShape(x - 2, roofY + 20, 18, h - roofY - 20), kInk);
    fill(c, rectShape(x, roofY + 22, 14, h - roofY - 22), verticalGradient(roofY, shade(m.trim, 1.15f), static_cast<float>(h), shade(m.trim, 0.7f)));
  }
  if (variant != 1) {
    Vec2 win{w / 2.0f, roofY + 80};
    fill(c, circleShape(win, 28), kInk);
    fill(c, circleShape(win, 25), shade(m.roof, 0.7f));
    for (int k = -1; k <= 1; ++k) fill(c, rectShape(win.x + k * 9 - 1, win.y - 25, 2, 50), kInk);
  }
  fill(c, polygonShape({{-2, roofY + 26}, {18, roofY}, {w - 18.0f, roofY}, {w + 2.0f, roofY + 26}, {w - 8.0f, roofY + 30},
                        {w / 2.0f, roofY + 22}, {8, roofY + 30}}),
       kInk);
  fill(c, polygonShape({{2, roofY + 24}, {20, roofY + 3}, {w - 20.0f, roofY + 3}, {w - 2.0f, roofY + 24}, {w / 2.0f, roofY + 19}}),
       verticalGradient(roofY, rgb(0x5A6A62), roofY + 24, rgb(0x2E3A36)));
  return c;
}

// The warlord's hall: lacquered wall panels, gold trim, banners and a brazier.
Canvas throneWall(const Mood& m, int w, int h, int variant) {
  Canvas c(w, h);
  fill(c, rectShape(0, 20, static_cast<float>(w), h - 20.0f), kInk);
  fill(c, rectShape(3, 23, w - 6.0f, h - 23.0f), verticalGradient(23, shade(m.wallA, 1.1f), static_cast<float>(h), shade(m.wallB, 0.7f)));
  for (float x = 14; x < w - 40; x += 70) {
    fill(c, rectShape(x, 40, 56, h - 60.0f), shade(m.wallB, 0.8f));
    Mask frame = rasterize(rectShape(x, 40, 56, h - 60.0f), w, h).minus(rasterize(rectShape(x + 3, 43, 50, h - 66.0f), w, h));
    paint(c, frame, m.trim);
  }
  if (variant == 1) {  // a banner with the warlord's sign
    fill(c, polygonShape({{w / 2.0f - 40, 30}, {w / 2.0f + 40, 30}, {w / 2.0f + 40, 200}, {w / 2.0f, 178}, {w / 2.0f - 40, 200}}), kInk);
    fill(c, polygonShape({{w / 2.0f - 37, 33}, {w / 2.0f + 37, 33}, {w / 2.0f + 37, 194}, {w / 2.0f, 173}, {w / 2.0f - 37, 194}}),
         rgb(0x2A1030));
    Vec2 o{w / 2.0f, 100};
    fill(c, polygonShape({o + Vec2{0, -30}, o + Vec2{22, 0}, o + Vec2{0, 30}, o + Vec2{-22, 0}}), m.trim);
    fill(c, polygonShape({o + Vec2{0, -16}, o + Vec2{11, 0}, o + Vec2{0, 16}, o + Vec2{-11, 0}}), rgb(0x2A1030));
  } else {  // a brazier with fire
    Vec2 b{w / 2.0f, h - 40.0f};
    fill(c, polygonShape({b + Vec2{-26, -20}, b + Vec2{26, -20}, b + Vec2{14, 6}, b + Vec2{-14, 6}}), kInk);
    fill(c, rectShape(b.x - 4, b.y + 4, 8, 36), kInk);
    fill(c, polygonShape({b + Vec2{-24, -18}, b + Vec2{24, -18}, b + Vec2{13, 4}, b + Vec2{-13, 4}}), m.trim);
    fill(c, blobShape({{b + Vec2{0, -30}, 18}, {b + Vec2{0, -70}, 4}}), withAlpha(rgb(0xFF7A20), 0.9f));
    fill(c, blobShape({{b + Vec2{0, -28}, 10}, {b + Vec2{2, -56}, 3}}), withAlpha(rgb(0xFFE080), 0.95f));
  }
  return c;
}

// Far layer of the hall: a dim colonnade.
Canvas colonnade(const Mood& m, int w, int h) {
  Canvas c(w, h);
  fill(c, rectShape(0, h * 0.35f, static_cast<float>(w), h * 0.65f), m.farB);
  for (float x = 20; x < w; x += 100) {
    fill(c, rectShape(x, 20, 26, static_cast<float>(h)), m.farA);
    fill(c, rectShape(x - 8, 20, 42, 12), m.farA);
    fill(c, circleShape({x + 63, h * 0.35f}, 36), m.farB);
  }
  return c;
}

void makeScene(Manifest& mf, const std::string& name, const std::string& about, const Mood& m, int floorKind,
               bool hills, Vec2 sun, int gateStyle, int postKind, uint32_t seed, int frontWayStyle = 0) {
  mf.set(name, about);
  mf.addPicture(name, "bg.png", "background, 800x480, fixed", background(m, sun, 34, seed, floorKind != 3));
  mf.addPicture(name, "far.png", "far layer strip, 700x210: place at y 90, x 0, 700, ... (half-speed scroll)",
                floorKind == 3 ? colonnade(m, 700, 210) : skyline(m, 700, 210, hills, seed + 1));
  mf.addPicture(name, "floor.png", "floor strip, 400x194: place at y 286, every 400 along the scene", floorTile(m, floorKind, seed + 2));
  for (int i = 0; i < 3; ++i)
    mf.addPicture(name, "building_" + std::to_string(i) + ".png",
                  "middle-layer front " + std::to_string(i) + ", 260 to 340 wide, stands on y 286",
                  floorKind == 1   ? warehouse(m, 260 + 40 * i, 230 - 20 * (i % 2), i, seed + 10 + i)
                  : floorKind == 2 ? templeHall(m, 260 + 40 * i, 230 - 20 * (i % 2), i)
                  : floorKind == 3 ? throneWall(m, 260 + 40 * i, 230 - 20 * (i % 2), i)
                                   : facade(m, 260 + 40 * i, 230 - 20 * (i % 2), i, seed + 10 + i));
  mf.addPicture(name, "fence.png", "fence, 400x90: place at y 200", fence(m, 400, 90));
  mf.addPicture(name, "gate.png", "the way on at the far end, 220x316: place at y 0", gate(m, gateStyle));
  mf.addPicture(name, "near_0.png", "near piece: thin translucent lamp post or low stone lantern, 90x480", post(m, postKind));
  mf.addPicture(name, "near_1.png", "near piece: low foliage, 240x480: place at y 60, where it covers only the bottom rows of the screen", post(m, 1));
  if (frontWayStyle != 0)
    mf.addPicture(name, "way_front.png",
                  std::string("the second way on, at the front: ") +
                      (frontWayStyle == 1 ? "a quay stair" : "stone steps between lanterns") +
                      ", 200x110: place at y 370, centred on the front door",
                  frontWay(m, frontWayStyle));
}

}  // namespace

void makeScenery(Manifest& mf) {
  Mood street{rgb(0xFBE6CC), rgb(0xF39A60), rgb(0xFFE2A0), rgb(0xB77A8C), rgb(0x7A4A6A), rgb(0xB8806A), rgb(0x8A6070),
              rgb(0x4A2A3A), rgb(0xFFD890), rgb(0x6E6670), rgb(0x3A3440), rgb(0xA89890), rgb(0x1A1018)};
  makeScene(mf, "Test", "scene Test: a city street at dusk", street, 0, false, {150, 200}, 0, 0, 100);
  Mood harbour{rgb(0xE8F2F8), rgb(0x9CC4DC), rgb(0xFFFFF0), rgb(0x8AA6BC), rgb(0x5C7890), rgb(0x9A8A78), rgb(0x6E7A84),
               rgb(0x3A4450), rgb(0xFFF0C0), rgb(0x9A7A5A), rgb(0x5A4232), rgb(0x7A5A40), rgb(0x14181E)};
  makeScene(mf, "harbor", "scene harbor: the docks in the morning", harbour, 1, true, {620, 120}, 1, 0, 200, 1);
  Mood temple{rgb(0xFCEFC8), rgb(0xF0C070), rgb(0xFFF0B0), rgb(0xB89A88), rgb(0x8A6A68), rgb(0xE6D8B8), rgb(0xC8B090),
              rgb(0x8A2A22), rgb(0xFFE0A0), rgb(0xB0A494), rgb(0x6E6458), rgb(0xB83A2A), rgb(0x1C1612)};
  makeScene(mf, "temple", "scene temple: a mountain courtyard in the afternoon", temple, 2, true, {680, 170}, 2, 2, 300, 2);
  Mood hall{rgb(0xF2E4CC), rgb(0xC89A70), rgb(0xFFB060), rgb(0x8A5A48), rgb(0x5A3430), rgb(0x7A3A30), rgb(0x5A2A26),
            rgb(0x2A1418), rgb(0xFFC070), rgb(0x5A2028), rgb(0x201418), rgb(0xD8A040), rgb(0x100A0C)};
  makeScene(mf, "zd", "scene zd: the warlord's hall, the last scene", hall, 3, false, {400, 150}, 3, 2, 400);
}

void makeProps(Manifest& mf) {
  const char* set = "props";
  mf.set(set, "props the player can strike: crate and barrel, whole and broken (feet at the bottom centre)");
  auto crate = [](bool broken) {
    Canvas c(80, 72);
    if (!broken) {
      fill(c, rectShape(6, 8, 68, 62), kInk);
      fill(c, rectShape(9, 11, 62, 56), verticalGradient(11, rgb(0xC8904A), 67, rgb(0x8A5A2A)));
      for (float y : {11.0f, 36.0f, 61.0f}) fill(c, rectShape(9, y, 62, 6), rgb(0x6A4020));
      fill(c, polygonShape({{12, 17}, {18, 17}, {68, 58}, {62, 58}}), rgb(0x7A4A22));
    } else {
      Lcg r{5};
      for (int i = 0; i < 6; ++i) {
        float x = 6 + 58 * r.next(), y = 44 + 20 * r.next(), a = r.next() * kPi;
        Shape plank = polygonShape({{x, y}, {x + 26 * std::cos(a), y + 8 * std::sin(a)},
                                    {x + 26 * std::cos(a), y + 8 * std::sin(a) + 6}, {x, y + 6}});
        fill(c, grownShape(plank, 1.5f), kInk);
        fill(c, plank, shade(rgb(0xB07A40), 0.8f + 0.3f * r.next()));
      }
    }
    return c;
  };
  auto barrel = [](bool broken) {
    Canvas c(64, 80);
    if (!broken) {
      fill(c, blobShape({{{32, 20}, 20}, {{32, 58}, 20}}), kInk);
      fill(c, blobShape({{{32, 21}, 18}, {{32, 57}, 18}}), [](float x, float) {
        float t = std::fabs(x - 28) / 22;
        return shade(rgb(0x4A7AA0), 1.15f - 0.5f * t);
      });
      for (float y : {18.0f, 38.0f, 60.0f}) fill(c, rectShape(13, y, 38, 4), rgb(0x3A3A44));
    } else {
      fill(c, polygonShape({{12, 78}, {14, 56}, {24, 62}, {30, 50}, {40, 60}, {50, 54}, {52, 78}}), kInk);
      fill(c, polygonShape({{15, 76}, {16, 59}, {24, 65}, {30, 54}, {40, 63}, {48, 58}, {49, 76}}), rgb(0x3E6A8E));
    }
    return c;
  };
  mf.addPicture(set, "crate.png", "crate, whole", crate(false));
  mf.addPicture(set, "crate_broken.png", "crate, broken into planks", crate(true));
  mf.addPicture(set, "barrel.png", "barrel, whole", barrel(false));
  mf.addPicture(set, "barrel_broken.png", "barrel, burst", barrel(true));
}

}  // namespace assetgen
