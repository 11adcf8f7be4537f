// The modder's keys in play: F2 stops the world, F3 runs exactly one step of
// it, F4 runs one step in four frames, and the steps that run are the steps
// of a game played without the keys. F5 reloads a changed character and
// restarts the scene; a broken file keeps the old world and says why on the
// screen and in the log.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/ModderKeys.h"
#include "app/Rewind.h"
#include "app/ScreenFlow.h"
#include "base/FileBytes.h"
#include "base/Random.h"
#include "engine/hge.h"
#include "engine_support.h"
#include "format/CharaData.h"
#include "object/Chara.h"
#include "world/Trace.h"
#include "world/WorldDescription.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = TERVALEN_BINARY_DIR "/game";
const fs::path kKeys = TERVALEN_SOURCE_DIR "/tests/golden/random-keys-a.keys";

struct Played {
  std::string trace;
  std::map<int, int> stepAt;          // frame -> steps run up to and with it
  std::vector<std::string> messages;  // what the modder's keys showed, in order
  int firstEnemyHp = -1;              // of the first enemy in the world at the end
  bool errorShown = false;
  std::map<int, std::string> worldAt;  // frame -> the world after it, when asked for
};

// A key in `press` is tapped in its frame; with kHold its keyboard key goes
// down and stays down until a kLetGo of it.
constexpr int kHold = 1 << 20, kLetGo = 1 << 21;

// Plays the game in `folder` headless for `frames` frames on seed 7 (keys
// from `replay` when given); `press` names the modder's keys pressed in a
// frame; `before(frame)` runs first in each frame (to change files).
Played play(const fs::path &folder, const std::string &replay, int frames, const std::map<int, std::vector<int>> &press,
            const ScratchDir &dir, const std::function<void(int)> &before = {}, bool watch = false,
            bool rewind = false) {
  Played out;
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  HGE *engine = hgeCreate(HGE_VERSION);
  engine->System_SetState(HGE_HEADLESS, true);
  engine->System_SetState(HGE_USESOUND, false);
  engine->System_SetState(HGE_LOGFILE, dir.file("log.txt").c_str());
  engine->System_SetState(HGE_MAXFRAMES, frames);
  if (!replay.empty()) engine->System_SetState(HGE_REPLAYFILE, replay.c_str());
  engine->Random_SetSeed(7);
  Random chance;
  chance.seed(7u);
  RandomInt random = [&chance](int lo, int hi) { return chance.range(lo, hi); };
  {
    TraceWriter trace(dir.file("trace.jsonl"), [](const std::string &why) { ADD_FAILURE() << why; });
    ScreenFlow flow(engine, GameRules{}, random, &trace);
    ModderKeys modder(engine, flow, WorldReload(engine, random, false), watch, false);
    Rewind ring(chance);
    if (rewind) {
      flow.addWatch(&ring);
      modder.setRewind(&ring);
    }
    engine->System_SetState(HGE_FRAMEFUNC, [&] {
      const bool done = flow.frame();
      out.stepAt[engine->System_GetFrame()] = engine->System_GetStep();
      if (rewind && flow.world()) out.worldAt[engine->System_GetFrame()] = describeWorld(*flow.world(), chance.state());
      if (!modder.message().empty() && (out.messages.empty() || out.messages.back() != modder.message())) {
        out.messages.push_back(modder.message());
        out.errorShown |= modder.messageIsError();
      }
      return done;
    });
    engine->System_SetState(HGE_RENDERFUNC, [&] { return flow.render(); });
    engine->System_SetState(HGE_CLOCKFUNC, [&] {
      const int frame = engine->System_GetFrame();
      if (before) before(frame);
      if (auto it = press.find(frame); it != press.end())
        for (int key : it->second) {
          if (key & kHold)
            engine->Input_InjectRawKey(key & ~kHold, true);
          else if (key & kLetGo)
            engine->Input_InjectRawKey(key & ~kLetGo, false);
          else {
            engine->Input_InjectKey(key, true);
            engine->Input_InjectKey(key, false);
          }
        }
      modder.beforeClock();
      return flow.runsThisFrame();
    });
    EXPECT_TRUE(engine->System_Initiate()) << engine->System_GetErrorMessage();
    flow.loadScreens();
    engine->System_Start();
    if (const World *world = flow.world(); world && world->charas.size() > 1) out.firstEnemyHp = world->charas[1]->hp;
    engine->System_SetState(HGE_FRAMEFUNC, hgeCallback{});
    engine->System_SetState(HGE_RENDERFUNC, hgeCallback{});
    engine->System_SetState(HGE_CLOCKFUNC, hgeCallback{});
    trace.close();
  }
  engine->System_Shutdown();
  engine->System_SetState(HGE_REPLAYFILE, "");
  engine->Release();
  fs::current_path(previous);
  out.trace = readFile(dir.file("trace.jsonl"));
  return out;
}

