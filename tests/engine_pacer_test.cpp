// The frame pacer's spin before each deadline follows how late the scheduler
// has lately woken it: short while wake-ups are prompt, long once several come
// late, and short again once they are prompt for a while.
#include <gtest/gtest.h>

#include <SDL_timer.h>

#include "engine/FramePacer.h"

TEST(FramePacing, TheSpinFollowsHowLateWakeUpsCome) {
  FramePacer pacer(100);
  const uint64_t us = SDL_GetPerformanceFrequency() / 1000000;
  ASSERT_GT(us, 0u);
  const uint64_t first = pacer.spinMicroseconds();
  struct Phase {
    uint64_t lateUs;
    int frames;
    uint64_t minSpinUs, maxSpinUs;
  } phases[] = {
      {20, 600, 100, 150},      // prompt: down to the floor
      {1000, 1, 100, 150},      // one late wake-up: a frame a little late, not every frame spinning
      {20, 60, 100, 150},       // prompt for a while
      {1000, 6, 1300, 1400},    // late again and again: covered
      {20, 5, 1300, 1400},      // not forgotten at once
      {20, 600, 100, 150},      // prompt again: back down
      {50000, 10, 2000, 2000},  // stalls are not spun for whole
  };
  for (const Phase& p : phases) {
    for (int i = 0; i < p.frames; ++i) pacer.noteWakeUp(p.lateUs * us);
    EXPECT_GE(pacer.spinMicroseconds(), p.minSpinUs) << "after " << p.frames << " wake-ups " << p.lateUs << " us late";
    EXPECT_LE(pacer.spinMicroseconds(), p.maxSpinUs) << "after " << p.frames << " wake-ups " << p.lateUs << " us late";
  }
  EXPECT_GT(first, 150u);  // before any wake-up was seen, it spins on the safe side
}

// The statistics count the frames over 12 ms and give, for each scene
// change, the longest of the frames that follow it.
TEST(FrameStatistics, CountSlowFramesAndTheLongestAroundEachSceneChange) {
  FrameStats stats(100);
  for (int i = 0; i < 100; ++i) stats.addInterval(10.0);
  stats.sceneChanged("harbor");
  stats.addInterval(10.0);
  stats.addInterval(31.5);  // loading the harbor
  for (int i = 0; i < 200; ++i) stats.addInterval(10.0);
  stats.addInterval(12.5);  // far from any scene change
  stats.sceneChanged("market");
  for (int i = 0; i < 10; ++i) stats.addInterval(10.25);
  const std::string text = stats.summary();
  EXPECT_NE(text.find("2 over 12 ms"), std::string::npos) << text;
  EXPECT_NE(text.find("scene changes: harbor 31.500 ms, market 10.250 ms"), std::string::npos) << text;
}
