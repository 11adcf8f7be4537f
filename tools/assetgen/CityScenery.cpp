// Two of the later scenes, up in the city at night: a night market under
// canvas and lanterns, and a rooftop in the rain.
#include <algorithm>
#include <cmath>
#include <string>

#include "Font.h"
#include "LaterScenery.h"

namespace assetgen::scenery {

namespace {

// A paper lantern hanging from (x, y): a red body with ribs, caps and a glow.
void lantern(Canvas& c, float x, float y, float r, Color body, Color light) {
  fill(c, circleShape({x, y + r * 0.9f}, r * 2.6f), withAlpha(light, 0.16f));
  fill(c, rectShape(x - 1, y - r * 0.4f, 2, r * 0.5f), kInk);
  fill(c, ellipseShape({x, y + r * 0.9f}, r + 1.5f, r * 1.1f + 1.5f), kInk);
  fill(c, ellipseShape({x, y + r * 0.9f}, r, r * 1.1f), [&](float px, float) {
    float t = std::fabs(px - x + r * 0.3f) / (r * 1.3f);
    return shade(mix(light, body, std::min(1.0f, t + 0.35f)), 1.1f - 0.3f * t);
  });
  for (float k : {-0.5f, 0.0f, 0.5f}) fill(c, rectShape(x + k * r - 0.75f, y + r * 0.1f, 1.5f, r * 1.6f), withAlpha(shade(body, 0.5f), 0.6f));
  fill(c, rectShape(x - r * 0.5f, y - r * 0.25f, r, r * 0.3f), kInk);
  fill(c, rectShape(x - r * 0.5f, y + r * 1.85f, r, r * 0.3f), kInk);
}

// --- The night market -------------------------------------------------------

// The sky between the stalls, under the edge of a pale canvas canopy that the
// lanterns light from below (the score line is read against it).
Canvas marketSky(const Mood& m) {
  Canvas c(800, 480);
  fill(c, rectShape(0, 0, 800, 480), verticalGradient(40, m.skyTop, 286, m.skyHorizon));
  Lcg r{501};
  for (int i = 0; i < 70; ++i) fill(c, circleShape({800 * r.next(), 50 + 150 * r.next()}, 0.8f + r.next()), withAlpha(rgb(0xFFFFFF), 0.5f + 0.4f * r.next()));
  fill(c, circleShape({170, 110}, 60), withAlpha(m.sun, 0.08f));
  fill(c, circleShape({170, 110}, 24), withAlpha(m.sun, 0.95f));
  fill(c, circleShape({178, 104}, 20), withAlpha(m.skyTop, 0.25f));
  // The market's glow on the haze above the roofs.
  fill(c, rectShape(0, 180, 800, 110), verticalGradient(180, withAlpha(m.window, 0), 286, withAlpha(m.window, 0.45f)));
  // The canopy: cream canvas with a scalloped hem, lantern light from below.
  Shape canopy = rectShape(0, 0, 800, 30);
  for (float x = 0; x < 800; x += 50) canopy.add(ellipseShape({x + 25, 30}, 26, 12));
  fill(c, grownShape(canopy, 2), kInk);
  fill(c, canopy, verticalGradient(0, rgb(0xF4E6CC), 42, rgb(0xE2BE8A)));
  for (float x = 50; x < 800; x += 100) fill(c, rectShape(x - 1, 0, 2, 40), withAlpha(rgb(0xB08860), 0.7f));
  for (float x = 25; x < 800; x += 100) lantern(c, x, 44, 9, m.trim, m.window);
  fill(c, rectShape(0, 286, 800, 194), verticalGradient(286, m.skyHorizon, 480, m.floorB));
  return c;
}

// Distant blocks with lit windows and neon signs on their roofs.
Canvas marketFar(const Mood& m) {
  Canvas c = skyline(m, 700, 210, false, 520);
  Lcg r{521};
  const Color neon[] = {rgb(0xFF4FA8), rgb(0x40E0F0), rgb(0xFFD040)};
  for (int i = 0; i < 9; ++i) {
    float x = 20 + 75 * i + 20 * r.next(), y = 70 + 70 * r.next(), w = 14 + 22 * r.next(), h = 6 + 10 * r.next();
    if (c.at(static_cast<int>(x), static_cast<int>(y)).a < 0.9f) continue;
    Color col = neon[i % 3];
    fill(c, roundRectShape(x - 3, y - 3, w + 6, h + 6, 3), withAlpha(col, 0.25f));
    fill(c, roundRectShape(x, y, w, h, 2), col);
  }
  return c;
}

// Wet paving stones, the lights of the stalls smeared across them.
Canvas marketFloor(const Mood& m) {
  const int w = 400, h = 480 - 286;
  Canvas c(w, h);
  fill(c, rectShape(0, 0, w, h), verticalGradient(0, m.floorA, h, m.floorB));
  Lcg r{530};
  for (int y = 24, row = 0; y < h; y += 34, ++row)
    for (float x = (row % 2) * -30.0f; x < w; x += 60)
      fill(c, rectShape(x + 2, y + 2.0f, 56, 30), shade(mix(m.floorA, m.floorB, static_cast<float>(y) / h), 0.9f + 0.18f * r.next()));
  // The kerb along the stalls.
  fill(c, rectShape(0, 0, w, 22), verticalGradient(0, shade(m.trim, 0.55f), 22, shade(m.floorA, 0.8f)));
  fill(c, rectShape(0, 22, w, 3), shade(m.floorB, 0.7f));
  // Reflections of lanterns and neon: soft vertical smears.
  const Color glow[] = {m.window, rgb(0xFF4FA8), m.window, rgb(0x40E0F0)};
  for (int i = 0; i < 4; ++i) {
    float x = 40 + 100 * i;
    fill(c, ellipseShape({x, 80}, 10, 60), withAlpha(glow[i], 0.12f));
    fill(c, ellipseShape({x, 70}, 5, 40), withAlpha(glow[i], 0.12f));
  }
  fill(c, rectShape(0, 0, w, h), [&](float, float y) { return withAlpha(rgb(0x000000), 0.3f * y / h); });
  return c;
}

// A stall in front of a shuttered shop house: striped awning, counter, goods,
// a sign and lanterns.
Canvas stall(const Mood& m, int w, int h, int variant) {
  Canvas c(w, h);
  Lcg r{540u + variant};
  // The shop house behind, dark, a shutter half down and a lit upper window.
  fill(c, rectShape(6, 0, w - 12.0f, static_cast<float>(h)), kInk);
  fill(c, rectShape(9, 3, w - 18.0f, h - 3.0f), verticalGradient(0, m.wallA, static_cast<float>(h), shade(m.wallB, 0.7f)));
  for (float x = 24; x < w - 50; x += 90) {
    fill(c, rectShape(x - 2, 18, 44, 48), kInk);
    fill(c, rectShape(x, 20, 40, 44), r.next() < 0.6f ? verticalGradient(20, m.window, 64, shade(m.window, 0.6f))
                                                    : verticalGradient(20, m.farA, 64, m.farB));
  }
  // Awning over the counter.
  const float aw = h - 150.0f;
  const Color stripe[] = {m.trim, rgb(0xF2E6D0), variant == 1 ? rgb(0x2E8A6A) : m.trim};
  fill(c, polygonShape({{2, aw + 34}, {14, aw}, {w - 14.0f, aw}, {w - 2.0f, aw + 34}}), kInk);
  for (float x = 14; x < w - 14; x += 26)
    fill(c, polygonShape({{x, aw + 2}, {x + 26, aw + 2}, {x + 28, aw + 32}, {x - 2, aw + 32}}),
         stripe[(static_cast<int>(x) / 26) % 2 ? 1 : (variant == 1 ? 2 : 0)]);
  // Posts and the counter.
  for (float x : {16.0f, w - 24.0f}) fill(c, rectShape(x, aw + 30, 8, h - aw - 30), kInk);
  const float top = h - 56.0f;
  fill(c, rectShape(24, aw + 34, w - 48.0f, top - aw - 34), verticalGradient(aw + 34, shade(m.window, 0.9f), top, shade(m.window, 0.45f)));
  fill(c, rectShape(10, top - 4, w - 20.0f, 60), kInk);
  fill(c, rectShape(13, top - 1, w - 26.0f, 57), verticalGradient(top, rgb(0x9A6A3A), static_cast<float>(h), rgb(0x5A3A22)));
  for (float x = 30; x < w - 30; x += 60) fill(c, rectShape(x, top + 8, 2, 46), rgb(0x4A2E1A));
  // Goods on the counter: fruit, bowls with steam, or hanging fish.
  for (float x = 30; x < w - 30; x += 22) {
    Color g = variant == 0 ? (r.next() < 0.5f ? rgb(0xF09A28) : rgb(0xD8402A)) : variant == 1 ? rgb(0xF2ECE0) : rgb(0x9AB0B8);
    if (variant == 1) {
      fill(c, ellipseShape({x, top - 4}, 10, 6), kInk);
      fill(c, ellipseShape({x, top - 5}, 8, 4), g);
      fill(c, ellipseShape({x + 2, top - 22}, 4, 10), withAlpha(rgb(0xFFFFFF), 0.18f));
    } else if (variant == 0) {
      fill(c, circleShape({x, top - 7}, 8), kInk);
      fill(c, circleShape({x, top - 7}, 6.5f), g);
      fill(c, circleShape({x - 2, top - 9}, 2), withAlpha(rgb(0xFFFFFF), 0.5f));
    } else {
      fill(c, ellipseShape({x, aw + 60}, 5, 16), kInk);
      fill(c, ellipseShape({x, aw + 60}, 3.5f, 14), g);
      fill(c, rectShape(x - 0.75f, aw + 34, 1.5f, 12), kInk);
    }
  }
  // The sign.
  TextStyle st;
  st.unit = 2.0f;
  st.color = rgb(0x2A1A1A);
  const std::string label = variant == 0 ? "FRUIT" : variant == 1 ? "NOODLES" : "FISH";
  float sw = textWidth(label, st) + 16;
  fill(c, rectShape(w / 2.0f - sw / 2 - 2, aw - 30, sw + 4, 26), kInk);
  fill(c, rectShape(w / 2.0f - sw / 2, aw - 28, sw, 22), rgb(0xF6E4B0));
  drawText(c, label, w / 2.0f - sw / 2 + 8, aw - 26, st);
  for (float x : {30.0f, w - 30.0f}) lantern(c, x, aw + 36, 10, m.trim, m.window);
  return c;
}

// Along the back: baskets and boxes under a string of lanterns.
Canvas marketRow(const Mood& m, int w, int h) {
  Canvas c(w, h);
  fill(c, strokeShape({{0, 8}, {100, 18}, {200, 8}, {300, 18}, {400, 8}}, 1), kInk);
  for (float x = 50; x < w; x += 100) lantern(c, x, 16, 7, m.trim, m.window);
  Lcg r{560};
  for (float x = 4; x < w; x += 36 + 10 * r.next()) {
    float bh = 20 + 16 * r.next();
    fill(c, roundRectShape(x, h - bh, 32, bh, 4), kInk);
    fill(c, roundRectShape(x + 2, h - bh + 2, 28, bh - 2, 3), verticalGradient(h - bh, rgb(0xB08A50), static_cast<float>(h), rgb(0x6A4A2A)));
  }
  return c;
}

// The way on: a lit gateway with a sign, the street beyond bright.
Canvas marketGate(const Mood& m) {
  Canvas c(220, 316);
  fill(c, rectShape(20, 60, 180, 256), kInk);
  fill(c, rectShape(44, 110, 132, 206), verticalGradient(110, rgb(0xFFE8B0), 316, rgb(0xFF9A50)));
  fill(c, polygonShape({{0, 70}, {110, 40}, {220, 70}, {200, 80}, {110, 58}, {20, 80}}), m.trim);
  for (float x : {24.0f, 178.0f}) fill(c, rectShape(x, 80, 18, 236), verticalGradient(80, shade(m.trim, 0.9f), 316, shade(m.trim, 0.5f)));
  fill(c, rectShape(60, 84, 100, 22), rgb(0xF6E4B0));
  TextStyle st;
  st.unit = 2.0f;
  st.color = rgb(0x2A1A1A);
  drawText(c, "MARKET", 110 - textWidth("MARKET", st) / 2, 87, st);
  for (float x : {60.0f, 160.0f}) lantern(c, x, 110, 9, m.trim, m.window);
  return c;
}

// Near: a lantern line from the top with a thin see-through pole under it.
Canvas marketLanternPole(const Mood& m) {
  Canvas c(90, 480);
  fill(c, rectShape(43, 0, 4, 140), kInk);
  lantern(c, 45, 60, 14, m.trim, m.window);
  fill(c, rectShape(43, 140, 4, 340), withAlpha(m.nearInk, 0.4f));
  return c;
}

// Near: baskets and a stool at the bottom edge, below the fighters' knees.
Canvas marketBaskets(const Mood& m) {
  Canvas c(240, 480);
  Shape s;
  s.add(ellipseShape({40, 468}, 34, 22));
  s.add(ellipseShape({100, 470}, 26, 14));
  s.add(rectShape(150, 446, 60, 8));
  s.add(rectShape(156, 450, 6, 30));
  s.add(rectShape(198, 450, 6, 30));
  fill(c, s, withAlpha(m.nearInk, 0.85f));
  return c;
}

// --- The rooftop in the rain ------------------------------------------------

// An overcast evening sky, light at the top, rain veils over the city below.
Canvas rooftopSky(const Mood& m) {
  Canvas c(800, 480);
  fill(c, rectShape(0, 0, 800, 480), verticalGradient(0, m.skyTop, 280, m.skyHorizon));
  Lcg r{601};
  for (int i = 0; i < 14; ++i) {
    float x = 800 * r.next(), y = 90 + 150 * r.next();
    fill(c, ellipseShape({x, y}, 90 + 80 * r.next(), 14 + 10 * r.next()), withAlpha(shade(m.skyHorizon, 0.8f), 0.35f));
  }
  for (int i = 0; i < 10; ++i) {
    float x = 800 * r.next();
    fill(c, polygonShape({{x, 140}, {x + 60, 140}, {x + 20, 290}, {x - 40, 290}}), withAlpha(shade(m.skyHorizon, 0.7f), 0.18f));
  }
  fill(c, rectShape(0, 280, 800, 200), verticalGradient(280, m.skyHorizon, 480, m.floorB));
  return c;
}

// Towers in the haze, a mast with a red light.
Canvas rooftopFar(const Mood& m) {
  Canvas c = skyline(m, 700, 210, false, 620);
  fill(c, rectShape(0, 0, 700, 210), withAlpha(m.skyHorizon, 0.25f));
  fill(c, rectShape(449, 10, 3, 120), m.farB);
  fill(c, circleShape({450, 10}, 8), withAlpha(rgb(0xFF3020), 0.3f));
  fill(c, circleShape({450, 10}, 3), rgb(0xFF4030));
  return c;
}

// Tar roofing in sheets, puddles holding the sky.
Canvas rooftopFloor(const Mood& m) {
  const int w = 400, h = 480 - 286;
  Canvas c(w, h);
  fill(c, rectShape(0, 0, w, h), verticalGradient(0, m.floorA, h, m.floorB));
  for (int y = 24; y < h; y += 42) fill(c, rectShape(0, static_cast<float>(y), w, 3), shade(m.floorB, 0.75f));
  for (int y = 24, row = 0; y < h; y += 42, ++row)
    for (float x = 60.0f + 90 * (row % 2); x < w; x += 180) fill(c, rectShape(x, static_cast<float>(y), 3, 42), shade(m.floorB, 0.8f));
  Lcg r{630};
  for (int i = 0; i < 5; ++i) {
    // Whole puddles only: one cut by a strip's edge would show where strips meet.
    float rx = 30 + 30 * r.next();
    Vec2 p{rx + 4 + (w - 2 * rx - 8) * r.next(), 50 + 130 * r.next()};
    fill(c, ellipseShape(p, rx, rx * 0.22f), withAlpha(m.skyHorizon, 0.55f));
    fill(c, ellipseShape(p + Vec2{-rx * 0.2f, -1}, rx * 0.5f, rx * 0.08f), withAlpha(m.skyTop, 0.35f));
  }
  // The coping along the parapet.
  fill(c, rectShape(0, 0, w, 20), verticalGradient(0, shade(m.trim, 1.0f), 20, shade(m.trim, 0.6f)));
  fill(c, rectShape(0, 0, w, h), [&](float, float y) { return withAlpha(rgb(0x000000), 0.3f * y / h); });
  return c;
}

// On the roof: a water tank on legs, a stair hut, air handlers under a sign frame.
Canvas roofStructure(const Mood& m, int w, int h, int variant) {
  Canvas c(w, h);
  if (variant == 0) {
    float cx = w / 2.0f, tankTop = h - 200.0f;
    for (float k : {-60.0f, -20.0f, 20.0f, 60.0f}) fill(c, rectShape(cx + k - 3, tankTop + 100, 6, 100), kInk);
    fill(c, strokeShape({{cx - 60, h - 10.0f}, {cx + 60, tankTop + 110}}, 1.5f), kInk);
    fill(c, strokeShape({{cx + 60, h - 10.0f}, {cx - 60, tankTop + 110}}, 1.5f), kInk);
    fill(c, rectShape(cx - 72, tankTop + 10, 144, 96), kInk);
    fill(c, rectShape(cx - 69, tankTop + 13, 138, 90), [&](float x, float) {
      return shade(rgb(0x7A5A44), 1.15f - 0.5f * std::fabs(x - cx + 20) / 90);
    });
    for (float y = tankTop + 30; y < tankTop + 100; y += 22) fill(c, rectShape(cx - 69, y, 138, 3), kInk);
    fill(c, polygonShape({{cx - 78, tankTop + 12}, {cx, tankTop - 30}, {cx + 78, tankTop + 12}}), kInk);
    fill(c, polygonShape({{cx - 70, tankTop + 9}, {cx, tankTop - 24}, {cx + 70, tankTop + 9}}), m.roof);
  } else if (variant == 1) {
    float x0 = 30, top = h - 150.0f;
    fill(c, rectShape(x0, top, w - 60.0f, 150), kInk);
    fill(c, rectShape(x0 + 3, top + 3, w - 66.0f, 147),
         [&](float x, float y) { return brickAt(mix(m.wallA, m.wallB, (y - top) / 150), x, y, top + 3); });
    fill(c, rectShape(x0 - 6, top - 8, w - 48.0f, 12), kInk);
    fill(c, rectShape(w * 0.55f, top + 40, 50, 110), kInk);
    fill(c, rectShape(w * 0.55f + 3, top + 43, 44, 107), shade(m.roof, 1.3f));
    fill(c, circleShape({w * 0.55f + 25, top + 26}, 14), withAlpha(m.window, 0.25f));
    fill(c, circleShape({w * 0.55f + 25, top + 26}, 5), m.window);
  } else {
    // A billboard frame on steel legs, air handlers below.
    fill(c, rectShape(20, 10, w - 40.0f, 100), kInk);
    fill(c, rectShape(24, 14, w - 48.0f, 92), verticalGradient(14, rgb(0x3A6A8A), 106, rgb(0x1E3A4E)));
    TextStyle st;
    st.unit = 3.0f;
    st.color = rgb(0xE8F0F4);
    drawText(c, "RAIN CO", w / 2.0f - textWidth("RAIN CO", st) / 2, 44, st);
    for (float x : {50.0f, w - 56.0f}) fill(c, rectShape(x, 110, 6, h - 110.0f), kInk);
    for (float x = 30; x < w - 90; x += 100) {
      fill(c, rectShape(x, h - 64.0f, 84, 64), kInk);
      fill(c, rectShape(x + 3, h - 61.0f, 78, 61), verticalGradient(h - 61.0f, shade(m.trim, 1.1f), static_cast<float>(h), shade(m.trim, 0.6f)));
      fill(c, circleShape({x + 42, h - 32.0f}, 20), kInk);
      fill(c, circleShape({x + 42, h - 32.0f}, 17), shade(m.trim, 0.5f));
    }
  }
  return c;
}

// The parapet at the back: brick with a stone coping and a thin rail.
Canvas parapet(const Mood& m, int w, int h) {
  Canvas c(w, h);
  fill(c, rectShape(0, 40, static_cast<float>(w), h - 40.0f), kInk);
  fill(c, rectShape(0, 43, static_cast<float>(w), h - 43.0f),
       [&](float x, float y) { return brickAt(mix(m.wallA, m.wallB, (y - 40) / (h - 40)), x, y, 45); });
  fill(c, rectShape(0, 36, static_cast<float>(w), 9), shade(m.trim, 0.9f));
  for (float x = 10; x < w; x += 50) fill(c, rectShape(x, 4, 4, 34), kInk);
  fill(c, rectShape(0, 4, static_cast<float>(w), 4), kInk);
  return c;
}

// The way on: the stair hut's open door, lit from the stairwell.
Canvas rooftopGate(const Mood& m) {
  Canvas c(220, 316);
  fill(c, rectShape(10, 110, 200, 206), kInk);
  fill(c, rectShape(14, 114, 192, 202), verticalGradient(114, m.wallA, 316, m.wallB));
  fill(c, rectShape(4, 102, 212, 14), kInk);
  fill(c, rectShape(60, 160, 100, 156), kInk);
  fill(c, rectShape(64, 164, 92, 152), verticalGradient(164, rgb(0xFFF2C8), 316, rgb(0xFFC870)));
  fill(c, circleShape({110, 140}, 20), withAlpha(m.window, 0.3f));
  fill(c, circleShape({110, 140}, 6), m.window);
  return c;
}

// Near: a veil of rain over everything, faint enough to see through.
Canvas rainVeil(const Mood& m) {
  Canvas c(800, 480);
  Lcg r{650};
  Shape s;
  for (int i = 0; i < 260; ++i) {
    float x = 820 * r.next() - 10, y = 480 * r.next(), len = 18 + 26 * r.next();
    s.add(strokeShape({{x, y}, {x - len * 0.25f, y + len}}, 0.6f));
  }
  fill(c, s, withAlpha(mix(m.skyTop, rgb(0xFFFFFF), 0.5f), 0.3f));
  return c;
}

// Near: a low rail and vent stacks at the bottom edge, with splashes.
Canvas roofEdge(const Mood& m) {
  Canvas c(240, 480);
  Shape s = rectShape(0, 448, 240, 6);
  for (float x = 10; x < 240; x += 60) s.add(rectShape(x, 448, 6, 32));
  s.add(roundRectShape(150, 444, 30, 36, 4));
  fill(c, s, withAlpha(m.nearInk, 0.85f));
  return c;
}

}  // namespace

void makeMarket(Manifest& mf) {
  Mood m{rgb(0x141432), rgb(0x4A2A5A), rgb(0xF0F0FF), rgb(0x2A2448), rgb(0x1C1834), rgb(0x5A3A4A), rgb(0x3A2A3A),
         rgb(0x2A1A28), rgb(0xFFC870), rgb(0x3A3440), rgb(0x1E1A24), rgb(0xD0483A), rgb(0x0C0A12)};
  addScenePictures(mf, "market", "scene market: a night market under lanterns",
                   {marketSky(m), marketFar(m), marketFloor(m),
                    {stall(m, 260, 230, 0), stall(m, 300, 210, 1), stall(m, 340, 230, 2)},
                    marketRow(m, 400, 90), marketGate(m), marketLanternPole(m), marketBaskets(m)},
                   {"stalls: fruit", "stalls: noodles", "stalls: fish", "baskets under a lantern string",
                    "the market's gateway", "lantern line with a thin see-through pole", "low baskets and a stool"});
}

void makeRooftop(Manifest& mf) {
  Mood m{rgb(0xD4DCE4), rgb(0x7A8A9C), rgb(0xE8EEF4), rgb(0x6A7A8C), rgb(0x4A5A6C), rgb(0x7A5E50), rgb(0x4E3E36),
         rgb(0x3A3A40), rgb(0xF0E0A0), rgb(0x4A4E56), rgb(0x2A2C32), rgb(0x8A9098), rgb(0x1A1E26)};
  addScenePictures(mf, "rooftop", "scene rooftop: rooftops in the rain at nightfall",
                   {rooftopSky(m), rooftopFar(m), rooftopFloor(m),
                    {roofStructure(m, 260, 230, 0), roofStructure(m, 300, 210, 1), roofStructure(m, 340, 230, 2)},
                    parapet(m, 400, 90), rooftopGate(m), rainVeil(m), roofEdge(m)},
                   {"water tank on legs", "stair hut", "billboard and air handlers", "brick parapet with a rail",
                    "the stair hut's open door", "rain veil, 800x480, faint: place at y 0 every 800",
                    "low rail and vent stack"});
}

}  // namespace assetgen::scenery
