// The mid-boss boss02's moves: a quick poke of the glaive, a long sweep low
// across the ground that gives itself away, and an overhead cut that sends a
// crescent of air along the ground at whoever keeps their distance.
#include <cmath>

#include "Fighters.h"
#include "Moves.h"

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;

// Both hands on the pole: the far hand follows the near one along the glaive.
Pose grip(Pose p) {
  p.handFar = glaiveGrip(p.handNear, p.weaponAngle);
  return p;
}

}  // namespace

void addMidBossMoves(FrameList& l) {
  const FighterStyle& st = midBossStyle();
  const Pose g = styleGuard(st, 0);
  // The poke: a short draw back and the blade straight out at chest height.
  Pose p0 = g;
  p0.handNear = {-6, -80};
  p0.weaponAngle = -0.12f;
  p0.hip = {-8, -60};
  p0.lean = -0.04f;
  l.add("poke_0.png", "poke: glaive drawn back", grip(p0));
  Pose p1 = g;
  p1.handNear = {44, -86};
  p1.weaponAngle = -0.04f;
  p1.lean = 0.3f;
  p1.hip = {8, -58};
  p1.footFar = {30, -5};
  l.add("poke_1.png", "poke: impact, the blade straight out", grip(p1), shout());
  l.add("poke_2.png", "poke: recovery", grip(lerpPose(p1, g, 0.55f)));

  // The sweep: the glaive swung far back and low while the body coils (held
  // long enough to see), then brought round low in front in one wide arc; the
  // follow-through leaves the blade high and the body open.
  Pose s0 = g;
  s0.handNear = {-18, -72};
  s0.weaponAngle = kPi - 0.25f;
  s0.hip = {-10, -55};
  s0.lean = -0.12f;
  s0.footNear = {-26, -5};
  s0.footFar = {16, -5};
  l.add("sweep_0.png", "sweep: glaive swung back low, coiling", grip(s0));
  Pose s1 = s0;
  s1.handNear = {-24, -68};
  s1.weaponAngle = kPi - 0.12f;
  s1.hip = {-12, -52};
  s1.lean = -0.18f;
  s1.headTilt = 0.15f;
  l.add("sweep_1.png", "sweep: coiled low, about to swing", grip(s1), shout());
  Pose s2 = g;
  s2.handNear = {48, -60};
  s2.weaponAngle = 0.28f;
  s2.hip = {10, -52};
  s2.lean = 0.42f;
  s2.footNear = {-22, -5};
  s2.footFar = {32, -5};
  l.add("sweep_2.png", "sweep: impact, the blade low across the ground", grip(s2), shout());
  Pose s3 = s2;
  s3.handNear = {34, -92};
  s3.weaponAngle = -1.25f;
  s3.lean = 0.24f;
  s3.hip = {6, -55};
  l.add("sweep_3.png", "sweep: follow-through, blade high, open", grip(s3));

  // The crescent: the glaive raised high behind the head, cut down in front
  // (the crescent leaves the blade at the ground), then back to the guard.
  Pose c0 = g;
  c0.handNear = {-2, -118};
  c0.weaponAngle = -2.35f;
  c0.hip = {-6, -62};
  c0.lean = -0.16f;
  c0.headTilt = -0.2f;
  l.add("crescent_0.png", "crescent cut: glaive raised high behind", grip(c0), shout());
  Pose c1 = g;
  c1.handNear = {42, -62};
  c1.weaponAngle = 0.75f;
  c1.hip = {8, -53};
  c1.lean = 0.46f;
  c1.footFar = {30, -5};
  l.add("crescent_1.png", "crescent cut: blade down, the crescent leaves", grip(c1), shout());
  l.add("crescent_2.png", "crescent cut: recovery", grip(lerpPose(c1, g, 0.5f)));
}

void addCrescentPictures(Manifest& m, const std::string& set) {
  // A crescent of air standing on the ground, its round side forward: white at
  // its heart, cyan at its edges, drawn on transparent ground (the game adds it
  // as light). Its bottom sits on the picture's bottom edge.
  const int w = 90, h = 110;
  auto crescent = [&](float height, float thick, float lean, float fade) {
    Canvas c(w, h);
    const Vec2 base{42, h - 2.0f};
    std::vector<Vec2> pts;
    const int n = 16;
    for (int i = 0; i <= n; ++i) {  // the outer arc, bottom to top
      const float t = static_cast<float>(i) / n;
      const float y = -height * t;
      const float bulge = std::sin(kPi * t);
      pts.push_back(base + Vec2{(26 + lean * (t - 0.5f) * 16) * bulge + 4 * (1 - bulge), y});
    }
    for (int i = n; i >= 0; --i) {  // the inner arc, top to bottom
      const float t = static_cast<float>(i) / n;
      const float y = -height * t;
      const float bulge = std::sin(kPi * t);
      pts.push_back(base + Vec2{(26 - thick + lean * (t - 0.5f) * 16) * bulge - 4 * bulge, y});
    }
    const Shape body = polygonShape(pts);
    const Vec2 heart = base + Vec2{20, -height * 0.5f};
    paint(c, rasterize(grownShape(body, 4), w, h), [=](float x, float y) {
      const float d = std::min(1.0f, length(Vec2{x, y} - heart) / (height * 0.62f));
      return withAlpha(mix(rgb(0x40E0FF), rgb(0x1060C0), d), 0.55f * fade * (1 - 0.6f * d));
    });
    paint(c, rasterize(body, w, h), [=](float x, float y) {
      const float d = std::min(1.0f, length(Vec2{x, y} - heart) / (height * 0.55f));
      return withAlpha(mix(rgb(0xFFFFFF), rgb(0x60E8FF), d), fade);
    });
    return c;
  };
  m.addPicture(set, "crescent_fly_0.png", "crescent in flight 1 of 3", crescent(96, 15, 0.0f, 1.0f));
  m.addPicture(set, "crescent_fly_1.png", "crescent in flight 2 of 3 (leaning)", crescent(100, 16, 0.6f, 1.0f));
  m.addPicture(set, "crescent_fly_2.png", "crescent in flight 3 of 3 (flickering)", crescent(92, 13, -0.4f, 0.85f));
  m.addPicture(set, "crescent_break.png", "crescent breaking up on a hit", crescent(70, 8, 1.0f, 0.45f));
}

}  // namespace assetgen
