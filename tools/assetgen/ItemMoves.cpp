// Fighting with what lies in the street: a pipe swing, a knife stab, a knife
// throw and bending down to pick something up, for both heroes (each in their
// own manner) and the street thug; and the thrown knife in flight. These
// frames come after each set's older pictures, so no older number moves.
#include <cmath>

#include "Fighters.h"
#include "HeldItems.h"
#include "Moves.h"

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;

Look holding(Held h, bool shouting = false) {
  Look l;
  l.held = h;
  l.shout = shouting;
  return l;
}

// The far hand on the pipe just behind the near one: a two-handed grip.
Vec2 secondGrip(Vec2 nearHand, float angle) { return nearHand - Vec2{std::cos(angle), std::sin(angle)} * 7; }

// Morivane swings the pipe two-handed from high over the shoulder: a long
// wind-up, a big arc and the weight thrown in behind it.
Pose moriPipe(int step) {
  Pose p = guard();
  switch (step) {
    case 0:  // drawn up over the shoulder
      p.hip = {-5, -60};
      p.lean = -0.05f;
      p.handNear = {-6, -108};
      p.weaponAngle = -2.3f;
      break;
    case 1:  // high behind the head, leaning back
      p.hip = {-8, -61};
      p.lean = -0.16f;
      p.headTilt = 0.1f;
      p.footNear = {-19, -5};
      p.footFar = {17, -5};
      p.handNear = {-12, -116};
      p.weaponAngle = -2.85f;
      break;
    case 2:  // coming over the top
      p.hip = {2, -59};
      p.lean = 0.18f;
      p.footFar = {22, -5};
      p.handNear = {22, -106};
      p.weaponAngle = -0.9f;
      break;
    case 3:  // impact: level at head height, the weight forward
      p.hip = {8, -56};
      p.lean = 0.4f;
      p.footNear = {-18, -5};
      p.toeNear = 0.3f;
      p.footFar = {26, -5};
      p.handNear = {40, -86};
      p.weaponAngle = 0.12f;
      break;
    case 4:  // follow-through, the pipe down in front
      p.hip = {8, -56};
      p.lean = 0.46f;
      p.footNear = {-18, -5};
      p.toeNear = 0.3f;
      p.footFar = {26, -5};
      p.handNear = {34, -66};
      p.weaponAngle = 1.0f;
      break;
    default:  // recovering
      p = lerpPose(moriPipe(4), guard(), 0.55f);
      p.handNear = {16, -80};
      p.weaponAngle = -0.5f;
      break;
  }
  p.handFar = secondGrip(p.handNear, p.weaponAngle);
  p.elbowFar = -1;
  return p;
}

// Kaelin swings it one-handed, low from behind and up across the body, the
// free arm flung back for balance.
Pose kaelinPipe(int step) {
  Pose p = guard();
  p.fistFar = false;
  switch (step) {
    case 0:  // the pipe low behind the hip
      p.hip = {-5, -58};
      p.lean = 0.22f;
      p.footNear = {-18, -5};
      p.footFar = {20, -5};
      p.handNear = {-22, -66};
      p.weaponAngle = 2.55f;
      p.handFar = {26, -88};
      break;
    case 1:  // coiled lower
      p.hip = {-7, -54};
      p.lean = 0.3f;
      p.footNear = {-20, -5};
      p.footFar = {20, -5};
      p.handNear = {-26, -60};
      p.weaponAngle = 2.9f;
      p.handFar = {24, -82};
      break;
    case 2:  // sweeping through, low
      p.hip = {2, -57};
      p.lean = 0.2f;
      p.footFar = {24, -5};
      p.handNear = {16, -66};
      p.weaponAngle = 0.75f;
      p.handFar = {0, -88};
      break;
    case 3:  // impact: swept up across the chest
      p.hip = {8, -60};
      p.lean = 0.05f;
      p.footNear = {-16, -5};
      p.toeNear = 0.4f;
      p.footFar = {28, -5};
      p.handNear = {42, -94};
      p.weaponAngle = -0.45f;
      p.handFar = {-14, -86};
      break;
    case 4:  // follow-through, the pipe up
      p.hip = {6, -61};
      p.lean = -0.08f;
      p.footFar = {26, -5};
      p.handNear = {32, -106};
      p.weaponAngle = -1.2f;
      p.handFar = {-10, -84};
      break;
    default:
      p = lerpPose(kaelinPipe(4), guard(), 0.6f);
      p.weaponAngle = -0.7f;
      break;
  }
  return p;
}

// Morivane stabs like his cross: straight out from the rear hand.
Pose moriStab(float t) {
  Pose p = guard();
  p.hip = {-4 + 10 * t, -60 + t};
  p.lean = 0.05f + 0.24f * t;
  p.footNear = {-18 + 4 * t, -5};
  p.toeNear = 0.3f * t;
  p.footFar = {16 + 6 * t, -5};
  p.handNear = lerp(Vec2{-2, -76}, Vec2{58, -88}, t);
  p.handFar = lerp(Vec2{27, -89}, Vec2{14, -92}, t);
  p.weaponAngle = -0.05f;
  return p;
}

