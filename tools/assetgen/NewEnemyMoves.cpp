// The moves of the enemies that came with the second edition of the default
// game, each asking something different of the player.
#include "Fighters.h"
#include "Moves.h"

namespace assetgen {

namespace {

Look shout() {
  Look l;
  l.shout = true;
  return l;
}

}  // namespace

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

}  // namespace assetgen
