#include "app/Rewind.h"

#include "world/World.h"

Rewind::Rewind(Random& chance, int frames) : chance_(chance), ring_(static_cast<size_t>(frames > 1 ? frames : 2)) {}

void Rewind::push(const World& world) {
  std::vector<uint8_t>& slot = ring_[static_cast<size_t>(next_)];
  // Each slot is given twice the room of the largest state so far, so a
  // world that grows does not make every slot grow again in turn as the ring
  // comes round (an allocation a frame for ten seconds) but once or twice a
  // game: a state of the busiest four-seat frame is about 10 KB.
  if (slot.capacity() < room_) slot.reserve(room_);
  world.saveState(chance_.state(), slot);
  if (slot.size() + slot.size() / 8 > room_) room_ = slot.size() * 2;
  next_ = (next_ + 1) % static_cast<int>(ring_.size());
  if (count_ < static_cast<int>(ring_.size())) ++count_;
}

bool Rewind::worldStarted(World& world) {
  count_ = 0;
  push(world);
  return true;
}

bool Rewind::afterStep(World& world, const SeatInputs&) {
  push(world);
  return true;
}

bool Rewind::stepBack(World& world) {
  if (count_ < 2) return false;
  // The newest state is the present; the one before it is a step back.
  const int size = static_cast<int>(ring_.size());
  const int present = (next_ - 1 + size) % size;
  const int previous = (present - 1 + size) % size;
  Expected<uint64_t> random = world.restoreState(ring_[static_cast<size_t>(previous)], "the rewind ring");
  if (!random) return false;
  chance_.setState(*random);
  next_ = present;
  --count_;
  return true;
}

size_t Rewind::memory() const {
  size_t bytes = ring_.capacity() * sizeof(std::vector<uint8_t>);
  for (const auto& state : ring_) bytes += state.capacity();
  return bytes;
}
