// The default game, played to the end by the built-in player and by nobody.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine_support.h"

namespace {

const std::filesystem::path kGame = TERVALEN_BINARY_DIR "/game";

struct GameRun {
  int exitCode = -1;
  std::string result;               // the "result=..." line
  std::vector<std::string> scenes;  // the scenes the trace went through, in order
};

bool haveGame() {
  return std::filesystem::exists(TERVALEN_BINARY_DIR "/tervalen") && std::filesystem::exists(kGame / "data");
}

std::string field(const std::string& line, const std::string& name) {
  size_t at = line.find("\"" + name + "\":\"");
  if (at == std::string::npos) return "";
  at += name.size() + 4;
  return line.substr(at, line.find('"', at) - at);
}

GameRun play(const std::string& args, const ScratchDir& dir, const std::filesystem::path& game = kGame) {
  std::string cmd = std::string(TERVALEN_BINARY_DIR "/tervalen --root '") + game.string() +
                    "' --headless --trace '" + dir.file("trace.jsonl") + "' " + args + " >'" +
                    dir.file("out.txt") + "' 2>'" + dir.file("err.txt") + "'";
  int status = std::system(cmd.c_str());
  GameRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream out(dir.file("out.txt"));
  for (std::string line; std::getline(out, line);)
    if (line.rfind("result=", 0) == 0) run.result = line;
  std::ifstream trace(dir.file("trace.jsonl"));
  for (std::string line; std::getline(trace, line);) {
    if (line.rfind("{\"frame\":", 0) != 0) continue;  // the header
    std::string scene = field(line, "scene");
    if (run.scenes.empty() || run.scenes.back() != scene) run.scenes.push_back(scene);
  }
  return run;
}

// The default game's ways from the first street to the hall: the docks branch
// to the market or the rooftops, which meet at the temple; the temple branches
// to the yard or the warehouse, which meet at the hall.
const std::map<std::string, std::set<std::string>> kWaysOn = {
    {"Test", {"harbor"}},          {"harbor", {"market", "rooftop"}}, {"market", {"temple"}},
    {"rooftop", {"temple"}},       {"temple", {"yard", "warehouse"}}, {"yard", {"zd"}},
    {"warehouse", {"zd"}},
};

TEST(DefaultGame, TheBuiltInPlayerWinsByDifferentWaysOnDifferentSeeds) {
  if (!haveGame()) GTEST_SKIP() << "no game folder laid out in " << kGame;
  std::set<std::vector<std::string>> routes;
  for (int seed : {1, 2, 3, 4, 5, 6}) {
    ScratchDir dir;
    GameRun run = play("--autoplay --frames 60000 --seed " + std::to_string(seed), dir);
    EXPECT_EQ(run.exitCode, 0) << "seed " << seed;
    EXPECT_EQ(run.result.rfind("result=victory", 0), 0u) << "seed " << seed << ": " << run.result;
    ASSERT_GE(run.scenes.size(), 6u) << "seed " << seed;
    EXPECT_EQ(run.scenes.front(), "Test");
    EXPECT_EQ(run.scenes.back(), "zd");
    for (size_t i = 0; i + 1 < run.scenes.size(); ++i) {
      auto ways = kWaysOn.find(run.scenes[i]);
      ASSERT_NE(ways, kWaysOn.end()) << "seed " << seed << " went through " << run.scenes[i];
      EXPECT_EQ(ways->second.count(run.scenes[i + 1]), 1u)
          << "seed " << seed << ": no door leads from " << run.scenes[i] << " to " << run.scenes[i + 1];
    }
    routes.insert(run.scenes);
  }
  // The door is chosen from what the player has seen: the seeds do not all go the same way.
  EXPECT_GE(routes.size(), 2u);
  std::set<std::string> visited;
  for (const auto& r : routes) visited.insert(r.begin(), r.end());
  for (const char* scene : {"market", "rooftop", "yard", "warehouse"})
    EXPECT_EQ(visited.count(scene), 1u) << "no seed of 1 to 6 goes through " << scene;
}

// A street with two doors on one line: the second lies beyond the first.
const char* kForkedStreet = R"(scene "Test"
size width=1400 depth=470
picture-set 7
prop-chara "prop"
background 0
enemy "guai01" x=330 z=400
wall x=700 z=155 width=1400 depth=310 height=200
door "harbor" x=700 z=400 entry-x=120 entry-z=400
door "market" x=1100 z=400 entry-x=120 entry-z=400
)";

TEST(BuiltInPlayer, ChoosesBetweenTwoDoorsAndWalksPastTheOneItDidNotChoose) {
  if (!haveGame() || !std::filesystem::exists(TERVALEN_BINARY_DIR "/tervalen-data"))
    GTEST_SKIP() << "no game folder laid out in " << kGame;
  ScratchDir dir;
  const std::filesystem::path game = dir.path() / "game";
  std::filesystem::copy(kGame, game, std::filesystem::copy_options::recursive);
  std::ofstream(dir.file("street.txt")) << kForkedStreet;
  const std::string compile = std::string(TERVALEN_BINARY_DIR "/tervalen-data compile '") + dir.file("street.txt") +
                              "' -o '" + (game / "data/scene/Test.dat").string() + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(compile.c_str()), 0);
  // This street is not the game's: it plays by the game's rules from before its
  // streets were held in stretches and its doors reached at any depth.
  std::filesystem::copy_file(TERVALEN_SOURCE_DIR "/tests/golden/classic-rules.txt", game / "data/rules.txt",
                             std::filesystem::copy_options::overwrite_existing);
  std::map<std::string, int> wentTo;
  for (int seed = 1; seed <= 8; ++seed) {
    GameRun run = play("--autoplay --frames 5000 --seed " + std::to_string(seed), dir, game);
    ASSERT_GE(run.scenes.size(), 2u) << "seed " << seed << " never left the street: " << run.result;
    EXPECT_EQ(run.scenes[0], "Test");
    ++wentTo[run.scenes[1]];
  }
  // Both ways are taken, so the far door was reached past the near one.
  EXPECT_GT(wentTo["harbor"], 0);
  EXPECT_GT(wentTo["market"], 0);
  EXPECT_EQ(wentTo["harbor"] + wentTo["market"], 8);
}

TEST(DefaultGameUnattended, APlayerWhoNeverPressesAKeyIsDefeated) {
  if (!haveGame()) GTEST_SKIP() << "no game folder laid out in " << kGame;
  ScratchDir dir;
  GameRun run = play("--frames 30000 --seed 5", dir);
  EXPECT_EQ(run.result.rfind("result=defeat", 0), 0u) << run.result;
  EXPECT_EQ(run.scenes, std::vector<std::string>{"Test"});
}

}  // namespace
