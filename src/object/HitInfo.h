// What an attack does to its target. Filled by the script's arm-the-hit
// instruction and handed by value to the target's takeHit.
#pragma once

#include <cstdint>

struct HitInfo {
  int32_t groundReaction = 0;  // index into the target's reactions when it is on the ground
  int32_t airReaction = 0;     // ... when it is in the air
  double pushVx = 0;           // the target's new vx (relative to its facing)
  double pushVy = 0;           // the target's new vy
  int32_t targetFreeze = 0;    // the target's hit-stop
  int32_t selfFreeze = 0;      // the attacker's hit-stop when the attack connects
  bool active = false;         // the attack may still hit
  int32_t sparkFromSystem = 0; // 0: spark from the attacker's own file; else from "system"
  int32_t sparkAction = 0;     // action number of the hit spark
};
