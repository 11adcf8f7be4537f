// Frames of the default game as it is played: its real scenes, pictures and
// fights, the built-in player pressing the keys (seed 1), headless. Each
// benchmark plays the game's first 3,000 frames (the title, the first scene
// and its fights) in runs of 100 frames and gives the time of one frame.
//   ..._QuadsCounted: the world's step and the drawing calls, quads counted
//     and not drawn (a headless run's cost);
//   ..._DrawnInSoftware: every frame also drawn in software into an 800x480
//     picture (no file written), as a window's renderer would draw it.
// Run from the build folder (the game folder is build/game) or set
// TERVALEN_GAME to a game folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/Autoplay.h"
#include "app/ScreenFlow.h"
#include "base/Random.h"
#include "engine/hge.h"
#include "world/GameRules.h"

namespace {

constexpr int kFramesPerRun = 100;
constexpr int kRuns = 30;

std::filesystem::path gameFolder() {
  if (const char* given = std::getenv("TERVALEN_GAME")) return given;
  return std::filesystem::current_path() / "game";
}

void playDefaultGame(benchmark::State& state, bool drawn) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::error_code ec;
  std::filesystem::current_path(gameFolder(), ec);
  if (ec) {
    state.SkipWithError("no game folder: run from the build folder or set TERVALEN_GAME");
    return;
  }
  HGE* engine = hgeCreate(HGE_VERSION);
  engine->System_SetState(HGE_LOGFILE, "/dev/null");
  Random chance;
  chance.seed(1);
  auto flow = std::make_unique<ScreenFlow>(engine, GameRules{}, [&chance](int lo, int hi) { return chance.range(lo, hi); },
                                           nullptr);
  Autoplay bot(engine);
  engine->System_SetState(HGE_FRAMEFUNC, [&flow] { return flow->frame(); });
  engine->System_SetState(HGE_RENDERFUNC, [&flow] { return flow->render(); });
  engine->System_SetState(HGE_CLOCKFUNC, [&flow] { return flow->runsThisFrame(); });
  engine->System_SetState(HGE_INPUTFUNC, [&bot, &flow] {
    bot.think(flow->world(), flow->state());
    return false;
  });
  engine->System_SetState(HGE_HEADLESS, true);
  engine->System_SetState(HGE_USESOUND, false);
  engine->System_SetState(HGE_DRAWALWAYS, drawn);
  engine->Random_Seed(1);
  if (!engine->System_Initiate()) {
    state.SkipWithError("the engine did not start");
    engine->Release();
    return;
  }
  flow->loadScreens();
  const uint64_t quadsBefore = engine->Gfx_GetQuadCount();
  int limit = 0;
  for (auto _ : state) {
    limit += kFramesPerRun;
    engine->System_SetState(HGE_MAXFRAMES, limit);
    engine->System_Start();
  }
  const double frames = static_cast<double>(state.iterations()) * kFramesPerRun;
  state.counters["frame"] = benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["quads/frame"] = static_cast<double>(engine->Gfx_GetQuadCount() - quadsBefore) / frames;
  state.counters["objects"] = flow->world() ? static_cast<double>(flow->world()->objects.size()) : 0;
  flow.reset();
  engine->System_Shutdown();
  engine->Release();
  std::filesystem::current_path(previous, ec);
}

void BM_DefaultGameFrame_QuadsCounted(benchmark::State& state) { playDefaultGame(state, false); }
void BM_DefaultGameFrame_DrawnInSoftware(benchmark::State& state) { playDefaultGame(state, true); }
BENCHMARK(BM_DefaultGameFrame_QuadsCounted)->Iterations(kRuns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DefaultGameFrame_DrawnInSoftware)->Iterations(kRuns)->Unit(benchmark::kMillisecond);

}  // namespace
