// Running objects allocates nothing per frame: move and step of fighters and
// effects over many frames, counted through the sanitizer allocator's hook
// (the test is skipped in builds without it).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "AllocationCounter.h"
#include "BusyObjects.h"
#include "ObjectWorld.h"

using namespace objtest;

TEST(ObjectFrames, MovingAndSteppingAllocateNothing) {
  if (!AllocationCounter::available()) GTEST_SKIP() << AllocationCounter::kWhyNot;
  ObjectWorld w;
  addBusyObjects(w);
  World& s = w.scene();
  auto frameOfPlay = [&] {
    s.sounds.clear();  // as every update does
    for (Obj* o : s.objects) {
      o->move();
      o->step();
    }
  };
  for (int i = 0; i < 10; ++i) frameOfPlay();  // warm-up: first log use

  EXPECT_EQ(AllocationCounter::count([&] {
              for (int i = 0; i < 200; ++i) frameOfPlay();
            }),
            0);
}

// The modder's rewind ring saves the world every frame into buffers it keeps:
// once a buffer has its room, saving the same world again allocates nothing.
TEST(ObjectFrames, SavingTheWorldAgainAllocatesNothing) {
  if (!AllocationCounter::available()) GTEST_SKIP() << AllocationCounter::kWhyNot;
  ObjectWorld w;
  addBusyObjects(w);
  std::vector<uint8_t> state;
  w.scene().saveState(1, state);
  ASSERT_GT(state.size(), 100u);
  EXPECT_EQ(AllocationCounter::count([&] {
              for (int i = 0; i < 50; ++i) w.scene().saveState(1, state);
            }),
            0);
}
