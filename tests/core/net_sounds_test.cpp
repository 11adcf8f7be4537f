// Sounds under rollback: a frame's sound starts once however often the frame
// is stepped; stepped again with another outcome, what it no longer asks for
// stops and what it newly asks for starts.
#include <gtest/gtest.h>

#include "net/RollbackSounds.h"

namespace {

SoundRequest sound(int set, int index) { return SoundRequest{set, index, 100}; }

TEST(RollbackSounds, EachFrameStartsItsSoundsOnceAndStopsThoseThatDidNotHappen) {
  RollbackSounds sounds;
  const SoundRequest swing = sound(3, 0), hit = sound(0, 2), block = sound(0, 5);
  struct Step {
    const char *what;
    int frame;
    std::vector<SoundRequest> asked;
    std::vector<SoundRequest> start;
    std::vector<uint32_t> stop;
  };
  const Step steps[] = {
      {"first step: both start, the blow's sound twice counts once", 10, {swing, hit, hit}, {swing, hit}, {}},
      {"the next frame is silent", 11, {}, {}, {}},
      {"frame 10 again, the same outcome", 10, {swing, hit}, {}, {}},
      {"frame 10 again: the blow did not land", 10, {swing}, {}, {102}},
      {"frame 10 again: it was blocked instead", 10, {swing, block}, {block}, {}},
  };
  uint32_t nextChannel = 101;
  for (const Step &s : steps) {
    SCOPED_TRACE(s.what);
    std::vector<uint32_t> stop;
    const std::vector<SoundRequest> start = sounds.stepped(s.frame, s.asked, stop);
    ASSERT_EQ(start.size(), s.start.size());
    for (size_t i = 0; i < start.size(); ++i) {
      EXPECT_EQ(start[i].pictureSet, s.start[i].pictureSet);
      EXPECT_EQ(start[i].index, s.start[i].index);
      sounds.started(s.frame, start[i], nextChannel++);
    }
    EXPECT_EQ(stop, s.stop);
  }
}

TEST(RollbackSounds, AFrameLongGoneIsANewFrame) {
  RollbackSounds sounds;
  std::vector<uint32_t> stop;
  ASSERT_EQ(sounds.stepped(5, {sound(1, 1)}, stop).size(), 1u);
  sounds.started(5, sound(1, 1), 7);
  // The slot of frame 5 is taken by a frame a whole window later: its sounds
  // are its own, and frame 5's channel is not stopped by it.
  const int later = 5 + RollbackSounds::kFramesKept;
  EXPECT_EQ(sounds.stepped(later, {sound(1, 1)}, stop).size(), 1u);
  EXPECT_TRUE(stop.empty());
}

}  // namespace
