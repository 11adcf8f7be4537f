#include "Skeleton.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

Vec2 solveTwoBone(Vec2 root, Vec2 target, float l1, float l2, float bend, Vec2* end) {
  Vec2 d = target - root;
  float dist = length(d);
  float lo = std::fabs(l1 - l2) + 0.01f, hi = l1 + l2 - 0.01f;
  float reach = std::clamp(dist, lo, hi);
  float base = dist > 1e-4f ? std::atan2(d.y, d.x) : 1.5708f;
  float c = (l1 * l1 + reach * reach - l2 * l2) / (2 * l1 * reach);
  float a = std::acos(std::clamp(c, -1.0f, 1.0f));
  Vec2 mid = root + Vec2{std::cos(base + bend * a), std::sin(base + bend * a)} * l1;
  if (end) *end = root + Vec2{std::cos(base), std::sin(base)} * reach;
  return mid;
}

Joints solvePose(const Build& b, const Pose& p, Vec2 ground, float s) {
  Joints j;
  j.hip = ground + p.hip * s;
  j.torsoAngle = p.lean;
  Vec2 up{std::sin(p.lean), -std::cos(p.lean)};
  Vec2 side{std::cos(p.lean), std::sin(p.lean)};  // forward, square to the spine
  float torso = b.torso * s * p.squashBody;
  j.neck = j.hip + up * torso;
  j.headAngle = p.lean + p.headTilt;
  Vec2 headUp{std::sin(j.headAngle), -std::cos(j.headAngle)};
  j.headC = j.neck + headUp * ((b.neck + b.headR * 0.92f) * s);
  Vec2 shoulders = j.hip + up * (torso - 4 * s);
  j.shoulderNear = shoulders + side * (-b.shoulderW * 0.45f * s);
  j.shoulderFar = shoulders + side * (b.shoulderW * 0.45f * s) + up * (1.5f * s);
  j.hipNear = j.hip + side * (-b.hipW * 0.4f * s);
  j.hipFar = j.hip + side * (b.hipW * 0.4f * s);

  j.elbowNear = solveTwoBone(j.shoulderNear, ground + p.handNear * s, b.upperArm * s, b.forearm * s, p.elbowNear,
                             &j.handNear);
  j.elbowFar =
      solveTwoBone(j.shoulderFar, ground + p.handFar * s, b.upperArm * s, b.forearm * s, p.elbowFar, &j.handFar);
  j.kneeNear =
      solveTwoBone(j.hipNear, ground + p.footNear * s, b.thigh * s, b.shin * s, -p.kneeNear, &j.ankleNear);
  j.kneeFar = solveTwoBone(j.hipFar, ground + p.footFar * s, b.thigh * s, b.shin * s, -p.kneeFar, &j.ankleFar);
  j.toeNear = j.ankleNear + rotated({b.footLen * s, 0}, p.toeNear);
  j.toeFar = j.ankleFar + rotated({b.footLen * s, 0}, p.toeFar);

  if (p.spin != 0) {
    Vec2 c = j.hip;
    for (Vec2* v : {&j.hipNear, &j.hipFar, &j.neck, &j.headC, &j.shoulderNear, &j.shoulderFar, &j.elbowNear,
                    &j.elbowFar, &j.handNear, &j.handFar, &j.kneeNear, &j.kneeFar, &j.ankleNear, &j.ankleFar,
                    &j.toeNear, &j.toeFar})
      *v = c + rotated(*v - c, p.spin);
    j.headAngle += p.spin;
    j.torsoAngle += p.spin;
  }
  if (p.settle) {
    float lowest = -1e9f;
    for (Vec2 v : {j.ankleNear, j.ankleFar, j.toeNear, j.toeFar, j.kneeNear, j.kneeFar, j.handNear, j.handFar,
                   j.elbowNear, j.elbowFar, j.hip, j.neck})
      lowest = std::max(lowest, v.y + 4 * s);
    lowest = std::max(lowest, j.headC.y + b.headR * s);
    float dy = ground.y - lowest;
    for (Vec2* v : {&j.hip, &j.hipNear, &j.hipFar, &j.neck, &j.headC, &j.shoulderNear, &j.shoulderFar, &j.elbowNear,
                    &j.elbowFar, &j.handNear, &j.handFar, &j.kneeNear, &j.kneeFar, &j.ankleNear, &j.ankleFar,
                    &j.toeNear, &j.toeFar})
      v->y += dy;
  }
  return j;
}

}  // namespace assetgen
