#include "engine/FramePacer.h"

#include <SDL_timer.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <thread>

namespace {
constexpr uint64_t kMaxBehindFrames = 5;
// The last part of a frame's wait spent awake.
constexpr uint64_t kSpinMicroseconds = 400;
}

FramePacer::FramePacer(int fps) : frequency_(SDL_GetPerformanceFrequency()) {
  period_ = frequency_ / static_cast<uint64_t>(fps > 0 ? fps : 100);
}

void FramePacer::start() { deadline_ = SDL_GetPerformanceCounter() + period_; }

bool FramePacer::behind() const { return deadline_ != 0 && SDL_GetPerformanceCounter() > deadline_; }

void FramePacer::wait() {
  uint64_t now = SDL_GetPerformanceCounter();
  if (now > deadline_ + kMaxBehindFrames * period_) {
    // Too far behind: do not run a burst of frames to catch up.
    deadline_ = now + period_;
    ++resyncs_;
    return;
  }
  // Sleep until a little before the deadline, then wait out the rest awake:
  // the scheduler may wake a sleeper late, never a spinning loop. The spin is
  // kept to a fraction of a millisecond so waiting costs the cores little.
  const uint64_t spin = frequency_ * kSpinMicroseconds / 1000000;
  while (now + spin < deadline_) {
    const uint64_t sleepUs = (deadline_ - now - spin) * 1000000 / frequency_;
    std::this_thread::sleep_for(std::chrono::microseconds(sleepUs));
    now = SDL_GetPerformanceCounter();
  }
  while (now < deadline_) now = SDL_GetPerformanceCounter();
  deadline_ += period_;
}

void FrameStats::frameStarted() {
  uint64_t now = SDL_GetPerformanceCounter();
  if (started_ >= 2) intervalsMs_.push_back(static_cast<double>(now - last_) * 1000.0 / SDL_GetPerformanceFrequency());
  ++started_;
  last_ = now;
}

std::string FrameStats::summary() const {
  std::string text = intervalSummary();
  if (picturesSkipped_ > 0) text += ", " + std::to_string(picturesSkipped_) + " pictures skipped to keep time";
  return text;
}

std::string FrameStats::intervalSummary() const {
  if (intervalsMs_.empty()) return "frame statistics: not enough frames";
  std::vector<double> sorted = intervalsMs_;
  std::sort(sorted.begin(), sorted.end());
  double mean = std::accumulate(sorted.begin(), sorted.end(), 0.0) / sorted.size();
  double median = sorted.size() % 2 ? sorted[sorted.size() / 2]
                                    : (sorted[sorted.size() / 2 - 1] + sorted[sorted.size() / 2]) / 2;
  size_t p99index = std::min(sorted.size() - 1, static_cast<size_t>(sorted.size() * 0.99));
  int late = 0;
  for (double d : intervalsMs_)
    if (d > expectedMs_ + 2.0) ++late;
  char text[240];
  std::snprintf(text, sizeof text,
                "frame statistics: %zu intervals, mean %.3f ms, median %.3f ms, 99th percentile %.3f ms, "
                "%d later than 2 ms, longest %.3f ms",
                sorted.size(), mean, median, sorted[p99index], late, sorted.back());
  return text;
}