constexpr int kF2 = HGEK_F1 + 1, kF3 = HGEK_F1 + 2, kF4 = HGEK_F1 + 3, kF5 = HGEK_F1 + 4, kF6 = HGEK_F1 + 5;

TEST(ModderKeys, PauseStepAndSlowMotionRunTheSameStepsOfTheSameGame) {
  if (!fs::exists(kGame / "data")) GTEST_SKIP() << "no built game folder";
  ScratchDir dir;
  // F2 at 100 (paused), F3 at 150 and 160, F2 at 200 (on), F4 at 300 (slow), F4
  // at 380 (normal).
  const std::map<int, std::vector<int>> keys = {{100, {kF2}}, {150, {kF3}}, {160, {kF3}},
                                                {200, {kF2}}, {300, {kF4}}, {380, {kF4}}};
  const Played moddered = play(kGame, kKeys.string(), 600, keys, dir);
  const std::map<int, int> &s = moddered.stepAt;
  EXPECT_EQ(s.at(99), 99);
  EXPECT_EQ(s.at(100), 99) << "F2 holds the world in the frame it is pressed";
  EXPECT_EQ(s.at(149), 99);
  EXPECT_EQ(s.at(150), 100) << "F3 runs exactly one step";
  EXPECT_EQ(s.at(159), 100) << "and no more";
  EXPECT_EQ(s.at(160), 101);
  EXPECT_EQ(s.at(199), 101);
  EXPECT_EQ(s.at(299), 201) << "F2 again: every frame a step";
  EXPECT_EQ(s.at(379) - s.at(299), 20) << "F4: a quarter of the speed";
  EXPECT_EQ(s.at(600), 221 + 221);

  const Played straight = play(kGame, kKeys.string(), 442, {}, dir);
  EXPECT_EQ(straight.stepAt.at(442), 442);
  ASSERT_GT(straight.trace.size(), 10000u);
  EXPECT_TRUE(moddered.trace == straight.trace) << "pausing, stepping or slowing changed the game";
}

