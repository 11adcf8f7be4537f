// One frame of the world (update and render) through the headless engine:
// a scene with 10 enemies, and one with 200 enemies and 1,000 effect objects.
// Enemies stand in pens of walls so the work per frame stays the same, and
// every effect carries a body box, so the hit test meets them all.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "base/DataPath.h"
#include "engine/hge.h"
#include "format/CharaData.h"
#include "object/Chara.h"
#include "format/SceneFile.h"
#include "world/Hud.h"
#include "render/WorldRenderer.h"
#include "world/World.h"

namespace {

Instruction code(int32_t opcode, std::initializer_list<double> args) { return Instruction{opcode, std::vector<double>(args)}; }
Action action(std::initializer_list<Instruction> codes) { return Action{"a", std::vector<Instruction>(codes)}; }

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A temporary game folder with a fighter, a striking player, effects and a scene.
class BenchWorld {
 public:
  BenchWorld(int enemies, int effects, bool pens = true) {
    char pattern[] = "/tmp/tervalen-worldbench-XXXXXX";
    dir_ = mkdtemp(pattern);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    std::filesystem::create_directories("data/chara");
    std::filesystem::create_directories("data/scene");

    CharaData fighter;
    fighter.name = "guai01";
    fighter.maxHp = 1000000;
    fighter.reactions = {0, 0, 0};
    for (int i = 0; i < 20; ++i) {
      fighter.actions.push_back(action({code(2, {0, -50, 40, 100, 20}), code(0, {0, 0, 0, 0})}));
    }
    writeFile(charaFilePath("guai01"), writeCharaFile(fighter));
    // The player punches every 20 ticks with a box that reaches a few enemies.
    CharaData hero = fighter;
    hero.name = "hero";
    hero.actions[0] = action({code(2, {0, -50, 40, 100, 20}), code(3, {60, -50, 100, 100, 60, 1}),
                              code(4, {0, 0, 0, 0, 0, 0, 1, 2}), code(0, {0, 20, 0, 0}), code(8, {0, 0})});
    writeFile(charaFilePath("c_morivane"), writeCharaFile(hero));
    CharaData system = fighter;
    system.name = "system";
    system.actions[2] = action({code(0, {0, 3, 0, 0})});  // a short spark
    // Effects: a body box and a picture that changes every other tick, forever.
    system.actions[3] = action({code(2, {0, -10, 10, 10, 10}), code(0, {0, 2, 0, 0}), code(0, {1, 2, 0, 0}),
                                code(8, {3, 1})});
    writeFile(charaFilePath("system"), writeCharaFile(system));

    ResourceCatalog catalog;
    catalog.entries.push_back(ResourceEntry{"set", {}, {}});
    writeFile("data/res.dat", writeResourceCatalog(catalog));
    writeFile("data/system.dat", {0, 0, 0, 0});

    SceneFile scene;
    scene.name = "bench";
    scene.width = 4000;
    scene.depth = 500;
    for (int i = 0; i < enemies; ++i) {
      const int32_t x = 200 + (i % 20) * 180, z = 60 + (i / 20) * 40;
      scene.charas.push_back({"guai01", x, z, 0});
    }
    writeFile(sceneFilePath("Test"), writeSceneFile(scene));

    engine_ = hgeCreate(HGE_VERSION);
    engine_->System_SetState(HGE_HEADLESS, true);
    engine_->System_SetState(HGE_USESOUND, false);
    engine_->System_SetState(HGE_LOGFILE, "log.txt");
    engine_->System_Initiate();
    engine_->Random_Seed(1);
    WorldServices services;
    HGE* engine = engine_;
    services.log = [engine](const std::string& line) { engine->System_Log("%s", line.c_str()); };
    services.random = [engine](int lo, int hi) { return engine->Random_Int(lo, hi); };
    scene_ = std::make_unique<World>(GameRules{}, std::move(services));
    if (!scene_->ready()) {
      std::fprintf(stderr, "world bench: %s\n", scene_->startError.c_str());
      std::abort();
    }
    // Pens: each enemy walks only within a few units of where it stands.
    for (size_t i = 1; pens && i < scene_->charas.size(); ++i) {
      const Chara* e = scene_->charas[i];
      scene_->walls.push_back(Box{e->x - 40, 0, e->z, 10, 0, 40});
      scene_->walls.push_back(Box{e->x + 40, 0, e->z, 10, 0, 40});
    }
    for (int i = 0; i < effects; ++i) {
      scene_->createObj("system", 3, 0, 0, 0, 100 + (i * 37) % 3800, -20, (i * 13) % 480);
    }
    scene_->charas[0]->x = 180;
    scene_->charas[0]->z = 60;
    renderer_ = std::make_unique<WorldRenderer>(engine_, scene_->catalog);
  }
  ~BenchWorld() {
    renderer_.reset();
    scene_.reset();
    engine_->System_Shutdown();
    engine_->Release();
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  World& scene() { return *scene_; }
  // One frame of play and its picture.
  void frame() {
    scene_->step(FrameInput{});
    engine_->Gfx_BeginScene(0);
    renderer_->draw(*scene_);
    engine_->Gfx_EndScene();
  }

 private:
  std::string dir_;
  std::filesystem::path previous_;
  HGE* engine_ = nullptr;
  std::unique_ptr<World> scene_;
  std::unique_ptr<WorldRenderer> renderer_;
};

void BM_WorldFrame(benchmark::State& state) {
  BenchWorld world(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), state.range(2) != 0);
  World& scene = world.scene();
  for (int i = 0; i < 100; ++i) {  // settle: sparks come and go, enemies pick modes
    world.frame();
  }
  for (auto _ : state) {
    world.frame();
    scene.hud.power = 30;  // keep the gauge moving so the hit path stays live
  }
  state.counters["objects"] = static_cast<double>(scene.objects.size());
}
// Arguments: enemies, effects, pens (two walls per enemy; without them the
// enemies wander and the scene's walls are only its four borders).
BENCHMARK(BM_WorldFrame)
    ->Args({10, 0, 1})
    ->Args({50, 250, 1})
    ->Args({100, 500, 1})
    ->Args({200, 1000, 1})
    ->Args({200, 1000, 0})
    ->Unit(benchmark::kMicrosecond);

// The world's step alone, nothing drawn: what the game costs at 100 steps a
// second when pictures are skipped.
void BM_WorldStep(benchmark::State& state) {
  BenchWorld world(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), true);
  World& scene = world.scene();
  for (int i = 0; i < 100; ++i) scene.step(FrameInput{});
  for (auto _ : state) {
    scene.step(FrameInput{});
    scene.hud.power = 30;
  }
  state.counters["objects"] = static_cast<double>(scene.objects.size());
}
BENCHMARK(BM_WorldStep)->Args({10, 0})->Args({100, 500})->Args({200, 1000})->Unit(benchmark::kMicrosecond);

