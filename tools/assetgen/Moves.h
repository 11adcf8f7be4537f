// Key poses and cycles shared by every fighter: the guard, walking, running,
// jumping, being hit, flying, lying and getting up. Poses are in the skeleton's
// units (a standing fighter's hips are about 60 above the ground) and face right.
#pragma once

#include "Figure.h"

namespace assetgen {

Pose lerpPose(const Pose& a, const Pose& b, float t);
float smooth(float t);  // smoothstep on 0..1

Pose guard(float breath = 0);       // breath -1..1 moves the chest and hands
Pose walkPose(float phase);         // phase 0..1, one full stride cycle
Pose backWalkPose(float phase);
Pose runPose(float phase);
Pose skidPose(float t);             // stopping from a run, t 0..1
Pose crouchPose(float depth);       // 0 standing .. 1 deep (take-off, landing)
Pose jumpRisePose();
Pose jumpApexPose();
Pose jumpFallPose();
Pose hurtHighPose(float t);         // head snapped back; t 0..1 eases back
Pose hurtGutPose(float t);          // doubled over
Pose hurtAirPose();
Pose knockFlyPose(float t);         // launched backwards, t 0..1 from rising to falling
Pose lyingPose(float bounce);       // flat on the back; bounce lifts the legs
Pose getUpPose(int step);           // 0 sitting, 1 kneeling, 2 rising

}  // namespace assetgen
