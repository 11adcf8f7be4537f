// The shared effects file: the character file "system", whose actions are the
// effects every character may spawn (hit sparks, the death burst, the door
// markers) and whose picture set carries the shared sounds.
#pragma once

#include <cstdint>

inline constexpr const char* kSharedEffectsId = "system";
// Spawned 50 units above a character that dies.
inline constexpr int32_t kDeathEffectAction = 8;
// Spawned on every door of a scene when its doors open.
inline constexpr int32_t kDoorMarkerAction = 17;