TEST(ModderKeys, ReloadRestartsTheSceneWithAChangedCharacterAndKeepsTheOldDataOnABrokenOne) {
  if (!fs::exists(kGame / "data")) GTEST_SKIP() << "no built game folder";
  ScratchDir dir;
  const fs::path folder = dir.path() / "game";
  fs::copy(kGame, folder, fs::copy_options::recursive);
  const fs::path guai = folder / "data/chara/guai01.dat";
  Expected<std::vector<uint8_t>> bytes = readFileBytes(guai.string());
  ASSERT_TRUE(bytes);
  Expected<CharaData> data = parseCharaFile(*bytes, guai.string());
  ASSERT_TRUE(data);
  ASSERT_NE(data->maxHp, 777);
  data->maxHp = 777;
  const std::vector<uint8_t> changed = writeCharaFile(*data);

  // The first scene's enemy is a guai01; at frame 50 its file gets 777 hit
  // points, F5 at 60 restarts the scene with it; at 100 the file breaks, F5
  // at 110 fails and the game goes on.
  auto edit = [&](int frame) {
    if (frame == 50)
      std::ofstream(guai, std::ios::binary)
          .write(reinterpret_cast<const char *>(changed.data()), static_cast<std::streamsize>(changed.size()));
    if (frame == 100) std::ofstream(guai, std::ios::binary) << "not a character";
  };
  const Played reloaded = play(folder, "", 80, {{60, {kF5}}}, dir, edit);
  EXPECT_EQ(reloaded.firstEnemyHp, 777);
  ASSERT_EQ(reloaded.messages.size(), 1u);
  EXPECT_EQ(reloaded.messages[0], "F5: reloaded: scene \"Test\" starts again");
  EXPECT_FALSE(reloaded.errorShown);
  EXPECT_EQ(reloaded.stepAt.at(80), 80) << "the game never stopped";

  const Played broken = play(folder, "", 160, {{60, {kF5}}, {110, {kF5}}}, dir, edit);
  EXPECT_EQ(broken.stepAt.at(160), 160);
  EXPECT_EQ(broken.firstEnemyHp, 777) << "the old data stays";
  ASSERT_EQ(broken.messages.size(), 2u);
  EXPECT_TRUE(broken.errorShown);
  EXPECT_EQ(broken.messages[1].rfind("F5: reload failed: data/chara/guai01.dat: offset ", 0), 0u) << broken.messages[1];
  EXPECT_NE(broken.messages[1].find("the game goes on with the data it had"), std::string::npos);
  EXPECT_NE(readFile(dir.file("log.txt")).find("F5: reload failed: data/chara/guai01.dat"), std::string::npos);

  // --watch: the same without a key, within a second (100 frames) of each
  // change.
  std::ofstream(guai, std::ios::binary)
      .write(reinterpret_cast<const char *>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
  auto watchedEdit = [&](int frame) {
    if (frame == 50)
      std::ofstream(guai, std::ios::binary)
          .write(reinterpret_cast<const char *>(changed.data()), static_cast<std::streamsize>(changed.size()));
    if (frame == 150) std::ofstream(guai, std::ios::binary) << "not a character";
  };
  const Played watched = play(folder, "", 260, {}, dir, watchedEdit, true);
  EXPECT_EQ(watched.stepAt.at(260), 260);
  ASSERT_EQ(watched.messages.size(), 2u);
  EXPECT_EQ(watched.messages[0], "data/chara/guai01.dat changed: reloaded: scene \"Test\" starts again");
  EXPECT_EQ(watched.messages[1].rfind("data/chara/guai01.dat changed: reload "
                                      "failed: data/chara/guai01.dat: offset ",
                                      0),
            0u)
      << watched.messages[1];
  EXPECT_EQ(watched.firstEnemyHp, 777);
}

}  // namespace

TEST(ModderKeys, F6StepsBackAndHeldRewindsToTheWorldOfEarlierSteps) {
  if (!fs::exists(kGame / "data")) GTEST_SKIP() << "no built game folder";
  ScratchDir dir;
  // Nobody plays: the enemies come on and fight an idle hero, so every step
  // differs.
  const Played straight = play(kGame, "", 400, {}, dir, {}, false, true);
  // F2 at 200 (paused after step 199); F6 at 210 and 220; F3 at 230; F6 held
  // from 240 to 290.
  const std::map<int, std::vector<int>> keys = {{200, {kF2}}, {210, {kF6}},         {220, {kF6}},
                                                {230, {kF3}}, {240, {kF6 | kHold}}, {290, {kF6 | kLetGo}}};
  const Played rewound = play(kGame, "", 300, keys, dir, {}, false, true);
  const auto &at = rewound.worldAt;
  const auto &was = straight.worldAt;
  // Compared as booleans: a world's description is hundreds of lines.
  auto same = [&](int frame, int step) { return at.at(frame) == was.at(step); };
  ASSERT_NE(was.at(198), was.at(199));
  EXPECT_TRUE(same(209, 199)) << "paused";
  EXPECT_TRUE(same(210, 198)) << "F6 takes back one step";
  EXPECT_TRUE(same(220, 197));
  EXPECT_TRUE(same(229, 197)) << "and the world stays paused";
  EXPECT_TRUE(same(230, 198)) << "F3 steps forward again into the same game";
  // Held from frame 240: one step back on the press, then one every frame
  // once it has been held long enough, up to the last frame before it is let
  // go.
  const int heldAfterPress = 289 - 240, rewoundSteps = 1 + heldAfterPress - ModderKeys::kRewindHoldFrames + 1;
  EXPECT_TRUE(same(289, 198 - rewoundSteps));
  EXPECT_TRUE(same(299, 198 - rewoundSteps)) << "let go: still paused where the rewind stopped";
  EXPECT_FALSE(rewound.errorShown);
}
