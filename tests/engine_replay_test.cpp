// Replay files: reading them, recording a run, and feeding a run from one.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <map>

#include "engine/Replay.h"
#include "engine_support.h"
#include "log_text.h"

namespace {

TEST(ReplayParsing, ReadsEventsSkippingBlankLinesAndComments) {
  ReplayFile file;
  std::string error;
  ASSERT_TRUE(parseReplay("# a short fight\n1 down J\r\n\n  3   up   J\n3 down ESC\n120 down Z", "fight.rep", file,
                          error))
      << error;
  // A file from before seeds and checks were stored.
  EXPECT_FALSE(file.seed.has_value());
  EXPECT_TRUE(file.checks.empty());
  const std::vector<ReplayEvent>& events = file.events;
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].frame, 1);
  EXPECT_TRUE(events[0].down);
  EXPECT_EQ(events[0].key, HGEK_J);
  EXPECT_EQ(events[1].frame, 3);
  EXPECT_FALSE(events[1].down);
  EXPECT_EQ(events[2].key, HGEK_ESCAPE);
  EXPECT_EQ(events[3].frame, 120);
  EXPECT_EQ(events[3].key, HGEK_Z);
}

TEST(ReplayParsing, AMalformedLineIsNamedWithItsFileAndLine) {
  struct Case {
    const char* text;
    const char* expect;
  };
  const Case cases[] = {
      {"1 down J\n2 press J\n", "fight.rep:2:"},
      {"1 down J\n\n0 down J\n", "fight.rep:3:"},
      {"x down J\n", "fight.rep:1:"},
      {"5 down J\n4 up J\n", "fight.rep:2:"},
      {"1 down j\n", "fight.rep:1:"},
      {"1 down F1\n", "fight.rep:1:"},
      {"1 down\n", "fight.rep:1:"},
      {"1 down J extra\n", "fight.rep:1:"},
      {"99999999999 down J\n", "fight.rep:1:"},
      {"-3 down J\n", "fight.rep:1:"},
      {"+3 down J\n", "fight.rep:1:"},
      // Seeds: one, before the first frame line, a whole 32-bit number.
      {"seed 1\nseed 1\n", "fight.rep:2:"},
      {"1 down J\nseed 3\n", "fight.rep:2:"},
      {"seed\n", "fight.rep:1:"},
      {"seed 1 2\n", "fight.rep:1:"},
      {"seed x\n", "fight.rep:1:"},
      {"seed 2147483648\n", "fight.rep:1:"},
      // Checks: 16 hexadecimal digits, one per frame, in frame order.
      {"100 check 123\n", "fight.rep:1:"},
      {"100 check 0123456789abcdefa\n", "fight.rep:1:"},
      {"100 check 0123456789abcdeg\n", "fight.rep:1:"},
      {"100 check -123456789abcdef\n", "fight.rep:1:"},
      {"100 check 0123456789abcdef\n100 check 0123456789abcdef\n", "fight.rep:2:"},
      {"200 check 0123456789abcdef\n100 down J\n", "fight.rep:2:"},
      // The difficulty and the heroes: once, before the first frame line.
      {"difficulty hard\ndifficulty easy\n", "fight.rep:2:"},
      {"1 down J\ndifficulty hard\n", "fight.rep:2:"},
      {"difficulty\n", "fight.rep:1:"},
      {"hero 5 c_kaelin\n", "fight.rep:1:"},
      {"hero 1\n", "fight.rep:1:"},
      {"hero 2 c_kaelin\nhero 2 c_morivane\n", "fight.rep:2:"},
      {"1 down J\nhero 1 c_kaelin\n", "fight.rep:2:"},
  };
  for (const Case& c : cases) {
    ReplayFile file;
    std::string error;
    EXPECT_FALSE(parseReplay(c.text, "fight.rep", file, error)) << c.text;
    EXPECT_EQ(error.rfind(c.expect, 0), 0u) << "for \"" << c.text << "\": " << error;
  }
}

