#include "Effects.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "Font.h"
#include "Lcg.h"
#include "Raster.h"

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;

// A radial glow: colour `inner` at the centre fading to transparent `outer` at r.
ColorFn glow(Vec2 c, float r, Color inner, Color outer) {
  return [=](float x, float y) {
    float d = std::min(1.0f, length(Vec2{x, y} - c) / r);
    Color col = mix(inner, outer, d);
    col.a *= (1 - d) * (1 - d);
    return col;
  };
}

// A star burst: `rays` tapered spikes of length up to `len`, a hot core,
// scaled by `grow` (0..1 through the animation) and faded by `fade`.
Canvas starBurst(int size, int rays, float len, float coreR, Color hot, Color edge, float grow, float fade,
                 uint32_t seed) {
  Canvas c(size, size);
  Vec2 o{size / 2.0f, size / 2.0f};
  Lcg rng{seed};
  Shape spikes;
  for (int i = 0; i < rays; ++i) {
    float a = 2 * kPi * (i + 0.35f * rng.next()) / rays;
    float l = len * (0.55f + 0.45f * rng.next()) * grow;
    float w = (2.0f + 2.5f * rng.next()) * (0.6f + 0.4f * grow);
    Vec2 d{std::cos(a), std::sin(a)};
    Vec2 n{-d.y, d.x};
    spikes.add(polygonShape({o + n * w + d * (coreR * 0.3f), o + d * l, o - n * w + d * (coreR * 0.3f)}));
  }
  Color e = edge;
  e.a *= fade;
  paint(c, rasterize(spikes, size, size), glow(o, len * grow + 1, withAlpha(hot, fade), e));
  paint(c, rasterize(circleShape(o, coreR * (0.6f + 0.6f * grow) + 2), size, size),
        glow(o, coreR * (0.6f + 0.6f * grow) + 2, withAlpha(Color{1, 1, 1, 1}, fade), withAlpha(hot, 0.8f * fade)));
  return c;
}

Canvas ringBurst(int size, float r, float width, Color col, float fade, float smoke) {
  Canvas c(size, size);
  Vec2 o{size / 2.0f, size / 2.0f};
  if (smoke > 0) {
    Lcg rng{99};
    Shape puffs;
    for (int i = 0; i < 9; ++i) {
      float a = 2 * kPi * i / 9 + rng.next();
      puffs.add(circleShape(o + Vec2{std::cos(a), std::sin(a)} * (r * 0.7f), r * (0.28f + 0.12f * rng.next())));
    }
    paint(c, rasterize(puffs, size, size), withAlpha(rgb(0x8A6A9A), 0.5f * smoke));
  }
  Mask ring = rasterize(circleShape(o, r + width / 2), size, size).minus(rasterize(circleShape(o, r - width / 2), size, size));
  paint(c, ring, withAlpha(col, fade));
  return c;
}

Canvas dustPuff(float t) {
  Canvas c(72, 40);
  Lcg rng{7};
  Shape s;
  for (int i = 0; i < 6; ++i) {
    float x = 36 + (i - 2.5f) * (6 + 10 * t) + 3 * rng.next();
    float y = 30 - 8 * t - 6 * rng.next() * t;
    s.add(circleShape({x, y}, 5 + 6 * t + 2 * rng.next()));
  }
  Mask m = rasterize(s, 72, 40);
  paint(c, m, verticalGradient(8, withAlpha(rgb(0xE8E0D0), 0.85f * (1 - t * 0.8f)), 40,
                               withAlpha(rgb(0xA09080), 0.7f * (1 - t * 0.8f))));
  return c;
}

Canvas doorMarker(float bob) {
  Canvas c(96, 120);
  Vec2 o{48, 58 + bob};
  // A soft pillar of light and an arrow pointing on.
  paint(c, rasterize(ellipseShape({48, 100}, 44, 14), 96, 120), glow({48, 100}, 44, rgb(0xFFE070, 0.8f), rgb(0xFF9020, 0)));
  paint(c, rasterize(rectShape(22, 0, 52, 110), 96, 120), [&](float x, float y) {
    float dx = std::fabs(x - 48) / 26;
    return withAlpha(rgb(0xFFD860), 0.35f * (1 - dx) * std::clamp(y / 110, 0.0f, 1.0f));
  });
  Shape arrow = polygonShape({o + Vec2{-24, -9}, o + Vec2{4, -9}, o + Vec2{4, -22}, o + Vec2{28, 0}, o + Vec2{4, 22},
                              o + Vec2{4, 9}, o + Vec2{-24, 9}});
  paint(c, rasterize(grownShape(arrow, 4), 96, 120), withAlpha(rgb(0xFF8020), 0.7f));
  paint(c, rasterize(arrow, 96, 120), verticalGradient(o.y - 22, rgb(0xFFFFE0), o.y + 22, rgb(0xFFC030)));
  TextStyle st;
  st.unit = 2.2f;
  st.color = rgb(0xFFF0A0);
  drawText(c, "GO", 48 - textWidth("GO", st) / 2, 10 + bob * 0.5f, st);
  return c;
}

