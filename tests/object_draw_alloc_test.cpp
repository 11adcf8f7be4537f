// Drawing objects allocates nothing per frame: fighters with their shadows and
// tinted effects over many frames, counted through the sanitizer allocator's
// hook (the test is skipped in builds without it).
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "BusyObjects.h"
#include "RenderedWorld.h"

using namespace objtest;

TEST(ObjectDrawing, DrawingObjectsAllocatesNothing) {
  if (!AllocationCounter::available()) GTEST_SKIP() << AllocationCounter::kWhyNot;
  RenderedWorld w;
  addBusyObjects(w);
  World& s = w.scene();
  auto frameOfPlay = [&] {
    s.sounds.clear();
    for (Obj* o : s.objects) {
      o->move();
      o->step();
    }
    w.engine()->Gfx_BeginScene();
    for (Obj* o : s.objects) w.renderer().drawObject(*o);
    w.engine()->Gfx_EndScene();
  };
  for (int i = 0; i < 10; ++i) frameOfPlay();  // warm-up: the picture set loads, the first log use

  EXPECT_EQ(AllocationCounter::count([&] {
              for (int i = 0; i < 200; ++i) frameOfPlay();
            }),
            0);
}
