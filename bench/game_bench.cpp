// Frames of the default game as it is played: its real scenes, pictures and
// fights, the built-in player pressing the keys (seed 1), headless. Each
// benchmark plays the game's first 3,000 frames (the title, the first scene
// and its fights) in runs of 100 frames and gives the time of one frame.
//   ..._QuadsCounted: the world's step and the drawing calls, quads counted
//     and not drawn (a headless run's cost);
//   ..._DrawnInSoftware: every frame also drawn in software into an 800x480
//     picture (no file written), as a window's renderer would draw it.
//   BM_DefaultGameBusiestFrames/<seats>: a whole game with 1 or 4 seats, the
//     world's frame in its 100 busiest frames and its worst.
// Run from the build folder (the game folder is build/game) or set
// TERVALEN_GAME to a game folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>
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

// A whole game of the default game, seed 1, with every one of `seats` seats
// played by the built-in player; the frame callback (the world's update and
// the players' control) timed in every frame. Reports the mean of the 100
// frames with the most objects (the busiest fighting) and the worst frame.
void busiestFrames(benchmark::State& state) {
  const int seats = static_cast<int>(state.range(0));
  const std::filesystem::path previous = std::filesystem::current_path();
  std::error_code ec;
  std::filesystem::current_path(gameFolder(), ec);
  if (ec) {
    state.SkipWithError("no game folder: run from the build folder or set TERVALEN_GAME");
    return;
  }
  double busiestMean = 0, worst = 0, busiestObjects = 0;
  for (auto _ : state) {
    HGE* engine = hgeCreate(HGE_VERSION);
    engine->System_SetState(HGE_LOGFILE, "/dev/null");
    Random chance;
    chance.seed(1);
    GameRules rules;
    rules.seatsAtStart = seats;
    auto flow = std::make_unique<ScreenFlow>(engine, rules, [&chance](int lo, int hi) { return chance.range(lo, hi); },
                                             nullptr);
    std::vector<std::unique_ptr<Autoplay>> bots;
    for (int s = 1; s <= seats; ++s) bots.push_back(std::make_unique<Autoplay>(engine, AutoplayStyle::Full, s));
    std::vector<std::pair<size_t, double>> frames;  // objects, seconds
    frames.reserve(80000);
    engine->System_SetState(HGE_FRAMEFUNC, [&flow, &frames] {
      const auto start = std::chrono::steady_clock::now();
      const bool done = flow->frame();
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      frames.emplace_back(flow->world() ? flow->world()->objects.size() : 0, took.count());
      return done || flow->state() == ScreenFlow::ENDING;
    });
    engine->System_SetState(HGE_CLOCKFUNC, [&flow] { return flow->runsThisFrame(); });
    engine->System_SetState(HGE_INPUTFUNC, [&bots, &flow] {
      for (auto& bot : bots) bot->think(flow->world(), flow->state());
      return false;
    });
    engine->System_SetState(HGE_HEADLESS, true);
    engine->System_SetState(HGE_USESOUND, false);
    engine->System_SetState(HGE_MAXFRAMES, 120000);
    engine->Random_Seed(1);
    if (!engine->System_Initiate()) {
      state.SkipWithError("the engine did not start");
      engine->Release();
      break;
    }
    flow->loadScreens();
    engine->System_Start();
    flow.reset();
    engine->System_Shutdown();
    engine->Release();

    std::sort(frames.begin(), frames.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    const size_t top = std::min<size_t>(100, frames.size());
    double sum = 0;
    for (size_t i = 0; i < top; ++i) sum += frames[i].second;
    busiestMean = top ? sum / static_cast<double>(top) : 0;
    busiestObjects = top ? static_cast<double>(frames[0].first) : 0;
    worst = 0;
    for (const auto& f : frames) worst = std::max(worst, f.second);
    state.SetIterationTime(busiestMean);
  }
  state.counters["busiest_us"] = busiestMean * 1e6;
  state.counters["worst_us"] = worst * 1e6;
  state.counters["objects"] = busiestObjects;
  std::filesystem::current_path(previous, ec);
}
BENCHMARK(busiestFrames)->Name("BM_DefaultGameBusiestFrames")->Arg(1)->Arg(4)->Iterations(3)->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void BM_DefaultGameFrame_QuadsCounted(benchmark::State& state) { playDefaultGame(state, false); }
void BM_DefaultGameFrame_DrawnInSoftware(benchmark::State& state) { playDefaultGame(state, true); }
BENCHMARK(BM_DefaultGameFrame_QuadsCounted)->Iterations(kRuns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DefaultGameFrame_DrawnInSoftware)->Iterations(kRuns)->Unit(benchmark::kMillisecond);

}  // namespace
