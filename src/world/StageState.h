// Where a scene's stretches stand in play (see StageRules.h): part of the
// world's state, saved, summed and traced.
#pragma once

#include <cstdint>

struct StageState {
  // The stretch the camera goes to (0 the first), -1: none (the scene has no
  // stretches, or every one is cleared).
  int32_t stretch = -1;
  // The camera has reached the stretch and holds there.
  bool held = false;
  // The stretch's enemies have been reached and act (the view came to its beginning).
  bool reached = false;
  // Frames the "GO" sign still shows, after a stretch is cleared.
  int32_t goFrames = 0;
  // Frames before the doors take anyone, after the last stretch is cleared.
  int32_t beatFrames = 0;
};
