// Pausing the game in play: the world is not stepped and draws no random
// number while the clock holds it, and a recording made with pauses plays back,
// without them, to the same game: the same trace line for every step.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "app/ScreenFlow.h"
#include "base/Random.h"
#include "engine/hge.h"
#include "engine_support.h"
#include "world/Trace.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = TERVALEN_BINARY_DIR "/game";
const fs::path kKeys = TERVALEN_SOURCE_DIR "/tests/golden/random-keys-a.keys";

struct Played {
  std::string trace;
  std::string result;
  int randomDraws = 0;
  int steps = 0;
};

// Plays the default game headless for `frames` frames on seed 7, its keys
// from `replay`, recording to `record` when given; the player pauses in the
// frames `paused` says.
Played play(const std::string& replay, const std::string& record, int frames,
            const std::function<bool(int frame)>& paused, const ScratchDir& dir) {
  Played out;
  const fs::path before = fs::current_path();
  fs::current_path(kGame);
  HGE* engine = hgeCreate(HGE_VERSION);
  engine->System_SetState(HGE_HEADLESS, true);
  engine->System_SetState(HGE_USESOUND, false);
  engine->System_SetState(HGE_LOGFILE, dir.file("log.txt").c_str());
  engine->System_SetState(HGE_MAXFRAMES, frames);
  engine->System_SetState(HGE_REPLAYFILE, replay.c_str());
  if (!record.empty()) engine->System_SetState(HGE_RECORDFILE, record.c_str());
  engine->Random_SetSeed(7);
  Random chance;
  chance.seed(7u);
  {
    TraceWriter trace(dir.file("trace.jsonl"), [](const std::string& why) { ADD_FAILURE() << why; });
    ScreenFlow flow(engine, GameRules{}, [&](int lo, int hi) {
      ++out.randomDraws;
      return chance.range(lo, hi);
    }, &trace);
    engine->System_SetState(HGE_FRAMEFUNC, [&] { return flow.frame(); });
    engine->System_SetState(HGE_RENDERFUNC, [&] { return flow.render(); });
    engine->System_SetState(HGE_CLOCKFUNC, [&] {
      flow.clock().playerPaused = paused(engine->System_GetFrame());
      return flow.runsThisFrame();
    });
    EXPECT_TRUE(engine->System_Initiate()) << engine->System_GetErrorMessage();
    flow.loadScreens();
    engine->System_Start();
    out.steps = engine->System_GetStep();
    out.result = resultLine(flow.world(), false, out.steps);
    engine->System_SetState(HGE_FRAMEFUNC, hgeCallback{});
    engine->System_SetState(HGE_RENDERFUNC, hgeCallback{});
    engine->System_SetState(HGE_CLOCKFUNC, hgeCallback{});
    trace.close();
  }
  engine->System_Shutdown();
  engine->System_SetState(HGE_REPLAYFILE, "");
  engine->System_SetState(HGE_RECORDFILE, "");
  engine->Release();
  fs::current_path(before);
  out.trace = readFile(dir.file("trace.jsonl"));
  return out;
}

TEST(Pause, ARecordingWithPausesReplaysWithoutThemToTheSameGame) {
  if (!fs::exists(kGame / "data")) GTEST_SKIP() << "no built game folder";
  ScratchDir dir;
  const std::string recording = dir.file("paused.rep");
  // The player pauses twice: 60 frames early on, 300 frames in a fight.
  auto pauses = [](int frame) { return (frame >= 500 && frame < 560) || (frame >= 2000 && frame < 2300); };
  const Played live = play(kKeys.string(), recording, 4360, pauses, dir);
  EXPECT_EQ(live.steps, 4000) << "360 paused frames are no steps";

  const Played replayed = play(recording, "", 4000, [](int) { return false; }, dir);
  EXPECT_EQ(replayed.steps, 4000);
  EXPECT_EQ(replayed.randomDraws, live.randomDraws) << "no random number is drawn while paused";
  EXPECT_EQ(replayed.result, live.result);
  ASSERT_EQ(replayed.trace.size(), live.trace.size());
  EXPECT_TRUE(replayed.trace == live.trace) << "the trace differs";
  // Without pauses the same keys give the same game as well: a pause changes nothing.
  const Played straight = play(kKeys.string(), "", 4000, [](int) { return false; }, dir);
  EXPECT_TRUE(straight.trace == live.trace) << "the paused game played differently";
}

}  // namespace
