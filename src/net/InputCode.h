// One seat's keys of one frame in two bytes, as they travel between peers:
// the low byte holds the keys held, the high byte the keys that went down in
// the frame (a tap shorter than a frame is a press without a hold).
#pragma once

#include <cstdint>

#include "world/FrameInput.h"

using InputCode = uint16_t;

inline InputCode encodeInput(const FrameInput &in) {
  InputCode code = 0;
  for (int k = 0; k < GAME_KEY_COUNT; ++k) {
    if (in.held[static_cast<size_t>(k)]) code |= static_cast<InputCode>(1u << k);
    if (in.pressed[static_cast<size_t>(k)]) code |= static_cast<InputCode>(1u << (k + 8));
  }
  return code;
}

inline FrameInput decodeInput(InputCode code) {
  FrameInput in;
  for (int k = 0; k < GAME_KEY_COUNT; ++k) {
    in.held[static_cast<size_t>(k)] = (code >> k) & 1u;
    in.pressed[static_cast<size_t>(k)] = (code >> (k + 8)) & 1u;
  }
  return in;
}
