// Objects per frame: move plus step of 10,000 objects running looping scripts
// (target under 1 ms a frame), and drawing 1,000 fighters with their shadows
// through the headless engine (target under 0.5 ms a frame). Allocations made
// inside the timed loops are counted by a replaced global operator new and
// reported as allocs/frame (expected 0).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "RenderedWorld.h"

namespace {
std::atomic<long> gAllocations{0};
}

// GCC takes free() in a replaced operator delete for a mismatch with new.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

using namespace objtest;

namespace {

// A walking, punching loop: frames, motion, boxes, an armed hit, back to the start.
Action loopingAction() {
  return act({frame(0, 3, 2, 0), op(1, {1, 0, 0.5, 0, 1, 0, 0, 0, 0, 1, 1, 1, 0}), op(2, {0, -30, 30, 60, 20}),
              frame(1, 2), op(3, {20, -30, 30, 20, 20, 5}), op(4, {0, 1, -2, -1, 3, 2, 1, 4}),
              op(1, {-1, 0, -0.5, 0, 1, 0, 0, 0, 0, 1, 1, 1, 0}), frame(0, 1), op(8, {0, 0})});
}

void BM_MoveAndStep10000Objects(benchmark::State& state) {
  ObjectWorld w;
  w.addPictureSet("s", {{64, 64}, {48, 64}});
  w.writeChara("walker", chara(100, 0, std::vector<Action>(2, loopingAction())));
  World& s = w.scene();
  for (int i = 0; i < 10000; ++i) s.createObj("walker", 0, 0, i % 2, 0, i % 800, 0, 200 + i % 200);
  for (int i = 0; i < 7; ++i)  // spread the objects over their scripts
    for (size_t k = 0; k < s.objects.size(); k += 1 + i) s.objects[k]->move(), s.objects[k]->step();
  const long before = gAllocations.load();
  for (auto _ : state) {
    for (Obj* o : s.objects) {
      o->move();
      o->step();
    }
    benchmark::ClobberMemory();
  }
  state.counters["allocs/frame"] =
      benchmark::Counter(double(gAllocations.load() - before) / double(state.iterations()));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(s.objects.size()));
}
BENCHMARK(BM_MoveAndStep10000Objects)->Unit(benchmark::kMillisecond);

// The drawing calls for 1,000 fighters and their shadows; the quads are
// counted, or with `drawn` also drawn in software into the engine's picture.
void render1000Fighters(benchmark::State& state, bool drawn) {
  RenderedWorld w;
  w.addPictureSet("s", {{64, 96}, {80, 96}});
  w.writeChara("fighter", chara(100, 0, std::vector<Action>(5, loopingAction())));
  World& s = w.scene();
  for (int i = 0; i < 1000; ++i) s.createChara("fighter", 1, i % 800, 250 + i % 200);
  for (Obj* o : s.objects) o->move(), o->step();
  HGE* engine = w.engine();
  engine->System_SetState(HGE_DRAWALWAYS, drawn);
  const uint64_t quadsBefore = engine->Gfx_GetQuadCount();
  const long before = gAllocations.load();
  for (auto _ : state) {
    engine->Gfx_BeginScene();
    for (Obj* o : s.objects) w.renderer().drawObject(*o);
    engine->Gfx_EndScene();
  }
  state.counters["allocs/frame"] =
      benchmark::Counter(double(gAllocations.load() - before) / double(state.iterations()));
  state.counters["quads/frame"] =
      benchmark::Counter(double(engine->Gfx_GetQuadCount() - quadsBefore) / double(state.iterations()));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(s.objects.size()));
}
void BM_Render1000FightersWithShadows(benchmark::State& state) { render1000Fighters(state, false); }
void BM_Render1000FightersWithShadows_DrawnInSoftware(benchmark::State& state) { render1000Fighters(state, true); }
BENCHMARK(BM_Render1000FightersWithShadows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render1000FightersWithShadows_DrawnInSoftware)->Unit(benchmark::kMillisecond);

}  // namespace
