#include "app/SyncTest.h"

#include <utility>

#include "base/CheckedFile.h"
#include "world/World.h"
#include "world/WorldDescription.h"

SyncTest::SyncTest(int frames, Random& chance, std::string folder)
    : frames_(frames), chance_(chance), folder_(std::move(folder)) {}

void SyncTest::beforeStep(const World& world) { world.saveState(chance_.state(), before_); }

bool SyncTest::afterStep(World& world, const SeatInputs& input) {
  ++step_;
  Past past;
  past.before.swap(before_);
  past.input = input;
  past_.push_back(std::move(past));
  if (past_.size() > static_cast<size_t>(frames_)) {
    before_.swap(past_.front().before);  // its buffer is used again
    past_.pop_front();
  }
  if (past_.size() < static_cast<size_t>(frames_)) return true;

  world.saveState(chance_.state(), first_);
  Expected<uint64_t> back = world.restoreState(past_.front().before, "the sync test's state");
  if (!back) {
    failure_ = "sync test failed at frame " + std::to_string(step_) + ": " + back.error().message();
    return false;
  }
  chance_.setState(*back);
  for (const Past& p : past_) world.step(p.input);
  world.saveState(chance_.state(), again_);
  ++checked_;
  if (again_ == first_) return true;
  fail(world, first_, again_);
  return false;
}

void SyncTest::fail(World& world, const std::vector<uint8_t>& first, const std::vector<uint8_t>& again) {
  // Each state described from a world it is put back into.
  std::string texts[2];
  const std::vector<uint8_t>* states[2] = {&first, &again};
  for (int i = 0; i < 2; ++i) {
    Expected<uint64_t> r = world.restoreState(*states[i], "the sync test's state");
    texts[i] = r ? describeWorld(world, *r) : r.error().message() + "\n";
  }
  const std::string field = firstDifference(texts[0], texts[1]);
  const std::string base = folder_ + "/sync-test-" + std::to_string(step_);
  std::string written;
  for (int i = 0; i < 2; ++i) {
    const std::string path = base + (i == 0 ? "-stepped.txt" : "-stepped-again.txt");
    std::string why;
    if (writeCheckedFile(path, std::vector<uint8_t>(texts[i].begin(), texts[i].end()), why))
      written += (written.empty() ? "" : " and ") + path;
  }
  failure_ = "sync test failed at frame " + std::to_string(step_) + ": " + (field.empty() ? "the state" : field) +
             " (stepped once and again " + std::to_string(frames_) + " frames back" +
             (written.empty() ? "" : "; both states in " + written) + ")";
}
