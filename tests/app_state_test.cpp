// The sync test, the rewind ring and state files: the default game passes
// the sync test with one and four seats and a planted fault is caught at the
// frame it first shows; the ring steps back to exactly the frames it kept;
// a state file starts a game at its step, and a damaged or foreign one is
// refused with the reason.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "app/Rewind.h"
#include "app/StateFile.h"
#include "app/SyncTest.h"
#include "game_program.h"
#include "world/RulesFile.h"
#include "world/World.h"
#include "world/WorldDescription.h"

namespace {

using gameprogram::GameCopy;
using gameprogram::lines;

#define NEED_GAME() \
  if (!gameprogram::haveGame()) GTEST_SKIP() << "no game laid out in " TERVALEN_BINARY_DIR "/game"

// The lines of a trace after its header, without their "frame" field.
std::vector<std::string> stepsWithoutFrames(const std::string& text) {
  std::vector<std::string> out = lines(text);
  if (!out.empty()) out.erase(out.begin());
  for (std::string& l : out) {
    const size_t comma = l.find(',');
    if (comma != std::string::npos) l = "{" + l.substr(comma + 1);
  }
  return out;
}

TEST(SyncTestProgram, TheDefaultGamePassesWithOneAndFourSeats) {
  NEED_GAME();
  GameCopy game;
  for (const char* seats : {"1", "4"}) {
    SCOPED_TRACE(seats);
    const gameprogram::Run run =
        game.run(std::string("--autoplay --seed 2 --frames 6000 --sync-test 8 --players ") + seats);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.log.find("sync test: 5992 steps checked 8 steps back, all the same"), std::string::npos) << run.log;
  }
}

// A world of the default game whose chance comes from a generator the sync
// test does not put back after step `faultFrom`: state kept outside the saved
// state, as a real fault would.
TEST(SyncTestCore, AFaultIsCaughtAtTheFirstFrameItShowsIn) {
  NEED_GAME();
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(TERVALEN_BINARY_DIR "/game");
  constexpr int kFaultFrom = 300;
  auto run = [&](bool withFault, std::vector<int>* drawFrames, std::string* failure) {
    Random chance, outside(5, 9);
    chance.seed(4);
    int step = 0;
    WorldServices services{[](const std::string&) {}, [&](int lo, int hi) {
                             if (drawFrames && (drawFrames->empty() || drawFrames->back() != step))
                               drawFrames->push_back(step);
                             return withFault && step >= kFaultFrom ? outside.range(lo, hi) : chance.range(lo, hi);
                           }};
    GameRules rules = *readGameRules();
    rules.playerInvincible = true;
    World world(rules, std::move(services));
    SyncTest sync(8, chance, ::testing::TempDir());
    SeatInputs keys;
    keys[1].held[KEY_D] = true;
    for (step = 2; step < 2000 && !world.gameOver; ++step) {
      sync.beforeStep(world);
      world.step(keys);
      if (!sync.afterStep(world, keys)) break;
    }
    if (failure) *failure = sync.failure();
  };
  std::vector<int> draws;
  std::string failure;
  run(false, &draws, &failure);
  EXPECT_EQ(failure, "") << "without the fault the sync test holds";
  const auto first = std::find_if(draws.begin(), draws.end(), [](int f) { return f >= kFaultFrom; });
  ASSERT_NE(first, draws.end());

  run(true, nullptr, &failure);
  // Steps count from the first step of play (frame 2 of the game is its step 1).
  const int expectedStep = *first - 1;
  EXPECT_EQ(failure.rfind("sync test failed at frame " + std::to_string(expectedStep) + ": ", 0), 0u) << failure;
  EXPECT_NE(failure.find("stepped-again.txt"), std::string::npos) << failure;
  std::filesystem::current_path(before);
}

