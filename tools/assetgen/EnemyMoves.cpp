#include "Fighters.h"
#include "Moves.h"

namespace assetgen {

void addThugMoves(FrameList& l) {
  const FighterStyle& st = thugStyle();
  Pose g = styleGuard(st, 0);
  // A hooking punch with the rear hand.
  Pose a = g;
  a.handNear = {-4, -82};
  a.lean = 0.05f;
  a.hip = {-6, -60};
  l.add("punch_0.png", "hook: wind-up, fist drawn back", a);
  Pose b = a;
  b.handNear = {-10, -86};
  b.hip = {-8, -59};
  l.add("punch_1.png", "hook: wind-up, coiled", b);
  Pose c = g;
  c.handNear = {52, -90};
  c.lean = 0.3f;
  c.hip = {6, -59};
  c.footFar = {20, -5};
  l.add("punch_2.png", "hook: impact", c, shout());
  l.add("punch_3.png", "hook: recovery", lerpPose(c, g, 0.55f));
  // A front kick with the rear leg.
  Pose k0 = g;
  k0.footNear = {10, -44};
  k0.lean = -0.05f;
  k0.hip = {-4, -61};
  l.add("kick_0.png", "front kick: knee up", k0);
  Pose k1 = k0;
  k1.footNear = {54, -58};
  k1.toeNear = -0.5f;
  k1.lean = -0.25f;
  k1.hip = {-8, -62};
  l.add("kick_1.png", "front kick: impact", k1, shout());
  l.add("kick_2.png", "front kick: foot coming down", lerpPose(k0, g, 0.5f));
  // Taunt, between attacks.
  Pose t = g;
  t.handFar = {30, -104};
  t.fistFar = false;
  t.handNear = {4, -70};
  t.headTilt = -0.2f;
  l.add("taunt_0.png", "taunt: come on", t, shout());
}

void addBruiserMoves(FrameList& l) {
  const FighterStyle& st = bruiserStyle();
  Pose g = styleGuard(st, 0);
  // Overhead smash with the club.
  Pose a = g;
  a.handNear = {2, -108};
  a.handFar = {14, -100};
  a.weaponAngle = -2.6f;
  a.lean = -0.1f;
  a.hip = {-6, -61};
  l.add("smash_0.png", "club smash: raising", a);
  Pose b = a;
  b.handNear = {-6, -116};
  b.weaponAngle = -3.0f;
  b.lean = -0.2f;
  l.add("smash_1.png", "club smash: raised high", b);
  Pose c = g;
  c.handNear = {40, -70};
  c.handFar = {30, -72};
  c.weaponAngle = 0.35f;
  c.lean = 0.4f;
  c.hip = {6, -56};
  c.footFar = {22, -5};
  l.add("smash_2.png", "club smash: impact", c, shout());
  Pose d = c;
  d.weaponAngle = 0.6f;
  l.add("smash_3.png", "club smash: follow-through", d);
  l.add("smash_4.png", "club smash: recovery", lerpPose(d, g, 0.5f));
  // A shoulder charge.
  Pose e = g;
  e.lean = 0.5f;
  e.hip = {-4, -56};
  e.handNear = {-2, -76};
  e.weaponAngle = -2.4f;
  l.add("charge_0.png", "shoulder charge: lowering", e);
  Pose f = runPose(0.5f);
  f.lean = 0.6f;
  f.handNear = {8, -72};
  f.handFar = {30, -80};
  f.weaponAngle = -2.5f;
  l.add("charge_1.png", "shoulder charge: impact", f, shout());
  l.add("charge_2.png", "shoulder charge: recovery", lerpPose(f, g, 0.55f));
}

void addBossMoves(FrameList& l) {
  const FighterStyle& st = bossStyle();
  Pose g = styleGuard(st, 0);
  // Horizontal slash.
  Pose a = g;
  a.handNear = {-14, -80};
  a.handFar = {-4, -76};
  a.weaponAngle = -2.8f;
  a.lean = -0.05f;
  a.hip = {-6, -60};
  l.add("slash_0.png", "slash: blade drawn back", a);
  Pose b = a;
  b.handNear = {-20, -84};
  b.weaponAngle = -3.0f;
  l.add("slash_1.png", "slash: coiled", b);
  Pose c = g;
  c.handNear = {44, -78};
  c.handFar = {26, -74};
  c.weaponAngle = 0.05f;
  c.lean = 0.3f;
  c.hip = {6, -59};
  c.footFar = {22, -5};
  l.add("slash_2.png", "slash: impact, blade level", c, shout());
  Pose d = c;
  d.handNear = {30, -70};
  d.weaponAngle = 0.9f;
  l.add("slash_3.png", "slash: follow-through", d);
  l.add("slash_4.png", "slash: recovery", lerpPose(d, g, 0.5f));
  // Overhead cleave.
  Pose e = g;
  e.handNear = {4, -118};
  e.handFar = {12, -112};
  e.weaponAngle = -2.2f;
  e.lean = -0.15f;
  l.add("cleave_0.png", "cleave: blade raised", e);
  Pose f = e;
  f.weaponAngle = -2.7f;
  f.handNear = {-2, -122};
  l.add("cleave_1.png", "cleave: raised high", f, shout());
  Pose h = g;
  h.handNear = {38, -64};
  h.handFar = {30, -66};
  h.weaponAngle = 0.6f;
  h.lean = 0.45f;
  h.hip = {6, -54};
  h.footFar = {24, -5};
  l.add("cleave_2.png", "cleave: impact, blade down", h, shout());
  l.add("cleave_3.png", "cleave: recovery", lerpPose(h, g, 0.5f));
  // Lunging thrust.
  Pose i = g;
  i.handNear = {0, -74};
  i.weaponAngle = -0.1f;
  i.hip = {-8, -56};
  i.lean = 0.1f;
  l.add("thrust_0.png", "thrust: drawn back", i);
  Pose j = runPose(0.5f);
  j.handNear = {54, -80};
  j.handFar = {4, -84};
  j.weaponAngle = 0.0f;
  j.lean = 0.45f;
  l.add("thrust_1.png", "thrust: lunge, impact", j, shout());
  l.add("thrust_2.png", "thrust: recovery", lerpPose(j, g, 0.5f));
  // Roar.
  Pose r = g;
  r.handFar = {24, -108};
  r.fistFar = true;
  r.headTilt = -0.3f;
  r.lean = -0.1f;
  l.add("roar_0.png", "roar", r, shout());
}

}  // namespace assetgen
