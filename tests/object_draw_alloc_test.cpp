// Drawing objects allocates nothing per frame: fighters with their shadows and
// tinted effects over many frames, counted through the sanitizer allocator's
// hook (the test is skipped in builds without it).
#include <gtest/gtest.h>

#include "RenderedWorld.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                         void (*free_hook)(const volatile void*));
#define TERVALEN_DRAW_ALLOCATIONS 1
namespace {
bool gCountingDraws = false;
long gDrawAllocations = 0;
void onDrawMalloc(const volatile void*, size_t) {
  if (gCountingDraws) ++gDrawAllocations;
}
void onDrawFree(const volatile void*) {}
}  // namespace
#endif

using namespace objtest;

TEST(ObjectDrawing, DrawingObjectsAllocatesNothing) {
#ifdef TERVALEN_DRAW_ALLOCATIONS
  static const bool installed = __sanitizer_install_malloc_and_free_hooks(onDrawMalloc, onDrawFree) != 0;
  ASSERT_TRUE(installed);
  RenderedWorld w;
  w.addPictureSet("s", {{32, 48}, {40, 40}});
  // Every instruction but spawning (which makes an object): frames, motion,
  // boxes, an armed hit, both jumps, a sound, a tint, opcode 8 back to the start.
  const Action busy = act({frame(0, 2, 3, -1), op(1, {0.5, 0, 0.25, 0, 1, 0, 0, 0, 0, 1, 1, 1, 1}),
                           op(2, {0, -20, 30, 40, 10}), op(3, {10, -20, 20, 20, 10, 5}),
                           op(4, {0, 1, -2, -1, 3, 2, 1, 4}), op(7, {0, 0, 1}), op(7, {1, 0, 2}), op(6, {0, 0}),
                           op(10, {200, 255, 255, 255}), frame(1, 3, -2, 0), op(9), op(8, {0, 0})});
  std::vector<Action> actions(6, busy);
  w.writeChara("busy", chara(100, 0, actions, {0, 1, 2}));
  World& s = w.scene();
  s.objects.reserve(64);
  for (int i = 0; i < 20; ++i) s.createChara("busy", i % 2, 10 * i, 300 + i);
  for (int i = 0; i < 20; ++i) s.createObj("busy", i % 6, 0, i % 2, 0, 5 * i, -i, 200 + i);
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

  std::string probe;
  gDrawAllocations = 0;
  gCountingDraws = true;
  probe.reserve(1000);  // the hook does see allocations
  gCountingDraws = false;
  ASSERT_GT(gDrawAllocations, 0);

  gDrawAllocations = 0;
  gCountingDraws = true;
  for (int i = 0; i < 200; ++i) frameOfPlay();
  gCountingDraws = false;
  EXPECT_EQ(gDrawAllocations, 0);
#else
  GTEST_SKIP() << "allocations are counted through the sanitizer allocator";
#endif
}
