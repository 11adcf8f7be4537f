// Two of the later scenes, out where the city works: a train yard at dawn and
// a warehouse on fire.
#include <algorithm>
#include <cmath>
#include <string>

#include "Font.h"
#include "LaterScenery.h"

namespace assetgen::scenery {

namespace {

// A thin see-through pole for the near layer; what tops it is drawn opaque
// above the fighters' heads (rows above 120).
Canvas nearPole(const Mood& m, float alpha) {
  Canvas c(90, 480);
  fill(c, rectShape(42, 120, 6, 360), withAlpha(m.nearInk, alpha));
  return c;
}

// --- The train yard ---------------------------------------------------------

Canvas yardSky(const Mood& m) {
  Canvas c(800, 480);
  fill(c, rectShape(0, 0, 800, 480), verticalGradient(0, m.skyTop, 280, m.skyHorizon));
  fill(c, circleShape({520, 260}, 110), withAlpha(m.sun, 0.2f));
  fill(c, circleShape({520, 260}, 40), withAlpha(mix(m.sun, rgb(0xFFFFFF), 0.4f), 0.95f));
  Lcg r{701};
  for (int i = 0; i < 6; ++i)
    fill(c, ellipseShape({800 * r.next(), 120 + 110 * r.next()}, 80 + 60 * r.next(), 4 + 3 * r.next()),
         withAlpha(mix(m.skyHorizon, rgb(0xFFFFFF), 0.3f), 0.6f));
  fill(c, rectShape(0, 280, 800, 200), verticalGradient(280, m.skyHorizon, 480, m.floorB));
  return c;
}

// Hills and the yard's cranes and water tower against the dawn.
Canvas yardFar(const Mood& m) {
  Canvas c = skyline(m, 700, 210, true, 720);
  Shape s;
  for (float x : {120.0f, 480.0f}) {  // gantry cranes
    s.add(rectShape(x, 40, 8, 170));
    s.add(rectShape(x + 110, 40, 8, 170));
    s.add(rectShape(x - 20, 36, 160, 10));
    for (float k = 0; k < 110; k += 22) s.add(strokeShape({{x + k, 46}, {x + k + 22, 36}}, 1.2f));
  }
  s.add(rectShape(330, 120, 4, 90));
  s.add(rectShape(366, 120, 4, 90));
  s.add(roundRectShape(322, 80, 56, 44, 6));
  fill(c, s, shade(m.farB, 0.85f));
  return c;
}

// Ballast with two tracks along the yard: sleepers and steel rails.
Canvas yardFloor(const Mood& m) {
  const int w = 400, h = 480 - 286;
  Canvas c(w, h);
  fill(c, rectShape(0, 0, w, h), verticalGradient(0, m.floorA, h, m.floorB));
  Lcg r{730};
  for (int i = 0; i < 900; ++i) {
    float x = w * r.next(), y = h * r.next();
    fill(c, ellipseShape({x, y}, 2 + 2 * r.next(), 1.5f + r.next()), withAlpha(r.next() < 0.5f ? rgb(0xFFFFFF) : rgb(0x000000), 0.12f));
  }
  for (float ty : {58.0f, 140.0f}) {
    for (float x = 6; x < w; x += 30) {
      fill(c, rectShape(x, ty - 14, 14, 40), kInk);
      fill(c, rectShape(x + 2, ty - 12, 10, 36), rgb(0x5A3E2C));
    }
    for (float ry : {ty - 6, ty + 12}) {
      fill(c, rectShape(0, ry, w, 6), kInk);
      fill(c, rectShape(0, ry, w, 3), rgb(0xB8B8B4));
    }
  }
  // A painted safety line along the back.
  fill(c, rectShape(0, 0, w, 20), verticalGradient(0, shade(m.floorA, 1.1f), 20, shade(m.floorA, 0.8f)));
  for (float x = 0; x < w; x += 40) fill(c, polygonShape({{x, 20}, {x + 20, 20}, {x + 30, 26}, {x + 10, 26}}), m.trim);
  fill(c, rectShape(0, 0, w, h), [&](float, float y) { return withAlpha(rgb(0x000000), 0.25f * y / h); });
  return c;
}

// Rolling stock and the signal cabin on the back track.
Canvas rollingStock(const Mood& m, int w, int h, int variant) {
  Canvas c(w, h);
  const float bottom = h - 8.0f;
  auto bogies = [&](float x0, float x1) {
    for (float x : {x0 + 30, x0 + 62, x1 - 62, x1 - 30}) {
      fill(c, circleShape({x, bottom - 12}, 13), kInk);
      fill(c, circleShape({x, bottom - 12}, 9), rgb(0x4A4A4A));
    }
    fill(c, rectShape(x0 + 6, bottom - 30, x1 - x0 - 12, 8), kInk);
  };
  if (variant == 0) {  // a boxcar with its door half open
    float top = bottom - 160;
    fill(c, rectShape(6, top, w - 12.0f, 132), kInk);
    fill(c, rectShape(9, top + 3, w - 18.0f, 126), [&](float x, float y) {
      float rib = (static_cast<int>(x) / 14) % 2 ? 1.0f : 0.9f;
      return shade(mix(m.wallA, m.wallB, (y - top) / 130), rib);
    });
    fill(c, rectShape(w * 0.35f, top + 14, w * 0.3f, 114), kInk);
    fill(c, rectShape(w * 0.35f + 3, top + 17, w * 0.12f, 108), rgb(0x2A2220));
    fill(c, rectShape(w * 0.47f, top + 17, w * 0.18f - 3, 108), shade(m.wallA, 0.85f));
    TextStyle st;
    st.unit = 1.8f;
    st.color = rgb(0xE8E0D0);
    drawText(c, "TX 4107", 20, top + 16, st);
    bogies(6, w - 6.0f);
  } else if (variant == 1) {  // a tank wagon
    float cy = bottom - 80;
    fill(c, roundRectShape(10, cy - 52, w - 20.0f, 104, 50), kInk);
    fill(c, roundRectShape(13, cy - 49, w - 26.0f, 98, 47), verticalGradient(cy - 49, rgb(0x5A5E62), cy + 49, rgb(0x1E2022)));
    fill(c, rectShape(w / 2.0f - 20, cy - 64, 40, 14), kInk);
    fill(c, rectShape(20, cy - 4, w - 40.0f, 4), withAlpha(m.trim, 0.9f));
    bogies(10, w - 10.0f);
  } else {  // the signal cabin: brick below, glazed box above, a lamp
    float top = bottom - 200;
    fill(c, rectShape(40, top + 80, w - 80.0f, 128), kInk);
    fill(c, rectShape(43, top + 83, w - 86.0f, 125), [&](float x, float y) { return brickAt(rgb(0x8A5038), x, y, top + 83); });
    fill(c, rectShape(30, top + 10, w - 60.0f, 74), kInk);
    for (float x = 36; x < w - 40; x += 44) fill(c, rectShape(x, top + 18, 38, 54), verticalGradient(top + 18, m.window, top + 72, shade(m.window, 0.7f)));
    fill(c, polygonShape({{20, top + 14}, {w / 2.0f, top - 16}, {w - 20.0f, top + 14}}), kInk);
    fill(c, polygonShape({{28, top + 10}, {w / 2.0f, top - 10}, {w - 28.0f, top + 10}}), m.roof);
    TextStyle st;
    st.unit = 1.8f;
    st.color = rgb(0x201A18);
    fill(c, rectShape(w / 2.0f - 40, top + 92, 80, 18), rgb(0xE8E0C8));
    drawText(c, "YARD 3", w / 2.0f - textWidth("YARD 3", st) / 2, top + 94, st);
  }
  return c;
}

// Chain-link along the back.
Canvas chainLink(const Mood& m, int w, int h) {
  Canvas c(w, h);
  Shape mesh;
  for (float x = -h; x < w; x += 12) {
    mesh.add(strokeShape({{x, 10}, {x + h - 10.0f, static_cast<float>(h)}}, 0.6f));
    mesh.add(strokeShape({{x + h - 10.0f, 10}, {x, static_cast<float>(h)}}, 0.6f));
  }
  fill(c, mesh, withAlpha(shade(m.trim, 0.5f), 0.5f));
  for (float x = 4; x < w; x += 100) fill(c, rectShape(x, 4, 6, h - 4.0f), kInk);
  fill(c, rectShape(0, 8, static_cast<float>(w), 4), kInk);
  return c;
}

// The way on: the goods shed's open door under a signal gantry.
Canvas yardGate(const Mood& m) {
  Canvas c(220, 316);
  fill(c, rectShape(0, 120, 220, 196), kInk);
  fill(c, rectShape(4, 124, 212, 192), verticalGradient(124, m.wallA, 316, m.wallB));
  fill(c, rectShape(50, 170, 120, 146), kInk);
  fill(c, rectShape(54, 174, 112, 142), verticalGradient(174, rgb(0xFFF4C8), 316, rgb(0xFFC060)));
  fill(c, rectShape(0, 60, 220, 10), kInk);
  for (float x : {10.0f, 200.0f}) fill(c, rectShape(x, 60, 8, 60), kInk);
  for (float x : {70.0f, 140.0f}) {
    fill(c, roundRectShape(x, 70, 18, 36, 6), kInk);
    fill(c, circleShape({x + 9, 80}, 5), rgb(0x40E070));
    fill(c, circleShape({x + 9, 96}, 5), rgb(0x402020));
  }
  return c;
}

// Near: a signal post, its lamps up above the fighters, the pole see-through.
Canvas signalPost(const Mood& m) {
  Canvas c = nearPole(m, 0.4f);
  fill(c, roundRectShape(28, 30, 34, 80, 8), kInk);
  fill(c, circleShape({45, 52}, 9), rgb(0xE03020));
  fill(c, circleShape({45, 52}, 22), withAlpha(rgb(0xE03020), 0.15f));
  fill(c, circleShape({45, 86}, 9), rgb(0x302820));
  return c;
}

// Near: weeds between the sleepers at the bottom edge.
Canvas weeds(const Mood& m) {
  Canvas c(240, 480);
  Lcg r{760};
  Shape s;
  for (int i = 0; i < 40; ++i) {
    float x = 10 + 220 * r.next(), len = 12 + 22 * r.next(), lean = 16 * (r.next() - 0.5f);
    s.add(strokeShape({{x, 480}, {x + lean * 0.5f, 480 - len * 0.6f}, {x + lean, 480 - len}}, 1.6f));
  }
  fill(c, s, withAlpha(m.nearInk, 0.85f));
  return c;
}

// --- The burning warehouse --------------------------------------------------

void flame(Canvas& c, Vec2 base, float size) {
  fill(c, blobShape({{base, size}, {base + Vec2{size * 0.2f, -size * 2.6f}, size * 0.15f}}), withAlpha(rgb(0xE04010), 0.85f));
  fill(c, blobShape({{base + Vec2{0, size * 0.1f}, size * 0.65f}, {base + Vec2{-size * 0.1f, -size * 1.8f}, size * 0.1f}}),
       withAlpha(rgb(0xFF9A20), 0.9f));
  fill(c, blobShape({{base + Vec2{0, size * 0.2f}, size * 0.35f}, {base + Vec2{0, -size * 0.9f}, size * 0.08f}}),
       withAlpha(rgb(0xFFE880), 0.95f));
}

// Inside under the roof: lit smoke at the top, trusses, the fire's glow below.
Canvas warehouseSky(const Mood& m) {
  Canvas c(800, 480);
  fill(c, rectShape(0, 0, 800, 480), verticalGradient(0, m.skyTop, 280, m.skyHorizon));
  Lcg r{801};
  for (int i = 0; i < 16; ++i)
    fill(c, ellipseShape({800 * r.next(), 60 + 160 * r.next()}, 60 + 60 * r.next(), 24 + 20 * r.next()),
         withAlpha(shade(m.skyHorizon, 0.6f), 0.25f));
  Shape truss;
  for (float x = 0; x <= 800; x += 160) {
    truss.add(rectShape(0, 40, 800, 5));
    truss.add(rectShape(0, 110, 800, 5));
    truss.add(strokeShape({{x, 115}, {x + 80, 42}, {x + 160, 115}}, 2));
    truss.add(rectShape(x + 78, 40, 4, 75));
  }
  fill(c, truss, withAlpha(kInk, 0.8f));
  fill(c, rectShape(0, 200, 800, 90), verticalGradient(200, withAlpha(m.sun, 0), 286, withAlpha(m.sun, 0.5f)));
  fill(c, rectShape(0, 280, 800, 200), verticalGradient(280, m.skyHorizon, 480, m.floorB));
  return c;
}

// Tall racks in silhouette, some on fire.
Canvas warehouseFar(const Mood& m) {
  Canvas c(700, 210);
  for (float x = 10; x < 700; x += 120) {
    fill(c, rectShape(x, 30, 100, 180), m.farB);
    for (float y = 60; y < 210; y += 40) fill(c, rectShape(x + 4, y, 92, 30), m.farA);
  }
  for (float x : {80.0f, 330.0f, 560.0f}) flame(c, {x, 36}, 16);
  return c;
}

// Concrete slab with joints, a hazard stripe along the back, soot.
Canvas warehouseFloor(const Mood& m) {
  const int w = 400, h = 480 - 286;
  Canvas c(w, h);
  fill(c, rectShape(0, 0, w, h), verticalGradient(0, m.floorA, h, m.floorB));
  for (float x = 0; x < w; x += 100) fill(c, rectShape(x, 24, 3, h - 24.0f), shade(m.floorB, 0.7f));
  fill(c, rectShape(0, 100, w, 3), shade(m.floorB, 0.7f));
  fill(c, rectShape(0, 0, w, 22), kInk);
  for (float x = -20; x < w; x += 28) fill(c, polygonShape({{x, 22}, {x + 14, 22}, {x + 30, 0}, {x + 16, 0}}), m.trim);
  Lcg r{830};
  for (int i = 0; i < 5; ++i)
    fill(c, ellipseShape({w * r.next(), 50 + 130 * r.next()}, 30 + 30 * r.next(), 8 + 6 * r.next()), withAlpha(rgb(0x000000), 0.25f));
  fill(c, rectShape(0, 22, w, 60), verticalGradient(22, withAlpha(m.sun, 0.18f), 82, withAlpha(m.sun, 0)));
  fill(c, rectShape(0, 0, w, h), [&](float, float y) { return withAlpha(rgb(0x000000), 0.3f * y / h); });
  return c;
}

// Against the back wall: a burning rack, a blown-out window, stacked drums.
Canvas burningPile(const Mood& m, int w, int h, int variant) {
  Canvas c(w, h);
  Lcg r{840u + variant};
  if (variant == 0) {
    fill(c, rectShape(10, 40, w - 20.0f, h - 40.0f), kInk);
    for (float y = 60; y < h - 10; y += 50) {
      fill(c, rectShape(14, y + 36, w - 28.0f, 8), rgb(0xC86A20));
      for (float x = 20; x < w - 50; x += 44 + 10 * r.next())
        fill(c, rectShape(x, y + 4, 38, 32), shade(rgb(0xA07A4A), 0.7f + 0.4f * r.next()));
    }
    for (float x : {12.0f, w - 22.0f}) fill(c, rectShape(x, 40, 10, h - 40.0f), rgb(0xC86A20));
    for (float x = 40; x < w - 20; x += 70) flame(c, {x, 50}, 18 + 6 * r.next());
  } else if (variant == 1) {
    fill(c, rectShape(0, 20, static_cast<float>(w), h - 20.0f), kInk);
    fill(c, rectShape(3, 23, w - 6.0f, h - 23.0f),
         [&](float x, float y) { return brickAt(mix(m.wallA, m.wallB, y / h), x, y, 23); });
    fill(c, rectShape(w * 0.2f, 50, w * 0.6f, 100), kInk);
    fill(c, rectShape(w * 0.2f + 4, 54, w * 0.6f - 8, 92), verticalGradient(54, rgb(0xFFD070), 146, rgb(0xE04010)));
    for (float x = w * 0.25f; x < w * 0.8f; x += 40) flame(c, {x, 150}, 14 + 8 * r.next());
    fill(c, rectShape(w * 0.2f, 146, w * 0.6f, 8), kInk);
  } else {
    for (int row = 0; row < 2; ++row)
      for (float x = 20 + row * 30.0f; x < w - 60; x += 62) {
        float y = h - 90.0f * (row + 1);
        fill(c, roundRectShape(x, y, 56, 88, 6), kInk);
        fill(c, roundRectShape(x + 3, y + 3, 50, 82, 5), [&](float px, float) {
          return shade(rgb(0x2E5A8A), 1.15f - 0.5f * std::fabs(px - x - 22) / 30);
        });
        fill(c, rectShape(x + 3, y + 28, 50, 4), kInk);
        fill(c, rectShape(x + 3, y + 58, 50, 4), kInk);
      }
    flame(c, {w * 0.5f, h - 180.0f}, 20);
  }
  return c;
}

// A steel safety rail with yellow posts along the back.
Canvas safetyRail(const Mood& m, int w, int h) {
  Canvas c(w, h);
  for (float y : {30.0f, 60.0f}) {
    fill(c, rectShape(0, y, static_cast<float>(w), 6), kInk);
    fill(c, rectShape(0, y + 1, static_cast<float>(w), 3), m.trim);
  }
  for (float x = 20; x < w; x += 80) {
    fill(c, rectShape(x, 24, 10, h - 24.0f), kInk);
    fill(c, rectShape(x + 2, 26, 6, h - 26.0f), m.trim);
  }
  return c;
}

// The way out: a loading door rolled half up, the cool night outside.
Canvas loadingDoor(const Mood& m) {
  Canvas c(220, 316);
  fill(c, rectShape(10, 90, 200, 226), kInk);
  fill(c, rectShape(20, 100, 180, 216), verticalGradient(100, rgb(0x9AC8F0), 316, rgb(0x3A6A9A)));
  fill(c, rectShape(20, 100, 180, 90), shade(m.wallB, 1.1f));
  for (float y = 104; y < 190; y += 8) fill(c, rectShape(20, y, 180, 3), shade(m.wallB, 0.7f));
  fill(c, rectShape(20, 188, 180, 6), kInk);
  fill(c, rectShape(70, 66, 80, 20), rgb(0x30C060));
  TextStyle st;
  st.unit = 1.8f;
  st.color = rgb(0xF0FFF0);
  drawText(c, "EXIT", 110 - textWidth("EXIT", st) / 2, 69, st);
  return c;
}

// Near: burning debris along the bottom edge.
Canvas embersLow(const Mood& m) {
  Canvas c(240, 480);
  fill(c, roundRectShape(10, 452, 220, 28, 6), withAlpha(m.nearInk, 0.9f));
  for (float x : {40.0f, 110.0f, 180.0f}) flame(c, {x, 470}, 8);
  return c;
}

Canvas fallenBeam(const Mood& m) {
  Canvas c(240, 480);
  Shape s = polygonShape({{0, 470}, {230, 446}, {236, 458}, {6, 480}});
  s.add(roundRectShape(140, 446, 40, 34, 4));
  fill(c, s, withAlpha(m.nearInk, 0.9f));
  return c;
}

}  // namespace

void makeYard(Manifest& mf) {
  Mood m{rgb(0xE4ECDC), rgb(0xEAC890), rgb(0xFFF0C0), rgb(0x8A9488), rgb(0x626C66), rgb(0x8A3A2A), rgb(0x5A2A22),
         rgb(0x3A3A3A), rgb(0xFFE8A0), rgb(0x7A7068), rgb(0x4A4440), rgb(0xE0B030), rgb(0x141612)};
  addScenePictures(mf, "yard", "scene yard: a train yard at dawn",
                   {yardSky(m), yardFar(m), yardFloor(m),
                    {rollingStock(m, 260, 230, 0), rollingStock(m, 300, 210, 1), rollingStock(m, 340, 230, 2)},
                    chainLink(m, 400, 90), yardGate(m), signalPost(m), weeds(m)},
                   {"boxcar", "tank wagon", "signal cabin", "chain-link fence", "the goods shed's open door",
                    "signal post, lamps above the fighters, the pole see-through", "weeds at the bottom edge"});
}

void makeWarehouse(Manifest& mf) {
  Mood m{rgb(0xF6DCA8), rgb(0x9A3A1A), rgb(0xFFA030), rgb(0x5A3024), rgb(0x34201A), rgb(0x6A5A50), rgb(0x4A3E38),
         rgb(0x2A2220), rgb(0xFF9A30), rgb(0x5E5650), rgb(0x2E2824), rgb(0xE8B820), rgb(0x100806)};
  addScenePictures(mf, "warehouse", "scene warehouse: a warehouse on fire",
                   {warehouseSky(m), warehouseFar(m), warehouseFloor(m),
                    {burningPile(m, 260, 230, 0), burningPile(m, 300, 210, 1), burningPile(m, 340, 230, 2)},
                    safetyRail(m, 400, 90), loadingDoor(m), embersLow(m), fallenBeam(m)},
                   {"burning rack", "blown-out window", "stacked drums", "yellow safety rail",
                    "a loading door rolled half up", "burning debris at the bottom edge", "a fallen beam"});
}

}  // namespace assetgen::scenery
