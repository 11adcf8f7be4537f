#include "Fighters.h"
#include "Moves.h"

namespace assetgen {

namespace {

Pose jab(float t) {  // 0 wind-up .. 1 full extension with the lead hand
  Pose p = guard();
  p.hip = {-2 + 4 * t, -60};
  p.lean = 0.1f + 0.1f * t;
  p.footFar = {15 + 4 * t, -5};
  p.handFar = lerp(Vec2{20, -88}, Vec2{56, -93}, t);
  p.handNear = {12, -85};
  return p;
}

Pose cross(float t) {  // rear-hand straight
  Pose p = guard();
  p.hip = {-4 + 10 * t, -60 + t};
  p.lean = 0.05f + 0.22f * t;
  p.footNear = {-18 + 4 * t, -5};
  p.toeNear = 0.3f * t;
  p.footFar = {16 + 6 * t, -5};
  p.handNear = lerp(Vec2{2, -84}, Vec2{60, -92}, t);
  p.handFar = lerp(Vec2{27, -89}, Vec2{14, -88}, t);
  return p;
}

Pose highKick(float t) {  // 0 chambered knee .. 1 leg out at head height
  Pose p = guard();
  p.hip = {-4 - 4 * t, -62};
  p.lean = -0.05f - 0.35f * t;
  p.headTilt = 0.2f * t;
  p.footFar = {6, -5};
  p.footNear = lerp(Vec2{16, -48}, Vec2{58, -100}, t);
  p.toeNear = -0.3f;
  p.kneeNear = 1;
  p.handNear = {0, -90};
  p.handFar = {24, -96};
  return p;
}

Pose uppercut(float t) {
  Pose p = crouchPose(0.6f * (1 - t));
  p.hip = {-2 + 8 * t, -52 - 12 * t};
  p.lean = 0.3f - 0.35f * t;
  p.headTilt = -0.2f * t;
  p.handNear = lerp(Vec2{8, -58}, Vec2{30, -128}, t);
  p.elbowNear = t > 0.5f ? -1 : 1;
  p.handFar = {14, -86};
  p.footNear = {-14, -5 - 6 * t};
  p.toeNear = 0.6f * t;
  return p;
}

}  // namespace

void addHeroMoves(FrameList& l) {
  // Running and stopping.
  for (int i = 0; i < 6; ++i)
    l.add("run_" + std::to_string(i) + ".png", "run, stride " + std::to_string(i + 1) + " of 6", runPose(i / 6.0f));
  l.add("skid_0.png", "stopping a run: heels dug in", skidPose(0));
  l.add("skid_1.png", "stopping a run: settling", skidPose(1));
  // Jumping.
  l.add("jump_0.png", "jump: crouch before take-off (also landing)", crouchPose(1));
  l.add("jump_1.png", "jump: rising", jumpRisePose());
  l.add("jump_2.png", "jump: apex, knees tucked", jumpApexPose());
  l.add("jump_3.png", "jump: falling", jumpFallPose());
  l.add("jump_4.png", "jump: landing", crouchPose(0.6f));

  // The J chain: jab, cross, high kick.
  l.add("punch1_0.png", "jab: wind-up", jab(0));
  l.add("punch1_1.png", "jab: wind-up, weight forward", jab(0.35f));
  l.add("punch1_2.png", "jab: impact", jab(1), shout());
  l.add("punch1_3.png", "jab: recovery", jab(0.45f));
  l.add("punch2_0.png", "cross: wind-up, rear hand cocked", cross(0));
  l.add("punch2_1.png", "cross: wind-up, hips turning", cross(0.3f));
  l.add("punch2_2.png", "cross: impact", cross(1), shout());
  l.add("punch2_3.png", "cross: recovery", cross(0.4f));
  l.add("kick_0.png", "high kick: knee chambered", highKick(0));
  l.add("kick_1.png", "high kick: leg unfolding", highKick(0.55f));
  l.add("kick_2.png", "high kick: impact", highKick(1), shout());
  l.add("kick_3.png", "high kick: re-chamber", highKick(0.3f));
  l.add("kick_4.png", "high kick: foot down", lerpPose(highKick(0), guard(), 0.7f));
  // Upward attack.
  l.add("upper_0.png", "uppercut: crouch", uppercut(0));
  l.add("upper_1.png", "uppercut: rising", uppercut(0.45f));
  l.add("upper_2.png", "uppercut: impact, fist high", uppercut(1), shout());
  l.add("upper_3.png", "uppercut: recovery", lerpPose(uppercut(1), guard(), 0.6f));

  // Air attacks: flying kick and stomp.
  {
    Pose a = jumpApexPose();
    a.footFar = {14, -30};
    a.footNear = {-4, -36};
    a.lean = 0.05f;
    l.add("airkick_0.png", "air kick: chambered", a);
    Pose b = jumpApexPose();
    b.lean = -0.25f;
    b.footFar = {54, -24};
    b.toeFar = -0.2f;
    b.footNear = {-6, -30};
    b.handNear = {-6, -88};
    b.handFar = {18, -100};
    l.add("airkick_1.png", "air kick: leg out, impact", b, shout());
    Pose c = jumpApexPose();
    c.footNear = {-2, -40};
    c.footFar = {10, -44};
    c.handNear = {2, -104};
    c.handFar = {16, -108};
    c.lean = 0.3f;
    l.add("stomp_0.png", "down-air stomp: knees up", c);
    Pose d = jumpFallPose();
    d.footNear = {2, 4};
    d.footFar = {10, 2};
    d.toeNear = 0.8f;
    d.toeFar = 0.7f;
    d.lean = 0.15f;
    d.handNear = {-4, -96};
    d.handFar = {26, -100};
    l.add("stomp_1.png", "down-air stomp: feet driving down, impact", d, shout());
  }
  // Running attack: a dashing elbow.
  {
    Pose a = runPose(0.25f);
    a.handNear = {4, -82};
    a.handFar = {20, -86};
    l.add("dash_0.png", "running elbow: lunge", a);
    Pose b = runPose(0.5f);
    b.lean = 0.55f;
    b.hip = {10, -56};
    b.handFar = {34, -92};
    b.elbowFar = -1;
    b.handNear = {10, -70};
    l.add("dash_1.png", "running elbow: impact", b, shout());
    l.add("dash_2.png", "running elbow: recovery", lerpPose(b, guard(), 0.6f));
  }
  // K with S held: a low sweep, then the rising launcher.
  {
    Pose a = crouchPose(1);
    a.hip = {-8, -34};
    a.lean = 0.35f;
    a.footFar = {14, -5};
    a.footNear = {-20, -5};
    a.toeNear = 0.7f;
    a.handNear = {-6, -40};
    a.fistNear = false;
    a.handFar = {18, -60};
    l.add("sweep_0.png", "low sweep: drop", a);
    Pose b = a;
    b.footNear = {58, -6};
    b.kneeNear = -1;
    b.toeNear = -0.2f;
    b.lean = 0.2f;
    l.add("sweep_1.png", "low sweep: leg swung out, impact", b, shout());
    l.add("sweep_2.png", "low sweep: gathering", lerpPose(a, b, 0.3f));
    Pose c = highKick(0.2f);
    c.hip = {-6, -58};
    c.lean = 0.0f;
    l.add("launch_0.png", "rising kick: knee up from the crouch", c);
    Pose d = highKick(1);
    d.footNear = {34, -118};
    d.lean = -0.45f;
    d.hip = {-8, -64};
    l.add("launch_1.png", "rising kick: foot straight up, impact", d, shout());
    l.add("launch_2.png", "rising kick: recovery", lerpPose(d, guard(), 0.55f));
  }
  // Motion special S, W, J: the rising fist.
  {
    Pose a = uppercut(0);
    a.hip = {-4, -46};
    l.add("rising_0.png", "rising fist: gathering", a);
    Pose b = uppercut(0.6f);
    l.add("rising_1.png", "rising fist: launching", b, shout());
    Pose c = uppercut(1);
    c.footNear = {-8, -24};
    c.footFar = {8, -14};
    c.toeNear = c.toeFar = 0.7f;
    c.settle = true;
    l.add("rising_2.png", "rising fist: airborne, impact", c, shout());
    Pose d = c;
    d.spin = 0.25f;
    d.handNear = {34, -120};
    l.add("rising_3.png", "rising fist: apex", d, shout());
    l.add("rising_4.png", "rising fist: dropping", jumpFallPose());
  }
  // Motion special S, fwd, J: the thrown energy ball.
  {
    Pose a = guard();
    a.hip = {-8, -56};
    a.lean = -0.05f;
    a.handNear = {-8, -70};
    a.handFar = {0, -74};
    a.fistNear = a.fistFar = false;
    a.footFar = {20, -5};
    l.add("throw_0.png", "energy throw: hands gathered at the hip", a);
    Pose b = a;
    b.handNear = {-12, -72};
    b.handFar = {-4, -76};
    b.hip = {-10, -55};
    l.add("throw_1.png", "energy throw: charging", b);
    Pose c = guard();
    c.hip = {6, -58};
    c.lean = 0.22f;
    c.footFar = {24, -5};
    c.handNear = {56, -84};
    c.handFar = {54, -78};
    c.fistNear = c.fistFar = false;
    l.add("throw_2.png", "energy throw: palms pushed out (the ball is spawned here)", c, shout());
    l.add("throw_3.png", "energy throw: recovery", lerpPose(c, guard(), 0.55f));
  }
  // Motion special S, back, fwd, J (costs power): the flurry finished by a kick.
  {
    Pose a = cross(1);
    a.handFar = {30, -84};
    l.add("flurry_0.png", "flurry: rear fist", a, shout());
    Pose b = jab(1);
    b.handNear = {16, -82};
    b.hip = {6, -60};
    l.add("flurry_1.png", "flurry: lead fist", b, shout());
    Pose c = cross(1);
    c.handNear = {58, -102};
    c.handFar = {20, -80};
    l.add("flurry_2.png", "flurry: rear fist high", c, shout());
    Pose d = jab(1);
    d.handFar = {56, -80};
    d.hip = {8, -60};
    l.add("flurry_3.png", "flurry: lead fist low", d, shout());
    l.add("flurry_4.png", "flurry: knee chambered for the finish", highKick(0.1f));
    Pose e = highKick(1);
    e.footNear = {62, -86};
    l.add("flurry_5.png", "flurry: finishing kick, impact", e, shout());
  }
  // Air special (S, fwd, J in the air, costs power): the diving kick.
  {
    Pose a = jumpApexPose();
    a.footNear = {-4, -44};
    a.footFar = {8, -48};
    a.lean = -0.1f;
    l.add("dive_0.png", "diving kick: tuck", a);
    Pose b = jumpApexPose();
    b.lean = -0.35f;
    b.headTilt = 0.3f;
    b.footFar = {42, 0};
    b.toeFar = 0.3f;
    b.footNear = {-8, -34};
    b.handNear = {-14, -92};
    b.handFar = {6, -100};
    l.add("dive_1.png", "diving kick: leg driving down-forward, impact", b, shout());
    Pose c = b;
    c.lean = -0.4f;
    c.footFar = {46, 4};
    l.add("dive_2.png", "diving kick: hold", c, shout());
  }
}

}  // namespace assetgen
