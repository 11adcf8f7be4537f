// How the world's own step grows with what is in it (World::update alone, no
// engine, nothing drawn): many objects penned by walls, many armed fighters
// whose attacks meet every object, and thousands of short effects that finish
// and are replaced every frame. Each figure is one frame of the world; it
// should grow in step with the number of objects, not with its square.
#include <benchmark/benchmark.h>

#include "ObjectWorld.h"

using namespace objtest;

namespace {

Instruction velocity(double vx, double vz) { return op(1, {vx, 0, vz, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0}); }

// Paces right and back, with a body box; when `armed`, an attack box in front
// and an armed hit that throws a short spark (action 2 of the same file).
CharaData pacer(bool armed) {
  std::vector<Action> actions;
  if (armed) {
    actions.push_back(act({op(2, {0, -30, 30, 60, 20}), op(3, {30, -30, 40, 20, 20, 1}),
                           op(4, {0, 0, 0, 0, 0, 0, 0, 2}), velocity(3, 1), frame(0, 10), velocity(-3, -1),
                           op(4, {0, 0, 0, 0, 0, 0, 0, 2}), frame(0, 10), op(8, {0, 2})}));
  } else {
    actions.push_back(act({op(2, {0, -30, 30, 60, 20}), velocity(3, 1), frame(0, 10), velocity(-3, -1),
                           frame(0, 10), op(8, {0, 1})}));
  }
  actions.push_back(act({frame(0, 1)}));
  actions.push_back(act({frame(1, 3)}));  // the spark
  return chara(1000000, 0, actions, {0, 0, 0});
}

// Spaces n objects over a 4,000 x 500 floor, 50 to a row.
void placeGrid(int n, const std::function<void(int, double, double)>& place) {
  for (int i = 0; i < n; ++i) place(i, 100 + (i % 50) * 80, 20 + (i / 50) * 25);
}

void settle(World& world, int frames) {
  for (int i = 0; i < frames; ++i) world.update();
}

// n objects pacing inside pens: two walls each, a few units either side.
void BM_WorldUpdate_PennedByWalls(benchmark::State& state) {
  ObjectWorld w;
  w.addPictureSet("s", {{64, 64}, {16, 16}});
  w.writeChara("pacer", pacer(false));
  World& world = w.scene();
  placeGrid(static_cast<int>(state.range(0)), [&](int, double x, double z) {
    world.createObj("pacer", 0, 0, 0, 0, x, 0, z);
    world.walls.push_back(Box{x - 30, 0, z, 10, 0, 20});
    world.walls.push_back(Box{x + 30, 0, z, 10, 0, 20});
  });
  settle(world, 30);
  for (auto _ : state) world.update();
  state.counters["objects"] = static_cast<double>(world.objects.size());
  state.counters["walls"] = static_cast<double>(world.walls.size());
}
BENCHMARK(BM_WorldUpdate_PennedByWalls)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// n fighters of two teams, every one with an armed attack each frame; the
// attacks land now and then and throw sparks.
void BM_WorldUpdate_ArmedFighters(benchmark::State& state) {
  ObjectWorld w;
  w.addPictureSet("s", {{64, 64}, {16, 16}});
  w.writeChara("fighter", pacer(true));
  World& world = w.scene();
  placeGrid(static_cast<int>(state.range(0)),
            [&](int i, double x, double z) { world.createChara("fighter", i % 2, static_cast<int32_t>(x), static_cast<int32_t>(z)); });
  settle(world, 30);
  for (auto _ : state) world.update();
  state.counters["objects"] = static_cast<double>(world.objects.size());
}
BENCHMARK(BM_WorldUpdate_ArmedFighters)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// n effects living 1 to 50 frames, each finished one replaced at once: about
// n/25 leave the middle of the list and as many arrive every frame.
void BM_WorldUpdate_EffectChurn(benchmark::State& state) {
  ObjectWorld w;
  w.addPictureSet("s", {{64, 64}});
  std::vector<Action> lives;
  for (int life = 1; life <= 50; ++life)
    lives.push_back(act({op(2, {0, -10, 10, 10, 10}), velocity(1, 0), frame(0, life)}));
  w.writeChara("effect", chara(1, 0, lives));
  World& world = w.scene();
  const size_t n = static_cast<size_t>(state.range(0));
  uint32_t next = 0;
  auto topUp = [&] {
    while (world.objects.size() < n) {
      ++next;
      world.createObj("effect", static_cast<int32_t>(next * 7 % 50), 0, 0, 0, 100 + next * 37 % 3800, -20,
                      next * 13 % 480);
    }
  };
  for (int i = 0; i < 60; ++i) {
    topUp();
    world.update();
  }
  for (auto _ : state) {
    topUp();
    world.update();
  }
  state.counters["objects"] = static_cast<double>(world.objects.size());
}
BENCHMARK(BM_WorldUpdate_EffectChurn)->Arg(1000)->Arg(4000)->Arg(20000)->Unit(benchmark::kMicrosecond);

}  // namespace