// Heap in use over 100,000 frames of play after the first scene has loaded:
// sparks and the hit path come and go every few frames, nothing may pile up.
void BM_WorldMemoryOver100kFrames(benchmark::State& state) {
  BenchWorld world(10, 100);
  World& scene = world.scene();
  for (int i = 0; i < 1000; ++i) {
    world.frame();
  }
  const size_t before = mallinfo2().uordblks;
  size_t highest = before, at10k = before;
  for (auto _ : state) {
    for (int i = 0; i < 100000; ++i) {
      world.frame();
      if (i % 1000 == 0) highest = std::max(highest, mallinfo2().uordblks);
      if (i == 10000) at10k = mallinfo2().uordblks;
    }
  }
  const size_t after = mallinfo2().uordblks;
  // Lists reaching their largest size once show up early; later growth would be a leak.
  state.counters["heap_growth_frames_10k_to_100k"] = static_cast<double>(after) - static_cast<double>(at10k);
  state.counters["heap_before_bytes"] = static_cast<double>(before);
  state.counters["heap_after_bytes"] = static_cast<double>(after);
  state.counters["heap_peak_growth_bytes"] = static_cast<double>(highest - before);
  state.counters["objects"] = static_cast<double>(scene.objects.size());
}
BENCHMARK(BM_WorldMemoryOver100kFrames)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
