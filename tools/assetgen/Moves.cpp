#include "Moves.h"

#include <cmath>

namespace assetgen {

namespace {
constexpr float kPi = 3.14159265f;
constexpr float kAnkle = -5;  // ankle height of a foot flat on the ground

Vec2 lv(Vec2 a, Vec2 b, float t) { return lerp(a, b, t); }
float lf(float a, float b, float t) { return a + (b - a) * t; }

// One foot of a stride: on the ground for the first half, swinging forward and
// lifted for the second.
Vec2 strideFoot(float u, float reach, float lift, float& toe) {
  u -= std::floor(u);
  if (u < 0.5f) {
    toe = 0;
    return {reach * (1 - 4 * u), kAnkle};
  }
  float v = (u - 0.5f) * 2;
  toe = 0.5f * std::sin(kPi * v);
  return {-reach + 2 * reach * smooth(v), kAnkle - lift * std::sin(kPi * v)};
}
}  // namespace

float smooth(float t) {
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  return t * t * (3 - 2 * t);
}

Pose lerpPose(const Pose& a, const Pose& b, float t) {
  Pose p = t < 0.5f ? a : b;
  p.hip = lv(a.hip, b.hip, t);
  p.lean = lf(a.lean, b.lean, t);
  p.headTilt = lf(a.headTilt, b.headTilt, t);
  p.handNear = lv(a.handNear, b.handNear, t);
  p.handFar = lv(a.handFar, b.handFar, t);
  p.footNear = lv(a.footNear, b.footNear, t);
  p.footFar = lv(a.footFar, b.footFar, t);
  p.toeNear = lf(a.toeNear, b.toeNear, t);
  p.toeFar = lf(a.toeFar, b.toeFar, t);
  p.weaponAngle = lf(a.weaponAngle, b.weaponAngle, t);
  p.squashBody = lf(a.squashBody, b.squashBody, t);
  p.spin = lf(a.spin, b.spin, t);
  return p;
}

Pose guard(float breath) {
  Pose p;
  p.hip = {-2, -60 + 1.2f * breath};
  p.lean = 0.1f + 0.015f * breath;
  p.headTilt = 0.02f;
  p.footNear = {-15, kAnkle};
  p.footFar = {15, kAnkle};
  p.handNear = {13, -84 + 1.8f * breath};
  p.handFar = {27, -89 + 1.5f * breath};
  return p;
}

Pose walkPose(float phase) {
  Pose p = guard();
  float a = 2 * kPi * phase;
  p.hip = {0, -61.5f + 1.6f * std::cos(2 * a)};
  p.footNear = strideFoot(phase, 18, 10, p.toeNear);
  p.footFar = strideFoot(phase + 0.5f, 18, 10, p.toeFar);
  p.handNear = {13 + 3 * std::sin(a), -83 + 1.2f * std::cos(2 * a)};
  p.handFar = {26 - 3 * std::sin(a), -88 + 1.2f * std::cos(2 * a)};
  return p;
}

Pose backWalkPose(float phase) { return walkPose(1 - phase); }

Pose runPose(float phase) {
  Pose p = guard();
  float a = 2 * kPi * phase;
  p.lean = 0.38f;
  p.headTilt = -0.25f;
  p.hip = {4, -59 + 2.5f * std::cos(2 * a)};
  p.footNear = strideFoot(phase, 28, 17, p.toeNear);
  p.footFar = strideFoot(phase + 0.5f, 28, 17, p.toeFar);
  p.footNear.x += 4;
  p.footFar.x += 4;
  // Arms pump against the legs.
  p.handNear = {14 + 16 * std::sin(a), -74 - 6 * std::cos(a)};
  p.handFar = {22 - 16 * std::sin(a), -76 + 6 * std::cos(a)};
  p.elbowNear = 1;
  p.elbowFar = 1;
  return p;
}

Pose skidPose(float t) {
  Pose p = guard();
  p.lean = lf(-0.1f, 0.05f, t);
  p.hip = {-6, lf(-52, -58, t)};
  p.footFar = {24, kAnkle};
  p.toeFar = -0.35f;
  p.footNear = {-16, kAnkle};
  p.handNear = {4, -80};
  p.handFar = {30, -82};
  return p;
}

Pose crouchPose(float depth) {
  Pose p = guard();
  p.hip = {-3, -60 + 16 * depth};
  p.lean = 0.1f + 0.25f * depth;
  p.footNear = {-14, kAnkle};
  p.footFar = {14, kAnkle};
  p.handNear = {10, -80 + 14 * depth};
  p.handFar = {24, -84 + 14 * depth};
  p.squashBody = 1 - 0.05f * depth;
  return p;
}

Pose jumpRisePose() {
  Pose p = guard();
  p.hip = {0, -66};
  p.lean = 0.05f;
  p.headTilt = -0.15f;
  p.footNear = {-6, -7};
  p.footFar = {6, -14};
  p.toeNear = 0.9f;
  p.toeFar = 0.6f;
  p.handNear = {6, -100};
  p.handFar = {20, -104};
  p.settle = true;
  return p;
}

Pose jumpApexPose() {
  Pose p = guard();
  p.hip = {0, -60};
  p.lean = 0.2f;
  p.footNear = {-8, -32};
  p.footFar = {12, -40};
  p.toeNear = 0.5f;
  p.toeFar = 0.4f;
  p.handNear = {12, -86};
  p.handFar = {26, -92};
  p.settle = true;
  return p;
}

Pose jumpFallPose() {
  Pose p = guard();
  p.hip = {0, -62};
  p.lean = 0.1f;
  p.footNear = {-12, -12};
  p.footFar = {12, -20};
  p.toeNear = 0.4f;
  p.toeFar = 0.3f;
  p.handNear = {4, -92};
  p.handFar = {28, -96};
  p.settle = true;
  return p;
}

Pose hurtHighPose(float t) {
  Pose p = guard();
  float k = 1 - 0.6f * t;
  p.hip = {-6 * k, -61};
  p.lean = -0.3f * k + 0.08f * (1 - k);
  p.headTilt = -0.4f * k;
  p.footNear = {-18, kAnkle};
  p.footFar = {12, kAnkle};
  p.handNear = {-8 * k + 8 * (1 - k), -88};
  p.handFar = {6 * k + 20 * (1 - k), -98 * k - 86 * (1 - k)};
  p.fistNear = p.fistFar = false;
  return p;
}

Pose hurtGutPose(float t) {
  Pose p = guard();
  float k = 1 - 0.6f * t;
  p.hip = {-8 * k, -57};
  p.lean = 0.7f * k + 0.1f * (1 - k);
  p.headTilt = 0.15f * k;
  p.footNear = {-16, kAnkle};
  p.footFar = {14, kAnkle};
  p.handNear = {12, -62};
  p.handFar = {18, -66};
  p.squashBody = 1 - 0.08f * k;
  return p;
}

Pose hurtAirPose() {
  Pose p = guard();
  p.hip = {0, -60};
  p.lean = -0.2f;
  p.headTilt = -0.35f;
  p.spin = -0.45f;
  p.footNear = {14, -12};
  p.footFar = {24, -24};
  p.handNear = {-16, -92};
  p.handFar = {0, -106};
  p.fistNear = p.fistFar = false;
  p.settle = true;
  return p;
}

Pose knockFlyPose(float t) {
  Pose p = guard();
  p.hip = {0, -60};
  p.lean = -0.1f;
  p.headTilt = -0.3f;
  p.spin = lf(-0.7f, -1.25f, t);
  p.footNear = {lf(16, 22, t), lf(-20, -14, t)};
  p.footFar = {lf(26, 30, t), lf(-34, -26, t)};
  p.kneeNear = p.kneeFar = 1;
  p.handNear = {-20, lf(-100, -90, t)};
  p.handFar = {-4, lf(-112, -104, t)};
  p.fistNear = p.fistFar = false;
  p.settle = true;
  return p;
}

Pose lyingPose(float bounce) {
  Pose p = guard();
  p.hip = {8, -60};
  p.lean = 0;
  p.headTilt = -0.1f - 0.1f * bounce;
  p.spin = -1.52f + 0.1f * bounce;
  p.footNear = {lf(4, 16, bounce), -4};
  p.footFar = {lf(10, 26, bounce), lf(-10, -20, bounce)};
  p.kneeNear = p.kneeFar = -1;
  p.handNear = {-4, -74};
  p.handFar = {-14, -96};
  p.elbowNear = -1;
  p.fistNear = p.fistFar = false;
  p.settle = true;
  return p;
}

Pose getUpPose(int step) {
  Pose p = guard();
  if (step == 0) {  // sitting up, propped on a hand
    p.hip = {-10, -14};
    p.lean = -0.35f;
    p.headTilt = 0.2f;
    p.footNear = {18, kAnkle};
    p.footFar = {30, kAnkle};
    p.kneeNear = p.kneeFar = 1;
    p.handNear = {-30, -4};
    p.handFar = {8, -40};
    p.elbowNear = -1;
    p.fistNear = false;
    p.settle = true;
  } else if (step == 1) {  // on one knee
    p.hip = {-6, -37};
    p.lean = 0.35f;
    p.footNear = {-26, -6};
    p.toeNear = 0.9f;
    p.footFar = {12, kAnkle};
    p.handNear = {14, -40};
    p.handFar = {22, -50};
  } else {  // rising into the guard
    p = crouchPose(0.6f);
  }
  return p;
}

}  // namespace assetgen
