// The world as a rollback session steps it: its saved state with the game's
// random generator, put back on a rollback; the sounds each step asks for go
// through RollbackSounds, so the game starts each once and stops those of
// frames that turned out not to happen.
#pragma once

#include <string>

#include "base/Random.h"
#include "net/RollbackGame.h"
#include "net/RollbackSounds.h"
#include "world/World.h"

class WorldRollbackGame : public RollbackGame {
 public:
  WorldRollbackGame(World &world, Random &chance) : world_(world), chance_(chance) {}

  void saveState(std::vector<uint8_t> &out) override { world_.saveState(chance_.state(), out); }
  void loadState(std::span<const uint8_t> bytes) override;
  void step(const SeatInputs &inputs, int frame, bool again) override;

  // The sounds to start since the last call (with their frames: hand each
  // one's channel to started()), and the channels to stop.
  std::vector<std::pair<int, SoundRequest>> takeSoundsToStart();
  std::vector<uint32_t> takeChannelsToStop();
  void started(int frame, const SoundRequest &sound, uint32_t channel) { sounds_.started(frame, sound, channel); }
  // Why the last state could not be put back ("" when it was).
  const std::string &error() const { return error_; }

 private:
  World &world_;
  Random &chance_;
  RollbackSounds sounds_;
  std::vector<std::pair<int, SoundRequest>> toStart_;
  std::vector<uint32_t> toStop_;
  std::string error_;
};
