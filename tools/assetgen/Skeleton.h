// A fighter's skeleton: the build (bone lengths and thicknesses) and one pose
// (where the hips, hands and feet are, how the torso and head lean), solved
// into joint positions with two-bone inverse kinematics for arms and legs.
//
// Coordinates are the character's own: x forward (the picture faces right),
// y down, the origin on the ground between the feet.
#pragma once

#include "Raster.h"

namespace assetgen {

struct Build {
  float torso = 40;      // hip centre to neck base
  float neck = 5;
  float headR = 10.5f;
  float shoulderW = 12;   // half the distance between the shoulders (seen at 3/4)
  float hipW = 5;
  float upperArm = 23, forearm = 21;
  float thigh = 32, shin = 31;
  float footLen = 13;
  // Limb radii at their two ends.
  float upperArmR0 = 6.0f, upperArmR1 = 4.6f, forearmR0 = 4.8f, forearmR1 = 3.8f, handR = 5.0f;
  float thighR0 = 8.2f, thighR1 = 5.8f, shinR0 = 5.6f, shinR1 = 4.0f;
  float chestR = 14, waistR = 10.5f, pelvisR = 10;
};

// One key pose. Angles in radians; a positive lean tips the torso forward.
struct Pose {
  Vec2 hip{0, -62};
  float lean = 0.05f;
  float headTilt = 0;  // positive nods forward
  Vec2 handNear{14, -72}, handFar{22, -80};  // wrist targets
  Vec2 footNear{-8, -4}, footFar{10, -4};    // ankle targets
  float elbowNear = 1, elbowFar = 1;  // +1 bends the elbow down/back, -1 up/forward
  float kneeNear = 1, kneeFar = 1;    // +1 bends the knee forward
  float toeNear = 0, toeFar = 0;      // foot rotation; positive points the toes down
  bool fistNear = true, fistFar = true;
  float weaponAngle = 0;  // direction of a held weapon, from the hand (0 forward, -pi/2 up)
  float squashBody = 1;   // below 1 squashes the torso (landing, hurt)
  // Whole-body rotation about the hip (flying, lying), applied after solving.
  float spin = 0;
  // Moves the solved figure up or down so that its lowest joint rests on the
  // ground line (jumps drawn with the feet at the bottom, lying figures).
  bool settle = false;
};

struct Joints {
  Vec2 hip, hipNear, hipFar, neck, headC, shoulderNear, shoulderFar;
  Vec2 elbowNear, elbowFar, handNear, handFar;
  Vec2 kneeNear, kneeFar, ankleNear, ankleFar, toeNear, toeFar;
  float headAngle = 0, torsoAngle = 0;
};

// Joint positions of the pose, with (0, 0) at `ground` in canvas pixels and
// every length multiplied by `scale`.
Joints solvePose(const Build& build, const Pose& pose, Vec2 ground, float scale);

// The middle joint of a two-bone limb from `root` reaching for `target`.
Vec2 solveTwoBone(Vec2 root, Vec2 target, float l1, float l2, float bend, Vec2* end);

}  // namespace assetgen
