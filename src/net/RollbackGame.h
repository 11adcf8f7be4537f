// What a rollback session needs of the game: its state as bytes, put back,
// and one step of frame `frame` with every seat's keys. `again` is true when
// the step re-runs a frame already shown with keys that turned out different:
// its sounds were (or were not) started the first time and must not start
// again (see RollbackSounds).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "world/Seat.h"

class RollbackGame {
 public:
  virtual ~RollbackGame() = default;
  virtual void saveState(std::vector<uint8_t> &out) = 0;
  virtual void loadState(std::span<const uint8_t> bytes) = 0;
  virtual void step(const SeatInputs &inputs, int frame, bool again) = 0;
};

// A 64-bit FNV-1a sum of a saved state: what peers compare.
uint64_t stateBytesChecksum(std::span<const uint8_t> bytes);
