// The modder's rewind: the last ten seconds of steps kept as saved states in
// a ring of bounded memory. While the game is paused (F2), F6 steps one frame
// back and holding it rewinds frame by frame; F3 steps forward again with the
// keys of now, and what had followed is forgotten.
#pragma once

#include <vector>
#include <cstddef>

#include "app/StepWatch.h"
#include "base/Random.h"

class Rewind : public StepWatch {
 public:
  static constexpr int kFrames = 1000;  // ten seconds

  explicit Rewind(Random& chance, int frames = kFrames);

  bool worldStarted(World& world) override;
  bool afterStep(World& world, const SeatInputs& input) override;
  // Puts back the state one step before the present; false when none is kept.
  bool stepBack(World& world);
  // Steps that can be taken back now.
  int kept() const { return count_ > 0 ? count_ - 1 : 0; }
  // Bytes the ring holds (its buffers keep their size between uses).
  size_t memory() const;

 private:
  void push(const World& world);

  Random& chance_;
  std::vector<std::vector<uint8_t>> ring_;
  int next_ = 0, count_ = 0;
  size_t room_ = 8192;  // what each slot is given before a state is saved in it
};