Canvas energyBall(int frame) {
  Canvas c(96, 64);
  Vec2 o{62, 32};
  float wob = std::sin(frame * 2.1f) * 2;
  // The tail streams back (to the left: the picture faces right).
  Shape tail = blobShape({{o, 14}, {o + Vec2{-40, wob}, 4}});
  paint(c, rasterize(tail, 96, 64), [&](float x, float) {
    float t = std::clamp((o.x - x) / 44, 0.0f, 1.0f);
    return withAlpha(mix(rgb(0x80D0FF), rgb(0x2040FF), t), 0.8f * (1 - t));
  });
  paint(c, rasterize(circleShape(o, 20), 96, 64), glow(o, 20, rgb(0x60C0FF), rgb(0x1030C0, 0)));
  paint(c, rasterize(circleShape(o, 11 + frame % 2), 96, 64), glow(o, 12, rgb(0xFFFFFF), rgb(0x80E0FF)));
  Lcg rng{static_cast<uint32_t>(31 + frame)};
  for (int i = 0; i < 5; ++i) {
    float a = 2 * kPi * rng.next();
    Vec2 p = o + Vec2{std::cos(a), std::sin(a)} * (13 + 8 * rng.next());
    paint(c, rasterize(circleShape(p, 1.6f), 96, 64), rgb(0xE0F8FF));
  }
  return c;
}

}  // namespace

void makeEffects(Manifest& m) {
  const char* set = "system";
  m.set(set, "shared effects: hit sparks, death burst, dust, door marker, energy ball (bright pictures are drawn additively)");
  const float small[] = {0.45f, 0.8f, 1.0f, 1.1f};
  const float smallFade[] = {1.0f, 1.0f, 0.7f, 0.35f};
  for (int i = 0; i < 4; ++i)
    m.addPicture(set, "spark_small_" + std::to_string(i) + ".png", "small hit spark " + std::to_string(i + 1) + " of 4",
                 starBurst(64, 8, 28, 7, rgb(0xFFF4B0), rgb(0xFF9020), small[i], smallFade[i], 11));
  const float heavy[] = {0.4f, 0.75f, 1.0f, 1.1f, 1.15f};
  const float heavyFade[] = {1.0f, 1.0f, 0.9f, 0.55f, 0.25f};
  for (int i = 0; i < 5; ++i)
    m.addPicture(set, "spark_heavy_" + std::to_string(i) + ".png", "heavy hit spark " + std::to_string(i + 1) + " of 5",
                 starBurst(104, 12, 48, 12, rgb(0xFFE080), rgb(0xFF4010), heavy[i], heavyFade[i], 23));
  for (int i = 0; i < 5; ++i) {
    Canvas c = starBurst(128, 16, 58, 14, rgb(0xC8F0FF), rgb(0x4060FF), heavy[i], heavyFade[i], 37);
    c.drawOver(ringBurst(128, 16 + 11 * i, 4, rgb(0xA0E0FF), heavyFade[i] * 0.9f, 0), 0, 0);
    m.addPicture(set, "spark_special_" + std::to_string(i) + ".png", "special hit spark " + std::to_string(i + 1) + " of 5", c);
  }
  for (int i = 0; i < 6; ++i) {
    float t = i / 5.0f;
    Canvas c = ringBurst(176, 18 + 62 * t, 10 - 6 * t, rgb(0xFFC0F0), 1 - t * 0.85f, 1 - t);
    c.drawOver(starBurst(176, 10, 70, 16, rgb(0xFFFFFF), rgb(0xC040FF), 0.5f + 0.5f * t, 1 - t, 53), 0, 0);
    m.addPicture(set, "death_" + std::to_string(i) + ".png", "death burst " + std::to_string(i + 1) + " of 6", c);
  }
  for (int i = 0; i < 4; ++i)
    m.addPicture(set, "dust_" + std::to_string(i) + ".png", "dust puff " + std::to_string(i + 1) + " of 4 (drawn normally)",
                 dustPuff(i / 3.0f));
  m.addPicture(set, "door_0.png", "door marker: arrow up", doorMarker(-4));
  m.addPicture(set, "door_1.png", "door marker: arrow down", doorMarker(4));
  for (int i = 0; i < 3; ++i)
    m.addPicture(set, "ball_" + std::to_string(i) + ".png", "energy ball " + std::to_string(i + 1) + " of 3 (flies right)",
                 energyBall(i));
}

}  // namespace assetgen