TEST(ReplayParsing, ReadsTheDifficultyAndEachSeatsHero) {
  ReplayFile file;
  std::string error;
  ASSERT_TRUE(parseReplay("seed 4\ndifficulty hard\nhero 2 c_kaelin\nhero 1 c_morivane\n1 down J\n", "r.rep", file,
                          error))
      << error;
  EXPECT_EQ(file.difficulty, "hard");
  EXPECT_EQ(file.heroes, (std::vector<std::pair<int, std::string>>{{2, "c_kaelin"}, {1, "c_morivane"}}));
  ASSERT_TRUE(parseReplay("1 down J\n", "r.rep", file, error));
  EXPECT_FALSE(file.difficulty) << "a replay without the line plays normal";
}

TEST(ReplayParsing, ReadsTheSeedAndTheChecks) {
  ReplayFile file;
  std::string error;
  ASSERT_TRUE(parseReplay("# recorded\nseed -5\n1 down J\n100 check 0123456789ABCDEF\n150 up J\n"
                          "200 check ffffffffffffffff\n",
                          "run.rep", file, error))
      << error;
  ASSERT_TRUE(file.seed.has_value());
  EXPECT_EQ(*file.seed, -5);
  EXPECT_EQ(file.events.size(), 2u);
  ASSERT_EQ(file.checks.size(), 2u);
  EXPECT_EQ(file.checks[0].frame, 100);
  EXPECT_EQ(file.checks[0].checksum, 0x0123456789abcdefULL);
  EXPECT_EQ(file.checks[1].checksum, 0xffffffffffffffffULL);

  ReplayPlayer player(file);
  EXPECT_TRUE(player.hasChecks());
  EXPECT_EQ(player.checkAt(100), std::optional<uint64_t>(0x0123456789abcdefULL));
  EXPECT_EQ(player.checkAt(200), std::optional<uint64_t>(0xffffffffffffffffULL));
  EXPECT_FALSE(player.checkAt(150).has_value());
  EXPECT_FALSE(player.checkAt(300).has_value());
}

TEST(ReplayParsing, AnOverlongWordIsQuotedCutShort) {
  // A 10 MB key: the message quotes its first 40 characters, not all of it.
  ReplayFile file;
  std::string error;
  EXPECT_FALSE(parseReplay("1 down " + std::string(10'000'000, 'Q') + "\n", "big.rep", file, error));
  EXPECT_LT(error.size(), 320u) << error.substr(0, 400);
  EXPECT_NE(error.find("\"" + std::string(40, 'Q') + "\"..."), std::string::npos) << error;
  // Control bytes are shown as escapes, so the message cannot drive the terminal.
  EXPECT_FALSE(parseReplay("1 down \x1b[2J\n", "esc.rep", file, error));
  EXPECT_NE(error.find("\"\\x1B[2J\""), std::string::npos) << error;
  EXPECT_EQ(error.find('\x1b'), std::string::npos);
  // A cut never splits a UTF-8 character.
  EXPECT_FALSE(parseReplay("1 " + std::string(39, 'a') + "\xC3\xA9xyz J\n", "utf.rep", file, error));
  EXPECT_NE(error.find("\"" + std::string(39, 'a') + "\"..."), std::string::npos) << error;
}

