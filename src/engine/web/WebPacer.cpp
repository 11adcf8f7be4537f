#include "engine/web/WebPacer.h"

#include <algorithm>
#include <cstdio>

WebPacer::WebPacer(int fps) : periodMs_(1000.0 / (fps > 0 ? fps : 100)) {}

void WebPacer::start(double nowMs) {
  started_ = true;
  nextDueMs_ = nowMs + periodMs_;
}

int WebPacer::stepsDue(double nowMs) {
  ++callbacks_;
  if (!started_) {
    ++steps_;
    return 1;
  }
  if (nowMs < nextDueMs_) return 0;
  int due = static_cast<int>((nowMs - nextDueMs_) / periodMs_) + 1;
  if (due > kMaxStepsPerCallback) {
    // A stall: run a callback's worth and forget the rest of the missed time.
    ++stalls_;
    due = kMaxStepsPerCallback;
    nextDueMs_ = nowMs - (due - 1) * periodMs_;
  }
  for (int i = 0; i < due; ++i) {
    const double late = nowMs - (nextDueMs_ + i * periodMs_);
    worstLateMs_ = std::max(worstLateMs_, late);
    if (late > 2 * periodMs_) ++lateSteps_;
  }
  nextDueMs_ += due * periodMs_;
  steps_ += due;
  return due;
}

std::string WebPacer::summary() const {
  char text[200];
  std::snprintf(text, sizeof text,
                ", browser pacing: %d callbacks, %d steps, %d later than %.0f ms, latest %.1f ms, %d stalls",
                callbacks_, steps_, lateSteps_, 2 * periodMs_, worstLateMs_, stalls_);
  return text;
}
