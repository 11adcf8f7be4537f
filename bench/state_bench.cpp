// Saving and restoring the world at the default game's busiest frame: the
// frame with the most objects of a whole game (seed 1) that the built-in
// player plays for four seats, found once per run of the benchmarks.
//   BM_StateSave / BM_StateRestore / BM_StateSaveAndRestore: one save, one
//     restore, both (the goal: 50 us together; the state's size is a counter,
//     goal 64 KB);
//   BM_RollbackEightFrames: restore the state of eight frames before the
//     busiest and step the eight frames again with their keys (goal 1 ms);
//   BM_RewindRingMemory: the modder's ring of ten seconds filled with the
//     states of the game from the busiest frame on (goal 64 MB).
// Each is repeated five times: min, median and max are reported.
// Run from the build folder (the game folder is build/game) or set TERVALEN_GAME.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/Autoplay.h"
#include "app/Rewind.h"
#include "app/ScreenFlow.h"
#include "base/Random.h"
#include "engine/hge.h"
#include "world/RulesFile.h"

namespace {

constexpr int kSeats = 4;
constexpr int kBack = 8;

std::filesystem::path gameFolder() {
  if (const char* given = std::getenv("TERVALEN_GAME")) return given;
  return std::filesystem::current_path() / "game";
}

// The busiest moment: the state eight frames before it, the keys of those
// eight frames and the state at it; and the keys of the frames that follow.
struct Busiest {
  bool found = false;
  size_t objects = 0;
  std::vector<uint8_t> before, at;
  std::vector<SeatInputs> keys;
  std::vector<std::vector<uint8_t>> following;  // states after it, for the ring
};

const Busiest& busiest() {
  static Busiest b = [] {
    Busiest out;
    HGE* engine = hgeCreate(HGE_VERSION);
    engine->System_SetState(HGE_LOGFILE, "/dev/null");
    Random chance;
    chance.seed(1);
    GameRules rules = readGameRules().ok() ? *readGameRules() : GameRules{};
    rules.seatsAtStart = kSeats;
    auto flow = std::make_unique<ScreenFlow>(engine, rules, [&chance](int lo, int hi) { return chance.range(lo, hi); },
                                             nullptr);
    std::vector<std::unique_ptr<Autoplay>> bots;
    for (int s = 1; s <= kSeats; ++s) bots.push_back(std::make_unique<Autoplay>(engine, AutoplayStyle::Full, s));
    std::deque<std::vector<uint8_t>> states;
    std::deque<SeatInputs> keys;
    size_t follow = 0;
    engine->System_SetState(HGE_FRAMEFUNC, [&] {
      const SeatInputs input = readSeatInputs(engine);
      const bool done = flow->frame();
      const World* w = flow->world();
      if (!w || flow->state() != ScreenFlow::PLAYING) return done || flow->state() == ScreenFlow::ENDING;
      std::vector<uint8_t> state;
      w->saveState(chance.state(), state);
      if (follow > 0) {
        out.following.push_back(state);
        --follow;
      }
      states.push_back(std::move(state));
      keys.push_back(input);
      if (states.size() > kBack + 1) {
        states.pop_front();
        keys.pop_front();
      }
      if (states.size() == kBack + 1 && w->objects.size() > out.objects) {
        out.found = true;
        out.objects = w->objects.size();
        out.before = states.front();
        out.at = states.back();
        out.keys.assign(keys.begin() + 1, keys.end());
        out.following.clear();
        follow = Rewind::kFrames;
      }
      return done;
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
    if (engine->System_Initiate()) {
      flow->loadScreens();
      engine->System_Start();
    }
    flow.reset();
    engine->System_Shutdown();
    engine->Release();
    return out;
  }();
  return b;
}

// A world of the default game (in the game folder) and its generator.
struct BenchWorld {
  Random chance;
  std::unique_ptr<World> world;
  BenchWorld() {
    GameRules rules = readGameRules().ok() ? *readGameRules() : GameRules{};
    world = std::make_unique<World>(rules, WorldServices{[](const std::string&) {},
                                                         [this](int lo, int hi) { return chance.range(lo, hi); }});
  }
  bool restore(const std::vector<uint8_t>& bytes) {
    Expected<uint64_t> r = world->restoreState(bytes, "bench");
    if (r) chance.setState(*r);
    return r.ok();
  }
};

// Runs `body` in the game folder with the busiest state found, or skips.
template <class Body>
void withBusiest(benchmark::State& state, Body body) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::error_code ec;
  std::filesystem::current_path(gameFolder(), ec);
  if (ec) {
    state.SkipWithError("no game folder: run from the build folder or set TERVALEN_GAME");
    return;
  }
  const Busiest& b = busiest();
  if (!b.found) {
    state.SkipWithError("the game could not be played");
  } else {
    BenchWorld w;
    if (!w.restore(b.at))
      state.SkipWithError("the busiest state does not restore");
    else
      body(w, b);
  }
  std::filesystem::current_path(previous, ec);
}

void BM_StateSave(benchmark::State& state) {
  withBusiest(state, [&](BenchWorld& w, const Busiest& b) {
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
      w.world->saveState(w.chance.state(), bytes);
      benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
    state.counters["objects"] = static_cast<double>(b.objects);
  });
}

void BM_StateRestore(benchmark::State& state) {
  withBusiest(state, [&](BenchWorld& w, const Busiest& b) {
    for (auto _ : state) benchmark::DoNotOptimize(w.restore(b.at));
  });
}

void BM_StateSaveAndRestore(benchmark::State& state) {
  withBusiest(state, [&](BenchWorld& w, const Busiest& b) {
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
      w.world->saveState(w.chance.state(), bytes);
      benchmark::DoNotOptimize(w.restore(bytes));
    }
    state.counters["bytes"] = static_cast<double>(b.at.size());
  });
}

void BM_RollbackEightFrames(benchmark::State& state) {
  withBusiest(state, [&](BenchWorld& w, const Busiest& b) {
    for (auto _ : state) {
      w.restore(b.before);
      for (const SeatInputs& keys : b.keys) w.world->step(keys);
    }
  });
}

void BM_RewindRingMemory(benchmark::State& state) {
  withBusiest(state, [&](BenchWorld& w, const Busiest& b) {
    size_t memory = 0;
    for (auto _ : state) {
      Rewind ring(w.chance);
      ring.worldStarted(*w.world);
      for (const std::vector<uint8_t>& s : b.following) {
        w.restore(s);
        ring.afterStep(*w.world, SeatInputs{});
      }
      memory = ring.memory();
    }
    state.counters["MB"] = static_cast<double>(memory) / (1024.0 * 1024.0);
    state.counters["frames"] = static_cast<double>(b.following.size());
  });
}

double minimum(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
double maximum(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

#define STATE_BENCHMARK(name)                                                                                     \
  BENCHMARK(name)->Repetitions(5)->ReportAggregatesOnly(true)->ComputeStatistics("min", minimum)->ComputeStatistics( \
      "max", maximum)

STATE_BENCHMARK(BM_StateSave)->Unit(benchmark::kMicrosecond);
STATE_BENCHMARK(BM_StateRestore)->Unit(benchmark::kMicrosecond);
STATE_BENCHMARK(BM_StateSaveAndRestore)->Unit(benchmark::kMicrosecond);
STATE_BENCHMARK(BM_RollbackEightFrames)->Unit(benchmark::kMicrosecond);
STATE_BENCHMARK(BM_RewindRingMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
