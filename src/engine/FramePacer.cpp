#include "engine/FramePacer.h"

#include <SDL_timer.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <thread>

namespace {
constexpr uint64_t kMaxBehindFrames = 5;
// The spin before a deadline: how late all but the latest few in a hundred
// recent wake-ups came, a quarter more, and this margin, within these bounds
// (the first frames spin the most).
constexpr uint64_t kSpinMarginMicroseconds = 60;
constexpr uint64_t kMinSpinMicroseconds = 100;
constexpr uint64_t kStartSpinMicroseconds = 400;
constexpr uint64_t kMaxSpinMicroseconds = 2000;

// The processor seconds this process has used, user and system.
double processorSeconds() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
}

FramePacer::FramePacer(int fps) : frequency_(SDL_GetPerformanceFrequency()) {
  period_ = frequency_ / static_cast<uint64_t>(fps > 0 ? fps : 100);
  spin_ = frequency_ * kStartSpinMicroseconds / 1000000;
}

void FramePacer::noteWakeUp(uint64_t late) {
  wakeUps_[nextWakeUp_] = late;
  nextWakeUp_ = (nextWakeUp_ + 1) % kWakeUps;
  if (wakeUpsSeen_ < kWakeUps) ++wakeUpsSeen_;
  // A rare late wake-up (the machine busy for a moment) makes one frame start
  // a little late; spinning for it would cost every frame after it. Wake-ups
  // that come late again and again are covered within a few frames.
  std::array<uint64_t, kWakeUps> sorted = wakeUps_;
  const auto covered = sorted.begin() + (wakeUpsSeen_ * 97 / 100);
  std::nth_element(sorted.begin(), covered, sorted.begin() + wakeUpsSeen_);
  const uint64_t us = frequency_ / 1000000 ? frequency_ / 1000000 : 1;
  spin_ = std::clamp(*covered + *covered / 4 + kSpinMarginMicroseconds * us, kMinSpinMicroseconds * us,
                     kMaxSpinMicroseconds * us);
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
  // kept to what wake-ups have lately needed, so waiting costs the cores little.
  bool slept = false;
  uint64_t latest = 0;
  while (now + spin_ < deadline_) {
    const uint64_t wake = deadline_ - spin_;
    const uint64_t sleepUs = (wake - now) * 1000000 / frequency_;
    std::this_thread::sleep_for(std::chrono::microseconds(sleepUs));
    now = SDL_GetPerformanceCounter();
    latest = std::max(latest, now > wake ? now - wake : 0);
    slept = true;
  }
  if (slept) noteWakeUp(latest);
  while (now < deadline_) now = SDL_GetPerformanceCounter();
  deadline_ += period_;
}

void FrameStats::frameStarted() {
  uint64_t now = SDL_GetPerformanceCounter();
  if (started_ >= 2) addInterval(static_cast<double>(now - last_) * 1000.0 / SDL_GetPerformanceFrequency());
  if (started_ == 1) {
    playStarted_ = now;
    playStartedCpu_ = processorSeconds();
  }
  ++started_;
  last_ = now;
}

void FrameStats::sceneChanged(const std::string& name) {
  // A bounded list: a game that changes scene without end keeps the first ones.
  if (sceneChanges_.size() < 1000) sceneChanges_.emplace_back(name, intervalsMs_.size());
}

std::string FrameStats::summary() const {
  std::string text = intervalSummary();
  if (picturesSkipped_ > 0) text += ", " + std::to_string(picturesSkipped_) + " pictures skipped to keep time";
  if (!sceneChanges_.empty()) {
    text += ", scene changes:";
    for (size_t i = 0; i < sceneChanges_.size(); ++i) {
      const auto& [name, from] = sceneChanges_[i];
      const size_t to = std::min(intervalsMs_.size(), from + kSceneChangeFrames);
      double longest = 0;
      for (size_t k = from; k < to; ++k) longest = std::max(longest, intervalsMs_[k]);
      char part[64];
      std::snprintf(part, sizeof part, " %.3f ms", longest);
      text += (i ? ", " : " ") + name + part;
    }
  }
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
  int late = 0, over12 = 0;
  for (double d : intervalsMs_) {
    if (d > expectedMs_ + 2.0) ++late;
    if (d > 12.0) ++over12;
  }
  const double playSeconds =
      playStarted_ > 0 ? static_cast<double>(SDL_GetPerformanceCounter() - playStarted_) / SDL_GetPerformanceFrequency() : 0;
  const double cpuNow = processorSeconds();
  char text[320];
  std::snprintf(text, sizeof text,
                "frame statistics: %zu intervals, mean %.3f ms, median %.3f ms, 99th percentile %.3f ms, "
                "%d later than 2 ms, longest %.3f ms, %d over 12 ms",
                sorted.size(), mean, median, sorted[p99index], late, sorted.back(), over12);
  std::string summary = text;
  // A platform that cannot tell the processor time (a browser) says nothing of it.
  if (playSeconds > 0 && cpuNow > 0) {
    std::snprintf(text, sizeof text, ", cpu %.1f%% of one core in play", 100.0 * (cpuNow - playStartedCpu_) / playSeconds);
    summary += text;
  }
  return summary;
}
