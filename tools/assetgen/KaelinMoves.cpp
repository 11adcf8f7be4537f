// The second hero c_kaelin's own pictures: the hero's moves drawn in Kaelin's
// style (so the two heroes' pictures share their numbers), then a snap kick,
// the middle of Kaelin's kick chain, and the whirlwind, a spinning run of
// kicks that carries Kaelin forward: the power move.
#include "Fighters.h"
#include "Moves.h"

namespace assetgen {

namespace {

Pose snapKick(float t) {  // 0 knee chambered at the waist .. 1 foot driven out at the belly
  Pose p = guard();
  p.hip = {-2 - 2 * t, -63};
  p.lean = -0.05f - 0.15f * t;
  p.footFar = {8, -5};
  p.footNear = lerp(Vec2{14, -40}, Vec2{62, -66}, t);
  p.toeNear = -0.5f * t;
  p.kneeNear = 1;
  p.handNear = {6, -88};
  p.handFar = {26, -92};
  return p;
}

// One kick of the whirlwind: `side` 0 the near leg out high in front, 1 the
// far leg, the arms flung wide for balance, the body leaning away.
Pose whirlKick(int side, float height) {
  Pose p = guard();
  p.hip = {0, -66};
  p.lean = -0.32f;
  p.headTilt = 0.15f;
  p.handNear = {-30, -92};
  p.handFar = {34, -104};
  p.fistNear = p.fistFar = false;
  const Vec2 out{60, -height};
  if (side == 0) {
    p.footNear = out;
    p.toeNear = -0.3f;
    p.footFar = {-4, -6};
  } else {
    p.footFar = out;
    p.toeFar = -0.3f;
    p.footNear = {-6, -6};
    p.spin = -0.08f;
  }
  return p;
}

}  // namespace

void addKaelinMoves(FrameList& l) {
  addHeroMoves(l);
  l.add("snap_0.png", "snap kick: knee chambered", snapKick(0));
  l.add("snap_1.png", "snap kick: impact, foot at the belly", snapKick(1), shout());
  l.add("snap_2.png", "snap kick: re-chamber", snapKick(0.35f));

  Pose wind = crouchPose(0.5f);
  wind.handNear = {-24, -70};
  wind.handFar = {30, -78};
  wind.lean = 0.25f;
  l.add("whirl_0.png", "whirlwind: coiled low, arms wide", wind);
  l.add("whirl_1.png", "whirlwind: first kick, near leg high", whirlKick(0, 100), shout());
  l.add("whirl_2.png", "whirlwind: second kick, far leg high", whirlKick(1, 108), shout());
  l.add("whirl_3.png", "whirlwind: last kick, near leg at the chest", whirlKick(0, 84), shout());
  l.add("whirl_4.png", "whirlwind: landing", lerpPose(crouchPose(0.6f), guard(), 0.3f));
}

}  // namespace assetgen
