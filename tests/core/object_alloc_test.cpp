// Running objects allocates nothing per frame: move and step of fighters and
// effects over many frames, counted through the sanitizer allocator's hook
// (the test is skipped in builds without it).
#include <gtest/gtest.h>

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
