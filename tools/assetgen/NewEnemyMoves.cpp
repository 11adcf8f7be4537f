// The moves of the enemies that came with the second edition of the default
// game, each asking something different of the player.
#include "Fighters.h"
#include "Moves.h"

namespace assetgen {

void addDasherMoves(FrameList& l) {
  const FighterStyle& st = dasherStyle();
  Pose g = styleGuard(st, 0);
  // The dash: a deep crouch that gives it away, a spring forward, an elbow,
  // and a hop back out of reach.
  Pose a = crouchPose(0.9f);
  a.lean = 0.55f;
  a.headTilt = -0.3f;
  a.handNear = {-6, -62};
  a.handFar = {20, -70};
  l.add("dash_0.png", "dash: crouched low, about to spring", a);
  Pose b = runPose(0.25f);
  b.lean = 0.6f;
  b.hip = {6, -56};
  b.handNear = {4, -78};
  b.handFar = {30, -74};
  l.add("dash_1.png", "dash: springing forward", b);
  Pose c = runPose(0.5f);
  c.lean = 0.5f;
  c.hip = {8, -57};
  c.handNear = {40, -92};
  c.elbowNear = -1;
  c.handFar = {6, -80};
  l.add("dash_2.png", "dash: elbow, impact", c, shout());
  Pose d = jumpRisePose();
  d.lean = -0.2f;
  d.hip = {-6, -66};
  d.footNear = {-20, -14};
  d.footFar = {2, -20};
  d.handNear = {14, -84};
  d.handFar = {24, -88};
  l.add("dash_3.png", "dash: hopping back out of reach", d);
  // A quick jab between dashes.
  Pose j0 = g;
  j0.handNear = {4, -84};
  j0.hip = {-4, -60};
  l.add("jab_0.png", "jab: wind-up", j0);
  Pose j1 = g;
  j1.handNear = {50, -92};
  j1.lean = 0.3f;
  j1.hip = {6, -60};
  j1.footFar = {20, -5};
  l.add("jab_1.png", "jab: impact", j1, shout());
}

void addThrowerMoves(FrameList& l) {
  const FighterStyle& st = throwerStyle();
  Pose g = styleGuard(st, 0);
  // The throw: the bottle drawn back over the shoulder (the warning), the arm
  // whipping forward as it leaves the hand, the follow-through.
  Pose a = g;
  a.handNear = {-26, -108};
  a.elbowNear = -1;
  a.handFar = {30, -86};
  a.fistFar = false;
  a.lean = -0.2f;
  a.hip = {-8, -61};
  a.footNear = {-18, -4};
  l.add("throw_0.png", "throw: bottle drawn back over the shoulder", a);
  Pose b = g;
  b.handNear = {46, -100};
  b.handFar = {-6, -80};
  b.fistFar = false;
  b.lean = 0.35f;
  b.hip = {6, -59};
  b.footFar = {22, -5};
  l.add("throw_1.png", "throw: arm whipping forward, the bottle leaves", b, shout());
  Pose c = b;
  c.handNear = {34, -60};
  c.lean = 0.45f;
  l.add("throw_2.png", "throw: follow-through", c);
  // A two-handed shove to make room.
  Pose d = g;
  d.handNear = {6, -84};
  d.handFar = {14, -88};
  d.fistNear = d.fistFar = false;
  d.hip = {-6, -60};
  l.add("shove_0.png", "shove: hands drawn in", d);
  Pose e = g;
  e.handNear = {50, -88};
  e.handFar = {54, -92};
  e.fistNear = e.fistFar = false;
  e.lean = 0.3f;
  e.hip = {6, -60};
  e.footFar = {22, -5};
  l.add("shove_1.png", "shove: impact", e, shout());
}

void addBottlePictures(Manifest& m, const std::string& set) {
  const Color ink = rgb(0x16121C);
  const Color glass = rgb(0x3E8A4A), glassDark = rgb(0x24583A), shine = rgb(0xCFF5D0);
  const float kPi = 3.14159265f;
  // The bottle turns a quarter of a turn in every picture; its centre sits
  // 20 above the bottom edge, where the thrower's hand lets go.
  for (int i = 0; i < 4; ++i) {
    Canvas c(40, 40);
    const float a = i * kPi / 4;
    const Vec2 centre{20, 20};
    auto at = [&](float x, float y) { return centre + rotated(Vec2{x, y}, a); };
    const Shape body = capsuleShape(at(-7, 0), 6, at(4, 0), 6);
    const Shape neck = capsuleShape(at(4, 0), 3, at(14, 0), 2.5f);
    fill(c, grownShape(body, 1.6f), ink);
    fill(c, grownShape(neck, 1.6f), ink);
    fill(c, body, glass);
    fill(c, neck, glassDark);
    fill(c, capsuleShape(at(-6, -2.5f), 1.3f, at(2, -2.5f), 1.3f), shine);
    m.addPicture(set, "bottle_" + std::to_string(i) + ".png",
                 "bottle in flight " + std::to_string(i + 1) + " of 4 (turning)", c);
  }
  // Shards flying apart, then settling.
  const Vec2 bits[] = {{-9, -6}, {7, -8}, {-4, 5}, {10, 3}, {0, -11}, {-12, 2}};
  for (int i = 0; i < 2; ++i) {
    Canvas c(40, 40);
    const float spread = 1.0f + 0.7f * i;
    for (int k = 0; k < 6; ++k) {
      const Vec2 p = Vec2{20, 22} + bits[k] * spread;
      const float r = 2.6f - 0.4f * (k % 3);
      const Shape shard = polygonShape({p + Vec2{-r, 0}, p + Vec2{0, -r * 1.4f}, p + Vec2{r, r * 0.6f}});
      fill(c, grownShape(shard, 1.0f), ink);
      fill(c, shard, k % 2 ? glass : shine);
    }
    if (i == 1) c.fadeAlpha(0.6f);
    m.addPicture(set, "shards_" + std::to_string(i) + ".png",
                 i == 0 ? "bottle breaking: shards flying" : "bottle breaking: shards fading", c);
  }
}

void addHeavyMoves(FrameList& l) {
  const FighterStyle& st = heavyStyle();
  Pose g = styleGuard(st, 0);
  // The slam: both fists raised over the head, held high and shaking (a long
  // warning), brought down together in front, then a slow recovery.
  Pose a = g;
  a.handNear = {8, -128};
  a.handFar = {16, -130};
  a.lean = -0.15f;
  a.hip = {-6, -62};
  l.add("slam_0.png", "slam: fists rising over the head", a);
  Pose b = a;
  b.handNear = {-2, -142};
  b.handFar = {6, -143};
  b.lean = -0.25f;
  b.headTilt = -0.25f;
  l.add("slam_1.png", "slam: fists high, straining", b, shout());
  Pose b2 = b;
  b2.handNear = {-6, -141};
  b2.handFar = {2, -143};
  b2.lean = -0.28f;
  l.add("slam_2.png", "slam: fists high, shaking", b2, shout());
  Pose c = g;
  c.handNear = {56, -30};
  c.handFar = {50, -34};
  c.lean = 0.6f;
  c.hip = {8, -50};
  c.footFar = {26, -5};
  c.footNear = {-22, -4};
  c.squashBody = 0.95f;
  l.add("slam_3.png", "slam: impact, fists on the ground", c, shout());
  Pose d = c;
  d.handNear = {46, -44};
  d.handFar = {40, -48};
  d.lean = 0.5f;
  l.add("slam_4.png", "slam: stuck low, catching breath", d);
  // A backhand sweep up close.
  Pose e = g;
  e.handNear = {-18, -86};
  e.lean = 0.0f;
  e.hip = {-6, -60};
  l.add("backhand_0.png", "backhand: arm drawn across", e);
  Pose f = g;
  f.handNear = {56, -84};
  f.elbowNear = -1;
  f.lean = 0.25f;
  f.hip = {6, -60};
  f.footFar = {22, -5};
  l.add("backhand_1.png", "backhand: impact", f, shout());
}

void addLeaperMoves(FrameList& l) {
  const FighterStyle& st = leaperStyle();
  Pose g = styleGuard(st, 0);
  // The leap: a deep crouch with the arms swung back (the warning), a high
  // rise with the knees tucked, a feet-first drop, a landing crouch.
  Pose a = crouchPose(1.0f);
  a.handNear = {-24, -62};
  a.handFar = {-14, -66};
  a.headTilt = -0.2f;
  l.add("leap_0.png", "leap: crouched deep, arms swung back", a);
  Pose b = jumpApexPose();
  b.footNear = {-4, -44};
  b.footFar = {8, -48};
  b.handNear = {10, -108};
  b.handFar = {22, -110};
  l.add("leap_1.png", "leap: rising, knees tucked", b);
  Pose c = jumpApexPose();
  c.lean = -0.35f;
  c.headTilt = 0.3f;
  c.footFar = {40, 0};
  c.toeFar = 0.3f;
  c.footNear = {-6, -30};
  c.handNear = {-16, -96};
  c.handFar = {4, -102};
  l.add("leap_2.png", "leap: dropping feet first, impact", c, shout());
  l.add("leap_3.png", "leap: landing crouch", crouchPose(0.8f));
  // A knee up close.
  Pose k0 = g;
  k0.footNear = {6, -40};
  k0.hip = {-4, -62};
  k0.handNear = {24, -96};
  k0.handFar = {34, -98};
  l.add("knee_0.png", "knee: pulling in", k0);
  Pose k1 = k0;
  k1.footNear = {30, -62};
  k1.toeNear = 0.9f;
  k1.lean = -0.05f;
  k1.handNear = {40, -90};
  l.add("knee_1.png", "knee: impact", k1, shout());
}

}  // namespace assetgen
