// Something that looks at every step of the world from outside it: the sync
// test, the rewind ring, the state files. The screens call it around each
// step of play; it may put a saved state back, never draw.
#pragma once

#include "world/Seat.h"

class World;

class StepWatch {
 public:
  virtual ~StepWatch() = default;
  // The world was just built, in the game's first frame (before the players'
  // control of that frame, which counts as step 1). False ends the run.
  virtual bool worldStarted(World&) { return true; }
  // Whether the watch put a saved world in place of the one built: the first
  // frame then leaves it as it is (no control), so step N + k of the saved
  // game is step 1 + k of this one.
  virtual bool replacedWorld() const { return false; }
  // Before the world's step of a frame.
  virtual void beforeStep(const World&) {}
  // After the step (the world's update and the players' control), with the
  // keys it was given. False ends the run (the watch says why).
  virtual bool afterStep(World& world, const SeatInputs& input) = 0;
};