// Kaelin lunges low and long, the free hand back.
Pose kaelinStab(float t) {
  Pose p = guard();
  p.hip = {-4 + 16 * t, -56 + 6 * t};
  p.lean = 0.3f + 0.15f * t;
  p.footNear = {-18 - 6 * t, -5};
  p.toeNear = 0.5f * t;
  p.footFar = {18 + 24 * t, -5};
  p.handNear = lerp(Vec2{2, -66}, Vec2{64, -72}, t);
  p.handFar = lerp(Vec2{24, -86}, Vec2{-12, -82}, t);
  p.fistFar = t < 0.5f;
  p.weaponAngle = 0.08f - 0.16f * t;
  return p;
}

// Morivane throws overhand: knife cocked over the shoulder, the lead hand
// pointing at the mark.
Pose moriToss(int step) {
  Pose p = guard();
  if (step == 0) {
    p.hip = {-7, -60};
    p.lean = -0.1f;
    p.footFar = {18, -5};
    p.handNear = {-16, -110};
    p.weaponAngle = -2.1f;
    p.handFar = {30, -94};
    p.fistFar = false;
  } else {
    p.hip = {6, -58};
    p.lean = step == 1 ? 0.3f : 0.38f;
    p.footNear = {-18, -5};
    p.toeNear = 0.3f;
    p.footFar = {22, -5};
    p.handNear = step == 1 ? Vec2{50, -98} : Vec2{40, -70};
    p.fistNear = false;
    p.handFar = {4, -80};
  }
  return p;
}

// Kaelin flicks it side-arm from behind, turning from the hips.
Pose kaelinToss(int step) {
  Pose p = guard();
  p.fistFar = false;
  if (step == 0) {
    p.hip = {-6, -58};
    p.lean = -0.02f;
    p.footNear = {-20, -5};
    p.footFar = {18, -5};
    p.handNear = {-26, -86};
    p.weaponAngle = 3.0f;
    p.handFar = {26, -88};
  } else {
    p.hip = {6, -59};
    p.lean = step == 1 ? 0.2f : 0.28f;
    p.footNear = {-16, -5};
    p.toeNear = 0.4f;
    p.footFar = {26, -5};
    p.handNear = step == 1 ? Vec2{56, -86} : Vec2{34, -64};
    p.fistNear = false;
    p.handFar = step == 1 ? Vec2{-16, -82} : Vec2{-6, -76};
  }
  return p;
}

// Morivane bends from the waist to reach the ground.
Pose moriPickUp(int step) {
  Pose p = guard();
  p.hip = step == 0 ? Vec2{-6, -52} : Vec2{-10, -42};
  p.lean = step == 0 ? 0.7f : 0.95f;
  p.headTilt = -0.15f;
  p.footNear = {-16, -5};
  p.footFar = {14, -5};
  p.handNear = step == 0 ? Vec2{28, -40} : Vec2{30, -16};
  p.fistNear = false;
  p.handFar = step == 0 ? Vec2{20, -62} : Vec2{22, -44};
  return p;
}

// Kaelin drops on to one knee, back straight.
Pose kaelinPickUp(int step) {
  Pose p = guard();
  if (step == 0) {
    p = crouchPose(0.8f);
    p.lean = 0.4f;
    p.handNear = {24, -38};
  } else {
    p.hip = {-6, -34};
    p.lean = 0.32f;
    p.footNear = {-26, -6};
    p.toeNear = 0.9f;
    p.footFar = {14, -5};
    p.handNear = {28, -14};
    p.handFar = {10, -58};
  }
  p.fistNear = false;
  return p;
}

// The thug's pipe: one hand, straight over the top, like a club.
Pose thugPipe(int step) {
  const Pose g = styleGuard(thugStyle(), 0);
  Pose p = g;
  switch (step) {
    case 0:
      p.handNear = {2, -108};
      p.weaponAngle = -2.5f;
      p.lean = -0.08f;
      p.hip = {-6, -61};
      break;
    case 1:
      p.handNear = {-8, -114};
      p.weaponAngle = -2.95f;
      p.lean = -0.2f;
      p.hip = {-7, -61};
      p.handFar = {26, -92};
      break;
    case 2:
      p.handNear = {40, -72};
      p.weaponAngle = 0.35f;
      p.lean = 0.42f;
      p.hip = {6, -56};
      p.footFar = {22, -5};
      break;
    case 3:
      p.handNear = {36, -62};
      p.weaponAngle = 0.8f;
      p.lean = 0.45f;
      p.hip = {6, -56};
      p.footFar = {22, -5};
      break;
    default:
      p = lerpPose(thugPipe(3), g, 0.5f);
      p.weaponAngle = -0.4f;
      break;
  }
  return p;
}

