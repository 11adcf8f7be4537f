// Frame timing from the high-resolution counter: sleep for the bulk of the
// wait, then spin to the deadline. The spin is as long as the scheduler has
// lately needed to wake a sleeper (but for rare late wake-ups), and a margin:
// short on a quiet machine, longer while wake-ups come late. A loop that is
// late may catch up by skipping pictures (behind()); one that falls more than
// a few frames behind starts counting again from now instead of rushing to
// catch up.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class FramePacer {
 public:
  explicit FramePacer(int fps);
  // Waits until the next frame is due.
  void wait();
  // Starts the clock (the next frame is due one period from now).
  void start();
  // True when the next frame is already due: the loop is late.
  bool behind() const;
  int resyncs() const { return resyncs_; }
  // The time spent awake before each deadline now, in microseconds.
  uint64_t spinMicroseconds() const { return spin_ * 1000000 / frequency_; }
  // A sleep meant to end at the start of the spin woke `late` counter ticks after it.
  void noteWakeUp(uint64_t late);

 private:
  uint64_t period_;      // counter ticks per frame
  uint64_t deadline_ = 0;
  uint64_t frequency_;
  // How late the latest sleeps woke, a ring.
  static constexpr int kWakeUps = 128;
  std::array<uint64_t, kWakeUps> wakeUps_{};
  int nextWakeUp_ = 0;
  int wakeUpsSeen_ = 0;
  uint64_t spin_ = 0;      // ticks spent awake before the deadline
  int resyncs_ = 0;
};

// Intervals between frame starts, for the statistics printed at exit.
class FrameStats {
 public:
  explicit FrameStats(int fps) : expectedMs_(fps > 0 ? 1000.0 / fps : 0) {}
  // Called at the start of each frame. The first interval (renderer start-up) is not counted.
  void frameStarted();
  // One interval between frame starts (frameStarted measures them).
  void addInterval(double ms) { intervalsMs_.push_back(ms); }
  size_t count() const { return intervalsMs_.size(); }
  // A frame whose picture was not drawn, so the game could keep its time.
  void pictureSkipped() { ++picturesSkipped_; }
  int picturesSkipped() const { return picturesSkipped_; }
  // The game entered scene `name` at this frame: the summary gives the
  // longest interval of the frames from here to kSceneChangeFrames later.
  static constexpr size_t kSceneChangeFrames = 50;
  void sceneChanged(const std::string& name);
  // "frame statistics: N intervals, mean X ms, median X ms, 99th percentile X ms,
  // N later than 2 ms, longest X ms, N over 12 ms[, cpu X% of one core in play][,
  // N pictures skipped to keep time][, scene changes: NAME X ms, ...]"
  // The processor time counts from the first counted interval on, as the bare
  // loop of the benchmarks counts its own: start-up is not play.
  std::string summary() const;

 private:
  std::string intervalSummary() const;

  double expectedMs_;
  uint64_t last_ = 0;
  int started_ = 0;
  std::vector<double> intervalsMs_;
  uint64_t playStarted_ = 0;     // the counter when the first counted interval began
  double playStartedCpu_ = 0;    // the process's processor seconds then
  int picturesSkipped_ = 0;
  std::vector<std::pair<std::string, size_t>> sceneChanges_;  // name, first interval after it
};
