// The default game, played to the end by the built-in player and by nobody.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
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

GameRun play(const std::string& args, const ScratchDir& dir) {
  std::string cmd = std::string(TERVALEN_BINARY_DIR "/tervalen --root '") + kGame.string() +
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

class DefaultGame : public ::testing::TestWithParam<int> {};

TEST_P(DefaultGame, TheBuiltInPlayerWinsThroughEveryScene) {
  if (!haveGame()) GTEST_SKIP() << "no game folder laid out in " << kGame;
  ScratchDir dir;
  GameRun run = play("--autoplay --frames 30000 --seed " + std::to_string(GetParam()), dir);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.result.rfind("result=victory", 0), 0u) << run.result;
  std::vector<std::string> order = {"Test", "harbor", "temple", "zd"};
  EXPECT_EQ(run.scenes, order);
}

INSTANTIATE_TEST_SUITE_P(Seeds, DefaultGame, ::testing::Values(1, 2, 3));

TEST(DefaultGameUnattended, APlayerWhoNeverPressesAKeyIsDefeated) {
  if (!haveGame()) GTEST_SKIP() << "no game folder laid out in " << kGame;
  ScratchDir dir;
  GameRun run = play("--frames 30000 --seed 5", dir);
  EXPECT_EQ(run.result.rfind("result=defeat", 0), 0u) << run.result;
  EXPECT_EQ(run.scenes, std::vector<std::string>{"Test"});
}

}  // namespace
