// The browser's pacing: whatever the page's refresh rate, the game runs 100
// steps a second, a callback runs the steps that came due, and a stall drops
// its missed time instead of running it in a burst.
#include <gtest/gtest.h>

#include <vector>

#include "engine/web/WebPacer.h"

namespace {

// Steps run by callbacks at `times` (ms), the first step at `times[0]`.
std::vector<int> stepsAt(WebPacer& pacer, const std::vector<double>& times) {
  std::vector<int> steps;
  for (double t : times) {
    steps.push_back(pacer.stepsDue(t));
    if (!pacer.started()) pacer.start(t);
  }
  return steps;
}

std::vector<double> every(double periodMs, int count, double from = 0) {
  std::vector<double> times;
  for (int i = 0; i < count; ++i) times.push_back(from + i * periodMs);
  return times;
}

int sum(const std::vector<int>& v) {
  int total = 0;
  for (int x : v) total += x;
  return total;
}

TEST(WebPacer, KeepsOneHundredStepsASecondAtAnyRefreshRate) {
  struct Case {
    const char* what;
    double refreshMs;
    int callbacks;
    int expectedSteps;  // the first step, then one per 10 ms after it
    bool late;          // refreshes slower than two steps make steps wait past 20 ms
  };
  const Case cases[] = {
      {"60 Hz", 1000.0 / 60, 601, 1 + 1000, false},  // 10 s after the first callback
      {"144 Hz", 1000.0 / 144, 1441, 1 + 1000, false},
      {"100 Hz", 10.0, 1001, 1 + 1000, false},
      {"30 Hz", 1000.0 / 30, 301, 1 + 1000, true},
  };
  for (const Case& c : cases) {
    WebPacer pacer(100);
    const std::vector<int> steps = stepsAt(pacer, every(c.refreshMs, c.callbacks));
    // Rounding at the last callback may leave the final step not yet due.
    EXPECT_NEAR(sum(steps), c.expectedSteps, 1) << c.what;
    EXPECT_EQ(pacer.stalls(), 0) << c.what;
    EXPECT_EQ(pacer.lateSteps() > 0, c.late) << c.what;
  }
}

TEST(WebPacer, SixtyHertzAlternatesOneAndTwoSteps) {
  WebPacer pacer(100);
  std::vector<int> steps = stepsAt(pacer, every(1000.0 / 60, 61));
  steps.erase(steps.begin());  // the first step, alone
  int ones = 0, twos = 0;
  for (int s : steps) {
    EXPECT_TRUE(s == 1 || s == 2) << s;
    ones += s == 1;
    twos += s == 2;
  }
  EXPECT_EQ(ones + 2 * twos, 100);
}

TEST(WebPacer, NothingIsDueBeforeItsTime) {
  WebPacer pacer(100);
  EXPECT_EQ(pacer.stepsDue(0), 1);  // the first step at once
  pacer.start(50);                  // it took 50 ms (the renderer starting)
  EXPECT_EQ(pacer.stepsDue(55), 0);
  EXPECT_EQ(pacer.stepsDue(59.9), 0);
  EXPECT_EQ(pacer.stepsDue(60), 1);
  EXPECT_EQ(pacer.stepsDue(85), 2);  // 70 and 80
  EXPECT_EQ(pacer.steps(), 4);
}

TEST(WebPacer, AStallDropsTheMissedTime) {
  WebPacer pacer(100);
  pacer.stepsDue(0);
  pacer.start(0);
  EXPECT_EQ(pacer.stepsDue(10), 1);
  // A hidden tab: two seconds without a callback.
  EXPECT_EQ(pacer.stepsDue(2010), WebPacer::kMaxStepsPerCallback);
  EXPECT_EQ(pacer.stalls(), 1);
  // Then the game goes on from now, not two seconds in the past.
  EXPECT_EQ(pacer.stepsDue(2015), 0);
  EXPECT_EQ(pacer.stepsDue(2020), 1);
  EXPECT_GE(pacer.lateSteps(), 1);
  EXPECT_GE(pacer.worstLateMs(), 40);
}

TEST(WebPacer, CountsStepsRunLaterThanTwoPeriods) {
  WebPacer pacer(100);
  pacer.stepsDue(0);
  pacer.start(0);
  EXPECT_EQ(pacer.stepsDue(10), 1);  // on time
  EXPECT_EQ(pacer.stepsDue(45), 3);  // 20, 30, 40: the first 25 ms late
  EXPECT_EQ(pacer.lateSteps(), 1);
  EXPECT_DOUBLE_EQ(pacer.worstLateMs(), 25);
  EXPECT_NE(pacer.summary().find("1 later than 20 ms"), std::string::npos) << pacer.summary();
}

}  // namespace
