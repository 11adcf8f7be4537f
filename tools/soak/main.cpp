// tervalen-soak: plays the game headless for a long time with random key
// presses, starting a new world whenever one ends, and reports the memory the
// process holds as it goes. Run it in a game folder:
//   tervalen-soak [--frames N] [--seed N] [--every N]
#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "SoakOptions.h"
#include "app/ScreenFlow.h"
#include "base/Random.h"
#include "engine/hge.h"
#include "render/WorldRenderer.h"
#include "world/World.h"

namespace {

// Resident set size of this process in KiB.
long residentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

// Bytes the program has allocated and not freed (glibc's view of the heap).
size_t heapInUse() { return mallinfo2().uordblks; }

// A small generator of its own, so the keys do not disturb the game's random numbers.
struct KeyDice {
  uint64_t state;
  uint32_t next() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state >> 33);
  }
};

}  // namespace

int main(int argc, char** argv) {
  SoakOptions options;
  std::string error;
  switch (parseSoakOptions(argc, argv, options, error)) {
    case SoakParse::Help:
      std::fputs(soakUsageText().c_str(), stdout);
      return 0;
    case SoakParse::UsageError:
      std::fprintf(stderr, "tervalen-soak: %s\n\n%s", error.c_str(), soakUsageText().c_str());
      return 2;
    case SoakParse::Run:
      break;
  }
  const long frames = options.frames;
  const int seed = options.seed;
  const long every = options.every;

  HGE* engine = hgeCreate(HGE_VERSION);
  engine->System_SetState(HGE_HEADLESS, true);
  engine->System_SetState(HGE_USESOUND, false);
  engine->System_SetState(HGE_LOGFILE, "soak-log.txt");
  engine->System_SetState(HGE_MAXFRAMES, static_cast<int>(frames));
  // The games' chance, from the seed (0 is a seed like any other).
  Random chance;
  chance.seed(static_cast<uint32_t>(seed));

  std::unique_ptr<World> world;
  std::unique_ptr<WorldRenderer> renderer;
  long games = 0, frame = 0;
  long firstRss = 0, peakRss = 0;
  size_t firstHeap = 0, peakHeap = 0;
  KeyDice dice{static_cast<uint64_t>(seed) * 7919u + 1};
  bool held[8] = {};
  const int keys[8] = {HGEK_W, HGEK_S, HGEK_A, HGEK_D, HGEK_J, HGEK_K, HGEK_U, HGEK_I};
  bool failed = false;

  engine->System_SetState(HGE_INPUTFUNC, [&] {
    // Now and then a key changes: short taps for the buttons, longer holds for the directions.
    for (int k = 0; k < 8; ++k) {
      uint32_t roll = dice.next() % 1000;
      bool change = held[k] ? roll < (k < 4 ? 30u : 300u) : roll < 25u;
      if (change) {
        held[k] = !held[k];
        engine->Input_InjectKey(keys[k], held[k]);
      }
    }
    return false;
  });
  engine->System_SetState(HGE_FRAMEFUNC, [&] {
    ++frame;
    if (!world || world->gameOver) {
      renderer.reset();
      world.reset();
      engine->Resource_AttachPack(GameRules{}.packFile.c_str(), GameRules{}.packPassword.c_str());
      WorldServices services;
      services.log = [engine](const std::string& line) { engine->System_Log("%s", line.c_str()); };
      services.random = [&chance](int lo, int hi) { return chance.range(lo, hi); };
      world = std::make_unique<World>(GameRules{}, std::move(services));
      ++games;
      if (!world->ready()) {
        std::fprintf(stderr, "tervalen-soak: %s\n", world->startError.c_str());
        failed = true;
        return true;
      }
      renderer = std::make_unique<WorldRenderer>(engine, world->catalog);
    }
    world->step(readFrameInput(engine));
    if (frame == every) {
      firstRss = residentKiB();
      firstHeap = heapInUse();
    }
    if (frame >= every) {
      if (frame % 1000 == 0) {
        peakRss = std::max(peakRss, residentKiB());
        peakHeap = std::max(peakHeap, heapInUse());
      }
      if (frame % every == 0)
        std::printf("frame %ld: games %ld, resident %ld KiB, heap in use %zu bytes\n", frame, games,
                    residentKiB(), heapInUse());
    }
    return false;
  });
  engine->System_SetState(HGE_RENDERFUNC, [&] {
    engine->Gfx_BeginScene(0);
    if (renderer) renderer->draw(*world);
    engine->Gfx_EndScene();
    return false;
  });

  if (!engine->System_Initiate()) {
    std::fprintf(stderr, "tervalen-soak: %s\n", engine->System_GetErrorMessage().c_str());
    return 1;
  }
  engine->System_Start();
  renderer.reset();
  world.reset();
  engine->System_Shutdown();
  engine->Release();
  if (failed) return 1;
  std::printf("frames %ld, games %ld; after frame %ld: resident %ld KiB then at most %ld KiB (%+ld), "
              "heap in use %zu then at most %zu bytes (%+ld)\n",
              frame, games, every, firstRss, peakRss, peakRss - firstRss, firstHeap, peakHeap,
              static_cast<long>(peakHeap) - static_cast<long>(firstHeap));
  return 0;
}
