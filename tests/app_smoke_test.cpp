// The built game program, run as a player or a script would run it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "engine_support.h"

namespace {

struct ProgramRun {
  int exitCode = -1;
  std::string out, err;
};

ProgramRun runGame(const std::string& args, const ScratchDir& dir) {
  std::string cmd = "cd '" + dir.path().string() + "' && " + TERVALEN_BINARY_DIR "/tervalen " + args + " >'" +
                    dir.file("stdout.txt") + "' 2>'" + dir.file("stderr.txt") + "'";
  ProgramRun run;
  int status = std::system(cmd.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = readFile(dir.file("stdout.txt"));
  run.err = readFile(dir.file("stderr.txt"));
  return run;
}

bool haveProgram() { return std::filesystem::exists(TERVALEN_BINARY_DIR "/tervalen"); }

TEST(GameProgram, AnUnknownOptionPrintsTheUsageAndExitsWith2) {
  if (!haveProgram()) GTEST_SKIP() << "tervalen is not built in " TERVALEN_BINARY_DIR;
  ScratchDir dir;
  ProgramRun run = runGame("--borderless", dir);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("--borderless"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Usage: tervalen"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.empty());
}

TEST(GameProgram, AMalformedReplayIsAUsageError) {
  if (!haveProgram()) GTEST_SKIP() << "tervalen is not built in " TERVALEN_BINARY_DIR;
  ScratchDir dir;
  writeFile(dir.file("bad.rep"), "1 down J\n2 down Q R\n");
  ProgramRun run = runGame("--headless --replay bad.rep", dir);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("bad.rep:2:"), std::string::npos) << run.err;
}

TEST(GameProgram, AFolderWithoutTheGameExitsWithTheReason) {
  if (!haveProgram()) GTEST_SKIP() << "tervalen is not built in " TERVALEN_BINARY_DIR;
  ScratchDir dir;
  std::filesystem::create_directories(dir.path() / "data");
  ProgramRun run = runGame("--headless --frames 10", dir);
  EXPECT_NE(run.exitCode, 0);
  // The reason reaches the player on stderr and the log.
  EXPECT_NE(run.err.find("data/"), std::string::npos) << run.err;
  std::string log = readFile(dir.file("log.txt"));
  EXPECT_EQ(log.rfind("游戏开始\n", 0), 0u) << log;
  EXPECT_NE(run.out.find("result="), std::string::npos) << run.out;

  ProgramRun missing = runGame("--headless --root no-such-folder", dir);
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("no-such-folder"), std::string::npos) << missing.err;
}

TEST(GameProgram, RunsAThousandHeadlessFramesOfTheBuiltGame) {
  if (!haveProgram()) GTEST_SKIP() << "tervalen is not built in " TERVALEN_BINARY_DIR;
  std::filesystem::path game = TERVALEN_BINARY_DIR "/game";
  if (!std::filesystem::exists(game / "data")) GTEST_SKIP() << "no game folder laid out in " << game;
  ScratchDir dir;
  std::filesystem::copy(game, dir.path() / "game", std::filesystem::copy_options::recursive);
  ProgramRun run = runGame("--root game --headless --frames 1000 --seed 7 --screenshot 500:shot.png", dir);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("frames=1000"), std::string::npos) << run.out;
  // The screenshot path is taken from where the program was started.
  SDL_Surface* shot = IMG_Load(dir.file("shot.png").c_str());
  ASSERT_NE(shot, nullptr) << IMG_GetError();
  EXPECT_EQ(shot->w, 800);
  EXPECT_EQ(shot->h, 480);
  SDL_FreeSurface(shot);
}

}  // namespace
