// --sync-test N: after every step the world goes back N steps (restoring the
// state saved then) and steps forward again with the same keys; both ways
// must end in the same state, byte for byte. The first frame where they do
// not is reported with the first field that differs, and both states are
// written as text beside each other for a diff. Anything the world keeps
// outside its saved state, or any step that depends on something but its
// state and keys, shows up here before it shows up between two machines.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/StepWatch.h"
#include "base/Random.h"

class SyncTest : public StepWatch {
 public:
  static constexpr int kMostFrames = 600;  // six seconds back at most

  // `chance` is the world's generator (its state is part of each saved state);
  // the two texts of a failure go to `folder`.
  SyncTest(int frames, Random& chance, std::string folder);

  void beforeStep(const World& world) override;
  bool afterStep(World& world, const SeatInputs& input) override;

  // "sync test failed at frame F: FIELD (...)", or "" while it holds.
  const std::string& failure() const { return failure_; }
  int framesChecked() const { return checked_; }

 private:
  struct Past {
    std::vector<uint8_t> before;  // the state before the step
    SeatInputs input;
  };
  void fail(World& world, const std::vector<uint8_t>& first, const std::vector<uint8_t>& again);

  int frames_;
  Random& chance_;
  std::string folder_;
  std::deque<Past> past_;
  std::vector<uint8_t> before_, first_, again_;
  int step_ = 0, checked_ = 0;
  std::string failure_;
};