TEST(ReplayParsing, OnlyARegularFileIsAReplay) {
  ScratchDir dir;
  ReplayFile file;
  std::string error;
  // A folder was once taken as an empty replay.
  EXPECT_FALSE(loadReplay(dir.path().string(), file, error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  // A FIFO is refused at once rather than waited on.
  ASSERT_EQ(mkfifo(dir.file("pipe.rep").c_str(), 0600), 0);
  EXPECT_FALSE(loadReplay(dir.file("pipe.rep"), file, error));
  EXPECT_NE(error.find("pipe.rep"), std::string::npos) << error;
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}

TEST(ReplayParsing, AMissingFileIsReported) {
  ReplayFile file;
  std::string error;
  EXPECT_FALSE(loadReplay("/nonexistent/run.rep", file, error));
  EXPECT_NE(error.find("/nonexistent/run.rep"), std::string::npos);
}

TEST(ReplayParsing, LinesWriteAsTheyRead) {
  EXPECT_EQ(formatReplayEvent({12, true, HGEK_W}), "12 down W");
  EXPECT_EQ(formatReplayEvent({7, false, HGEK_ESCAPE}), "7 up ESC");
  EXPECT_EQ(replayKeyName(HGEK_SPACE), nullptr);
  EXPECT_EQ(formatReplaySeed(-2147483647 - 1), "seed -2147483648");
  EXPECT_EQ(formatReplayCheck({300, 0xabcULL}), "300 check 0000000000000abc");
  ReplayFile file;
  std::string error;
  ASSERT_TRUE(parseReplay(formatReplaySeed(0) + "\n" + formatReplayCheck({300, 0xfedcba9876543210ULL}) + "\n", "x",
                          file, error))
      << error;
  EXPECT_EQ(file.seed, std::optional<int32_t>(0));
  ASSERT_EQ(file.checks.size(), 1u);
  EXPECT_EQ(file.checks[0].checksum, 0xfedcba9876543210ULL);
}

// Frames in which `key` went down during a headless run of `frames` frames.
std::vector<int> framesDown(HGE* hge, int frames, int key) {
  std::vector<int> downs;
  hge->System_SetState(HGE_MAXFRAMES, frames);
  hge->System_SetState(HGE_FRAMEFUNC, [&] {
    if (hge->Input_KeyDown(key)) downs.push_back(hge->System_GetFrame());
    return false;
  });
  EXPECT_TRUE(hge->System_Initiate()) << hge->System_GetErrorMessage();
  EXPECT_TRUE(hge->System_Start());
  hge->System_Shutdown();
  return downs;
}

TEST(ReplayRun, AKeyListedAtFrameFGoesDownDuringFrameF) {
  ScratchDir dir;
  writeFile(dir.file("run.rep"), "3 down J\n3 up J\n6 down J\n9 up J\n");
  TestEngine engine;
  engine->System_SetState(HGE_REPLAYFILE, dir.file("run.rep").c_str());
  EXPECT_EQ(framesDown(engine.get(), 10, HGEK_J), (std::vector<int>{3, 6}));
}

TEST(ReplayRun, AMalformedReplayStopsTheEngineFromStarting) {
  ScratchDir dir;
  writeFile(dir.file("bad.rep"), "1 down J\nnonsense\n");
  TestEngine engine;
  engine->System_SetState(HGE_REPLAYFILE, dir.file("bad.rep").c_str());
  EXPECT_FALSE(engine->System_Initiate());
  EXPECT_NE(engine->System_GetErrorMessage().find("bad.rep:2:"), std::string::npos)
      << engine->System_GetErrorMessage();
}

TEST(ReplayRun, ARecordedRunReplaysToTheSameKeys) {
  ScratchDir dir;
  std::vector<int> original;
  {
    TestEngine engine;
    HGE* hge = engine.get();
    engine->System_SetState(HGE_RECORDFILE, dir.file("rec.rep").c_str());
    engine->Random_SetSeed(-12);
    hge->System_SetState(HGE_INPUTFUNC, [hge] {
      int f = hge->System_GetFrame();
      if (f == 2 || f == 5) hge->Input_InjectKey(HGEK_K, true);
      if (f == 2 || f == 8) hge->Input_InjectKey(HGEK_K, false);
      if (f == 4) hge->Input_InjectKey(HGEK_SPACE, true);  // not a replay key: not recorded
      return false;
    });
    original = framesDown(hge, 10, HGEK_K);
  }
  EXPECT_EQ(original, (std::vector<int>{2, 5}));
  EXPECT_EQ(readFile(dir.file("rec.rep")), "seed -12\n2 down K\n2 up K\n5 down K\n8 up K\n");
  TestEngine engine;
  engine->System_SetState(HGE_REPLAYFILE, dir.file("rec.rep").c_str());
  EXPECT_EQ(framesDown(engine.get(), 10, HGEK_K), original);
}

}  // namespace

namespace {

size_t countLines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

// A run of `frames` frames whose "world" is the frame number: the checksum
// function gives `checksum(frame)`.
struct CheckedRun {
  int framesRun = 0;
  int diverged = 0;
  int outputFailures = 0;
  std::string err;
};

CheckedRun runChecked(HGE* hge, int frames, std::function<uint64_t(int)> checksum) {
  CheckedRun run;
  hge->System_SetState(HGE_MAXFRAMES, frames);
  hge->System_SetState(HGE_FRAMEFUNC, [] { return false; });
  hge->System_SetState(HGE_CHECKSUMFUNC, [hge, checksum] { return checksum(hge->System_GetFrame()); });
  EXPECT_TRUE(hge->System_Initiate()) << hge->System_GetErrorMessage();
  testing::internal::CaptureStderr();
  hge->System_Start();
  run.err = testing::internal::GetCapturedStderr();
  run.framesRun = hge->System_GetFrame();
  run.diverged = hge->System_GetState(HGE_DIVERGEDFRAME);
  hge->System_Shutdown();
  run.outputFailures = hge->System_GetState(HGE_OUTPUTFAILURES);
  return run;
}

uint64_t byFrame(int frame) { return 0x9e3779b97f4a7c15ULL * static_cast<uint64_t>(frame); }

TEST(ReplayChecks, ARecordingHoldsTheSeedAndAChecksumEvery100Frames) {
  ScratchDir dir;
  TestEngine engine;
  engine->System_SetState(HGE_RECORDFILE, dir.file("rec.rep").c_str());
  engine->Random_Seed(0);  // a fresh seed: it is what the file must hold
  const int seed = engine->Random_GetSeed();
  EXPECT_GE(seed, 1);
  CheckedRun run = runChecked(engine.get(), 350, byFrame);
  EXPECT_EQ(run.framesRun, 350);
  EXPECT_EQ(readFile(dir.file("rec.rep")), "seed " + std::to_string(seed) + "\n" +
                                               formatReplayCheck({100, byFrame(100)}) + "\n" +
                                               formatReplayCheck({200, byFrame(200)}) + "\n" +
                                               formatReplayCheck({300, byFrame(300)}) + "\n");
}

TEST(ReplayChecks, AReplayStopsAtTheFirstCheckTheWorldNoLongerMatches) {
  ScratchDir dir;
  {
    TestEngine engine;
    engine->System_SetState(HGE_RECORDFILE, dir.file("rec.rep").c_str());
    runChecked(engine.get(), 500, byFrame);
  }
  {
    // The same world: played to the end.
    TestEngine engine;
    engine->System_SetState(HGE_LOGFILE, dir.file("same.txt").c_str());
    engine->System_SetState(HGE_REPLAYFILE, dir.file("rec.rep").c_str());
    CheckedRun run = runChecked(engine.get(), 500, byFrame);
    EXPECT_EQ(run.framesRun, 500);
    EXPECT_EQ(run.diverged, 0);
    EXPECT_EQ(run.err, "");
  }
  // A world that goes its own way from frame 250 is caught at the check of frame 300.
  TestEngine engine;
  engine->System_SetState(HGE_LOGFILE, dir.file("log.txt").c_str());
  engine->System_SetState(HGE_REPLAYFILE, dir.file("rec.rep").c_str());
  int rendered = 0;
  engine->System_SetState(HGE_RENDERFUNC, [&rendered] {
    ++rendered;
    return false;
  });
  CheckedRun run = runChecked(engine.get(), 500, [](int frame) { return frame < 250 ? byFrame(frame) : 7; });
  EXPECT_EQ(run.diverged, 300);
  EXPECT_EQ(run.framesRun, 300) << "the run stops where it diverged";
  EXPECT_EQ(rendered, 299);
  EXPECT_EQ(run.err.rfind("replay diverged at frame 300", 0), 0u) << run.err;
  EXPECT_EQ(countLines(run.err), 1u) << run.err;
  EXPECT_NE(readFile(dir.file("log.txt")).find("replay diverged at frame 300"), std::string::npos);
}

TEST(ReplayChecks, CheckLinesAreComparedAtTheirOwnFrames) {
  // A hand-written file may check any frame, not only every hundredth.
  ScratchDir dir;
  writeFile(dir.file("hand.rep"), "seed 4\n" + formatReplayCheck({37, byFrame(37)}) + "\n" +
                                       formatReplayCheck({41, byFrame(40)}) + "\n");
  TestEngine engine;
  engine->System_SetState(HGE_REPLAYFILE, dir.file("hand.rep").c_str());
  CheckedRun run = runChecked(engine.get(), 100, byFrame);
  EXPECT_EQ(run.diverged, 41);
  EXPECT_EQ(run.framesRun, 41);
}

TEST(ReplayChecks, ARecordingThatCannotBeWrittenIsReportedOnceAndTheRunGoesOn) {
  ScratchDir dir;
  {
    // /dev/full takes the file open, then every write fails with "No space left on device".
    TestEngine engine;
    engine->System_SetState(HGE_LOGFILE, dir.file("log.txt").c_str());
    engine->System_SetState(HGE_RECORDFILE, "/dev/full");
    engine->System_SetState(HGE_INPUTFUNC, [hge = engine.get()] {
      hge->Input_InjectKey(HGEK_J, hge->System_GetFrame() % 2 == 0);
      return false;
    });
    CheckedRun run = runChecked(engine.get(), 300, byFrame);
    EXPECT_EQ(run.framesRun, 300);
    EXPECT_EQ(run.outputFailures, 1);
    EXPECT_EQ(countLines(run.err), 1u) << run.err;
    EXPECT_NE(run.err.find("/dev/full: No space left on device"), std::string::npos) << run.err;
  }
  EXPECT_EQ(countOccurrences(readFile(dir.file("log.txt")), "/dev/full: No space left on device"), 1u);

  // A folder that does not exist: the engine does not start, and says why.
  TestEngine engine;
  engine->System_SetState(HGE_RECORDFILE, dir.file("no/such/folder/rec.rep").c_str());
  EXPECT_FALSE(engine->System_Initiate());
  EXPECT_NE(engine->System_GetErrorMessage().find("no/such/folder/rec.rep: No such file or directory"),
            std::string::npos)
      << engine->System_GetErrorMessage();
  EXPECT_EQ(engine->System_GetState(HGE_OUTPUTFAILURES), 1);
}

TEST(ReplayChecks, SeedsAreExactAndZeroIsOneOfThem) {
  TestEngine engine;
  auto draws = [&] {
    std::vector<int> out;
    for (int i = 0; i < 8; ++i) out.push_back(engine->Random_Int(0, 1 << 30));
    return out;
  };
  engine->Random_SetSeed(0);
  const std::vector<int> zero = draws();
  const uint64_t stateAfter = engine->Random_GetState();
  engine->Random_SetSeed(0);
  EXPECT_EQ(draws(), zero) << "seed 0 is a seed like any other";
  EXPECT_EQ(engine->Random_GetState(), stateAfter);
  EXPECT_EQ(engine->Random_GetSeed(), 0);
  // Random_Seed keeps its meaning: a number is that seed, 0 a fresh one that can be set again.
  engine->Random_Seed(77);
  EXPECT_EQ(engine->Random_GetSeed(), 77);
  const std::vector<int> seventySeven = draws();
  engine->Random_SetSeed(77);
  EXPECT_EQ(draws(), seventySeven);
  engine->Random_Seed(0);
  const int fresh = engine->Random_GetSeed();
  EXPECT_GE(fresh, 1);
  const std::vector<int> freshDraws = draws();
  engine->Random_SetSeed(fresh);
  EXPECT_EQ(draws(), freshDraws);
  // Reading the state draws nothing.
  const uint64_t before = engine->Random_GetState();
  EXPECT_EQ(engine->Random_GetState(), before);
}

}  // namespace
