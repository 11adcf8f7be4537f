// The actions a fighter's file fills to grab and throw (a folder whose rules
// switch the extended instructions on). The game starts them from the keys;
// what they look like and do comes from the file.
#pragma once

#include <cstdint>

// A fighter walking (its grab box reaches out), and an enemy walking.
inline constexpr int32_t kWalkAction = 1;

enum GrabAction : int32_t {
  HOLD = 40,   // holding an enemy in front; the keys act from here
  KNEE = 41,   // J: a blow at the held enemy; should end with `goto action=40`
  THROW = 42,  // J with a direction: its `throw` instruction sends the held enemy flying
  VAULT = 43,  // K: over the held enemy to its other side; `let-go turn=1` at its start
};

inline bool isGripAction(int32_t action) { return action == HOLD || action == KNEE || action == THROW; }
