// The world as a rollback session steps it: its saved state with the game's
// random generator, put back on a rollback; the sounds of a frame are kept
// for the game to play only the first time the frame is stepped.
#pragma once

#include <string>

#include "base/Random.h"
#include "net/RollbackGame.h"
#include "world/World.h"

class WorldRollbackGame : public RollbackGame {
 public:
  WorldRollbackGame(World &world, Random &chance) : world_(world), chance_(chance) {}

  void saveState(std::vector<uint8_t> &out) override { world_.saveState(chance_.state(), out); }
  void loadState(std::span<const uint8_t> bytes) override;
  void step(const SeatInputs &inputs, bool again) override;

  // The sounds of the frames stepped for the first time since the last call.
  std::vector<SoundRequest> takeNewSounds();
  // Why the last state could not be put back ("" when it was).
  const std::string &error() const { return error_; }

 private:
  World &world_;
  Random &chance_;
  std::vector<SoundRequest> newSounds_;
  std::string error_;
};
