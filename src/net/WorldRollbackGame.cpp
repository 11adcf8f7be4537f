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

void WorldRollbackGame::step(const SeatInputs &inputs, int frame, bool) {
  // A seat that leaves does so before the frame, as the leave key of a game
  // on one machine does (the last seat that plays stays: World::leave says no).
  for (int seat = 1; seat <= kMaxSeats; ++seat)
    if (inputs[seat].leave) world_.leave(seat);
  world_.step(inputs);
  for (const SoundRequest &s : sounds_.stepped(frame, world_.sounds, toStop_)) toStart_.emplace_back(frame, s);
}

std::vector<std::pair<int, SoundRequest>> WorldRollbackGame::takeSoundsToStart() {
  std::vector<std::pair<int, SoundRequest>> out;
  out.swap(toStart_);
  return out;
}

std::vector<uint32_t> WorldRollbackGame::takeChannelsToStop() {
  std::vector<uint32_t> out;
  out.swap(toStop_);
  return out;
}
