#include "net/WorldRollbackGame.h"

void WorldRollbackGame::loadState(std::span<const uint8_t> bytes) {
  Expected<uint64_t> random = world_.restoreState(bytes, "the rollback's saved state");
  if (!random) {
    error_ = random.error().message();
    return;
  }
  error_.clear();
  chance_.setState(*random);
}

void WorldRollbackGame::step(const SeatInputs &inputs, bool again) {
  world_.step(inputs);
  if (!again) newSounds_.insert(newSounds_.end(), world_.sounds.begin(), world_.sounds.end());
}

std::vector<SoundRequest> WorldRollbackGame::takeNewSounds() {
  std::vector<SoundRequest> out;
  out.swap(newSounds_);
  return out;
}