Pose thugPickUp(int step) {
  Pose p = moriPickUp(step);
  p.lean += 0.05f;
  p.handFar = step == 0 ? Vec2{22, -56} : Vec2{16, -40};
  return p;
}

}  // namespace

void addMorivaneItemFrames(FrameList& l) {
  const char* pipe[] = {"pipe swing: drawn up over the shoulder", "pipe swing: raised high behind the head",
                        "pipe swing: coming over the top", "pipe swing: impact, level at head height",
                        "pipe swing: follow-through", "pipe swing: recovery"};
  for (int i = 0; i < 6; ++i)
    l.add("pipe_" + std::to_string(i) + ".png", pipe[i], moriPipe(i), holding(Held::Pipe, i == 2 || i == 3));
  l.add("stab_0.png", "knife stab: drawn back at the hip", moriStab(0), holding(Held::Knife));
  l.add("stab_1.png", "knife stab: thrust, impact", moriStab(1), holding(Held::Knife, true));
  l.add("stab_2.png", "knife stab: recovery", moriStab(0.4f), holding(Held::Knife));
  l.add("toss_0.png", "knife throw: cocked over the shoulder", moriToss(0), holding(Held::Knife));
  l.add("toss_1.png", "knife throw: release (the knife is spawned here)", moriToss(1), shout());
  l.add("toss_2.png", "knife throw: follow-through", moriToss(2));
  l.add("pickup_0.png", "pick up: bending down", moriPickUp(0));
  l.add("pickup_1.png", "pick up: hand at the ground", moriPickUp(1));
}

void addKaelinItemFrames(FrameList& l) {
  const char* pipe[] = {"pipe swing: low behind the hip", "pipe swing: coiled",
                        "pipe swing: sweeping through", "pipe swing: impact, swept up across the chest",
                        "pipe swing: follow-through, pipe up", "pipe swing: recovery"};
  for (int i = 0; i < 6; ++i)
    l.add("pipe_" + std::to_string(i) + ".png", pipe[i], kaelinPipe(i), holding(Held::Pipe, i == 3));
  l.add("stab_0.png", "knife stab: low, drawn back", kaelinStab(0), holding(Held::Knife));
  l.add("stab_1.png", "knife stab: long lunge, impact", kaelinStab(1), holding(Held::Knife, true));
  l.add("stab_2.png", "knife stab: recovery", kaelinStab(0.35f), holding(Held::Knife));
  l.add("toss_0.png", "knife throw: drawn back side-arm", kaelinToss(0), holding(Held::Knife));
  l.add("toss_1.png", "knife throw: flicked out (the knife is spawned here)", kaelinToss(1), shout());
  l.add("toss_2.png", "knife throw: follow-through", kaelinToss(2));
  l.add("pickup_0.png", "pick up: dipping", kaelinPickUp(0));
  l.add("pickup_1.png", "pick up: on one knee, hand at the ground", kaelinPickUp(1));
}

void addThugItemFrames(FrameList& l) {
  const char* pipe[] = {"pipe swing: raising", "pipe swing: raised high", "pipe swing: impact",
                        "pipe swing: follow-through", "pipe swing: recovery"};
  for (int i = 0; i < 5; ++i)
    l.add("pipe_" + std::to_string(i) + ".png", pipe[i], thugPipe(i), holding(Held::Pipe, i == 1 || i == 2));
  l.add("pickup_0.png", "pick up: bending down", thugPickUp(0));
  l.add("pickup_1.png", "pick up: hand at the ground", thugPickUp(1));
}

void addThrownKnifePictures(Manifest& m, const std::string& set, Color outline) {
  // Turning end over end, a quarter turn a picture; 40x40, the knife's middle
  // at the centre (so 20 above the object's feet).
  const int size = 40;
  const float scale = 0.9f;  // a shade smaller, so that it turns within the picture
  const float mid = scale * (heldReach(Held::Knife) - heldButt(Held::Knife)) / 2;
  for (int i = 0; i < 4; ++i) {
    Canvas c(size, size);
    const float a = i * kPi / 2 + 0.3f;
    const Vec2 dir{std::cos(a), std::sin(a)};
    // A faint streak where it has just been.
    fill(c, capsuleShape({size / 2.0f - 13, size / 2.0f}, 1.0f, {size / 2.0f + 2, size / 2.0f}, 3.0f),
         withAlpha(rgb(0xE8F0FF), 0.35f));
    drawHeld(c, Held::Knife, Vec2{size / 2.0f, size / 2.0f} - dir * mid, dir, scale, outline);
    m.addPicture(set, "knife_fly_" + std::to_string(i) + ".png",
                 "thrown knife: turning in flight, " + std::to_string(i + 1) + " of 4 (40x40)", c);
  }
}

}  // namespace assetgen
