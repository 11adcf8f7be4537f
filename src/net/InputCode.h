// One seat's keys of one frame, as they travel between peers: the low byte
// holds the keys held, the next the keys that went down in the frame (a tap
// shorter than a frame is a press without a hold), and bit 16 says the seat
// leaves the game before the frame (like a press, it lasts one frame).
#pragma once

#include <cstdint>

#include "world/FrameInput.h"

using InputCode = uint32_t;
inline constexpr InputCode kLeaveBit = 1u << 16;

inline InputCode encodeInput(const FrameInput &in) {
  InputCode code = 0;
  for (int k = 0; k < GAME_KEY_COUNT; ++k) {
    if (in.held[static_cast<size_t>(k)]) code |= static_cast<InputCode>(1u << k);
    if (in.pressed[static_cast<size_t>(k)]) code |= static_cast<InputCode>(1u << (k + 8));
  }
  if (in.leave) code |= kLeaveBit;
  return code;
}

inline FrameInput decodeInput(InputCode code) {
  FrameInput in;
  for (int k = 0; k < GAME_KEY_COUNT; ++k) {
    in.held[static_cast<size_t>(k)] = (code >> k) & 1u;
    in.pressed[static_cast<size_t>(k)] = (code >> (k + 8)) & 1u;
  }
  in.leave = (code & kLeaveBit) != 0;
  return in;
}
