// The files a run writes (--trace, --record, --screenshot, the result line):
// a write that fails is said once on stderr and in the log with the file and
// the reason, the game plays on, and the run exits with status 3. And the
// replay a run reads must be a regular file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "game_program.h"
#include "log_text.h"

namespace {

using gameprogram::GameCopy;


#define NEED_GAME() \
  if (!gameprogram::haveGame()) GTEST_SKIP() << "no game laid out in " TERVALEN_BINARY_DIR "/game"

constexpr const char* kNoSpace = ": No space left on device";
constexpr const char* kNoFolder = ": No such file or directory";

TEST(GameOutputs, AFullDiskUnderTheTraceRecordingOrScreenshotIsReportedOnceAndThePlayGoesOn) {
  NEED_GAME();
  GameCopy game;
  struct Case {
    std::string args;
    std::string message;
  };
  const Case cases[] = {
      {"--trace /dev/full", std::string("Cannot write the trace to /dev/full") + kNoSpace},
      {"--record /dev/full", std::string("Cannot write the recording to /dev/full") + kNoSpace},
      {"--screenshot 10:/dev/full --screenshot 10:shot.png",
       std::string("Cannot write the screenshot of frame 10 to /dev/full") + kNoSpace},
      {"--screenshot 20:no/such/folder/shot.png",
       "Cannot write the screenshot of frame 20 to " + game.file("no/such/folder/shot.png") + kNoFolder},
  };
  for (const Case& c : cases) {
    const gameprogram::Run run = game.run("--autoplay --seed 1 --frames 500 " + c.args);
    EXPECT_EQ(run.exitCode, 3) << c.args << "\n" << run.err;
    EXPECT_EQ(run.result().rfind("result=running", 0), 0u) << c.args << ": " << run.out;
    EXPECT_NE(run.result().find("frames=500"), std::string::npos) << c.args << ": the game stopped";
    EXPECT_EQ(countOccurrences(run.err, c.message), 1u) << c.args << "\n" << run.err;
    EXPECT_EQ(countOccurrences(run.log, c.message), 1u) << c.args << "\n" << run.log;
  }
  // The other screenshot of the same frame was written.
  SDL_Surface* shot = IMG_Load(game.file("shot.png").c_str());
  ASSERT_NE(shot, nullptr) << IMG_GetError();
  EXPECT_EQ(shot->w, 800);
  SDL_FreeSurface(shot);
}

TEST(GameOutputs, ATraceOrRecordingThatCannotBeCreatedStopsTheRunBeforeItStarts) {
  NEED_GAME();
  GameCopy game;
  const gameprogram::Run trace = game.run("--autoplay --frames 500 --trace no/such/folder/t.jsonl");
  EXPECT_EQ(trace.exitCode, 3);
  EXPECT_EQ(trace.result(), "") << "no game was played";
  const std::string traceMessage = "Cannot write the trace to " + game.file("no/such/folder/t.jsonl") + kNoFolder;
  EXPECT_EQ(countOccurrences(trace.err, traceMessage), 1u) << trace.err;
  EXPECT_EQ(countOccurrences(trace.log, traceMessage), 1u) << trace.log;

  const gameprogram::Run record = game.run("--autoplay --frames 500 --record no/such/folder/r.rep");
  EXPECT_EQ(record.exitCode, 3);
  EXPECT_EQ(record.result(), "");
  const std::string recordMessage = "Cannot write the recording to " + game.file("no/such/folder/r.rep") + kNoFolder;
  EXPECT_EQ(countOccurrences(record.err, recordMessage), 1u) << record.err;
  EXPECT_EQ(countOccurrences(record.log, recordMessage), 1u) << record.log;
}

TEST(GameOutputs, AResultLineThatCannotBeWrittenIsAFailure) {
  NEED_GAME();
  GameCopy game;
  const gameprogram::Run run = game.run("--frames 50", "/dev/full");
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_NE(run.err.find(std::string("Cannot write the result to standard output") + kNoSpace), std::string::npos)
      << run.err;
  // And a run whose files are all written exits 0.
  const gameprogram::Run fine = game.run("--autoplay --seed 2 --frames 300 --trace t.jsonl --record r.rep --screenshot 5:s.png");
  EXPECT_EQ(fine.exitCode, 0) << fine.err;
  EXPECT_EQ(fine.err, "");
}

TEST(GameOutputs, AReplayMustBeARegularFile) {
  NEED_GAME();
  GameCopy game;
  std::filesystem::create_directories(game.file("folder.rep"));
  const gameprogram::Run folder = game.run("--replay folder.rep --frames 10");
  EXPECT_EQ(folder.exitCode, 2);
  EXPECT_NE(folder.err.find("folder.rep: cannot read the replay: not a regular file"), std::string::npos)
      << folder.err;

  ASSERT_EQ(mkfifo(game.file("pipe.rep").c_str(), 0600), 0);
  const auto start = std::chrono::steady_clock::now();
  const gameprogram::Run fifo = game.run("--replay pipe.rep --frames 10");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << "it waited for a writer";
  EXPECT_EQ(fifo.exitCode, 2);
  EXPECT_NE(fifo.err.find("not a regular file"), std::string::npos) << fifo.err;

  // A long bad key is quoted, not echoed whole.
  writeFile(game.file("long.rep"), "1 down " + std::string(10'000'000, 'K') + "\n");
  const gameprogram::Run longKey = game.run("--replay long.rep --frames 10");
  EXPECT_EQ(longKey.exitCode, 2);
  EXPECT_LT(longKey.err.size(), 8000u) << "the error and the options' help";
  EXPECT_NE(longKey.err.find("long.rep:1: unknown key \"" + std::string(40, 'K') + "\"..."), std::string::npos)
      << longKey.err.substr(0, 500);
}

}  // namespace