TEST(RewindRing, StepsBackThroughExactlyTheStepsItKept) {
  NEED_GAME();
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(TERVALEN_BINARY_DIR "/game");
  Random chance;
  chance.seed(3);
  GameRules rules = *readGameRules();
  World world(rules, WorldServices{[](const std::string&) {}, [&](int lo, int hi) { return chance.range(lo, hi); }});
  Rewind ring(chance, 10);
  ring.worldStarted(world);
  SeatInputs keys;
  keys[1].held[KEY_D] = true;
  std::vector<std::string> seen{describeWorld(world, chance.state())};
  for (int i = 0; i < 30; ++i) {
    keys[1].pressed[KEY_J] = i % 7 == 0;
    world.step(keys);
    ring.afterStep(world, keys);
    seen.push_back(describeWorld(world, chance.state()));
  }
  EXPECT_EQ(ring.kept(), 9);
  for (int back = 1; back <= 9; ++back) {
    ASSERT_TRUE(ring.stepBack(world)) << back;
    EXPECT_EQ(describeWorld(world, chance.state()), seen[seen.size() - 1 - static_cast<size_t>(back)]) << back;
  }
  EXPECT_FALSE(ring.stepBack(world)) << "ten states kept: nine steps back";
  // A step forward after rewinding is the new present.
  world.step(keys);
  ring.afterStep(world, keys);
  EXPECT_EQ(ring.kept(), 1);
  EXPECT_LT(ring.memory(), 10u * 64 * 1024);
  std::filesystem::current_path(before);
}

TEST(StateFiles, AGameStartedFromAStatePlaysOnAsTheSavedGameDid) {
  NEED_GAME();
  GameCopy game;
  // Nobody plays: the same keys (none) before and after the save.
  ASSERT_EQ(game.run("--seed 3 --frames 2500 --trace saved.jsonl --save-state 1200:s.state").exitCode, 0);
  const gameprogram::Run loaded = game.run("--load-state s.state --frames 1301 --trace loaded.jsonl");
  ASSERT_EQ(loaded.exitCode, 0) << loaded.err;
  const std::vector<std::string> saved = stepsWithoutFrames(game.read("saved.jsonl"));
  const std::vector<std::string> again = stepsWithoutFrames(game.read("loaded.jsonl"));
  // The saved game's step 1200 + k is the loaded game's step 1 + k (trace lines start at step 2).
  ASSERT_GE(saved.size(), 2499u);
  ASSERT_EQ(again.size(), 1300u);
  for (size_t k = 0; k < again.size(); ++k) ASSERT_EQ(again[k], saved[1199 + k]) << "loaded step " << k + 2;
}

TEST(StateFiles, ADamagedOrForeignStateIsRefusedWithTheReason) {
  NEED_GAME();
  GameCopy game;
  ASSERT_EQ(game.run("--seed 3 --frames 300 --save-state 200:s.state").exitCode, 0);
  const std::string good = game.read("s.state");
  ASSERT_GT(good.size(), 100u);
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(game.file(name), std::ios::binary) << bytes;
  };
  std::string version = good;
  version[4] = 9;
  std::string trailing = good + "x";
  write("cut.state", good.substr(0, good.size() / 2));
  write("header.state", good.substr(0, 10));
  write("garbage.state", std::string(200, '\x7f'));
  write("version.state", version);
  write("trailing.state", trailing);
  struct Case {
    const char* file;
    const char* says;
  };
  for (const Case& c : {Case{"cut.state", "left"}, Case{"header.state", "left"}, Case{"garbage.state", "TVSF"},
                        Case{"version.state", "version 9"}, Case{"trailing.state", "after the state"},
                        Case{"missing.state", "cannot open"}, Case{".", "regular"}}) {
    SCOPED_TRACE(c.file);
    const gameprogram::Run run = game.run(std::string("--load-state ") + c.file + " --frames 5");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  // Another game folder: one data file changed.
  std::ofstream(game.file("game/data/rules.txt"), std::ios::app) << "\n# changed\n";
  const gameprogram::Run other = game.run("--load-state s.state --frames 5");
  EXPECT_EQ(other.exitCode, 1);
  EXPECT_NE(other.err.find("other game data"), std::string::npos) << other.err;

  const gameprogram::Run unwritable = game.run("--frames 5 --save-state 2:/nonexistent-folder/s.state");
  EXPECT_EQ(unwritable.exitCode, 3);
  EXPECT_NE(unwritable.err.find("Cannot write the state to /nonexistent-folder/s.state"), std::string::npos)
      << unwritable.err;
  for (const char* bad : {"--sync-test 0", "--sync-test 100000", "--save-state 5", "--save-state x:f"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(game.run(std::string(bad) + " --frames 5").exitCode, 2);
  }
}

}  // namespace
