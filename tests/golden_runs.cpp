// The golden runs: recorded games replayed from their keys, with the world's
// checksum every 10th frame and the result line compared to what they gave
// when they were recorded (tests/golden/*.golden). They prove that a change
// meant to leave the game alone plays the same game, frame for frame.
//
// To record them again after an intended change of the game's behaviour:
//   TERVALEN_GOLDEN_WRITE=1 build/tervalen_tests --gtest_filter='GoldenRuns*'
// and say in the commit why the game now plays differently.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/ScreenFlow.h"
#include "engine/hge.h"
#include "engine_support.h"
#include "golden_checksum.h"
#include "world/RulesFile.h"
#include "world/World.h"
#include "world/Trace.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = TERVALEN_SOURCE_DIR "/tests/golden";
const fs::path kDefaultGame = TERVALEN_BINARY_DIR "/game";
constexpr int kCheckEvery = 10;

// One .golden file: how the run is made and what it gave.
struct GoldenRun {
  std::string game;    // "default" (the built game folder) or a folder under tests/golden/
  int seed = 1;
  std::string replay;  // key file under tests/golden/, "" for a run without keys
  // A rules file under tests/golden/ played in place of the folder's own, ""
  // for the folder's own: the default game's runs play by the rules it had
  // before its rules file switched on anything new, which proves that a
  // folder which does not ask for the new rules plays as it always did.
  std::string rules;
  int frames = 0;      // the frame limit
  std::map<int, std::string> checks;  // frame -> checksum
  std::string result;
};

GoldenRun readGolden(const fs::path& path) {
  GoldenRun run;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (key == "game") {
      words >> run.game;
    } else if (key == "seed") {
      words >> run.seed;
    } else if (key == "replay") {
      words >> run.replay;
    } else if (key == "rules") {
      words >> run.rules;
    } else if (key == "frames") {
      words >> run.frames;
    } else if (key == "check") {
      int frame = 0;
      std::string sum;
      words >> frame >> sum;
      run.checks[frame] = sum;
    } else if (key == "result") {
      run.result = line.substr(7);
    }
  }
  return run;
}

void writeGolden(const fs::path& path, const std::string& header, const GoldenRun& run) {
  std::ofstream out(path);
  out << header;
  out << "game " << run.game << "\nseed " << run.seed << "\n";
  if (!run.replay.empty()) out << "replay " << run.replay << "\n";
  if (!run.rules.empty()) out << "rules " << run.rules << "\n";
  out << "frames " << run.frames << "\n";
  for (const auto& [frame, sum] : run.checks) out << "check " << frame << " " << sum << "\n";
  out << "result " << run.result << "\n";
}

std::string headerOf(const fs::path& path) {
  std::ifstream in(path);
  std::string header;
  for (std::string line; std::getline(in, line) && (line.empty() || line[0] == '#');) header += line + "\n";
  return header;
}

// Plays the run headless in the game folder and collects what it gives.
GoldenRun play(const GoldenRun& expected, const ScratchDir& scratch) {
  GoldenRun got = expected;
  got.checks.clear();
  const fs::path folder = expected.game == "default" ? kDefaultGame : kGoldenDir / expected.game;
  const fs::path before = fs::current_path();
  fs::current_path(folder);

  HGE* engine = hgeCreate(HGE_VERSION);
  engine->System_SetState(HGE_HEADLESS, true);
  engine->System_SetState(HGE_USESOUND, false);
  engine->System_SetState(HGE_LOGFILE, scratch.file("log.txt").c_str());
  engine->System_SetState(HGE_MAXFRAMES, expected.frames);
  const std::string replay = expected.replay.empty() ? std::string() : (kGoldenDir / expected.replay).string();
  if (!replay.empty()) engine->System_SetState(HGE_REPLAYFILE, replay.c_str());
  engine->Random_Seed(expected.seed);
  // The folder's own rules file, as the game reads it (a folder without one plays by the game's own table).
  if (!expected.rules.empty()) EXPECT_TRUE(fs::exists(kGoldenDir / expected.rules)) << expected.rules;
  Expected<GameRules> rules = expected.rules.empty() ? readGameRules() : readGameRules((kGoldenDir / expected.rules).string());
  EXPECT_TRUE(rules.ok()) << folder << ": " << rules.error().message();
  {
    ScreenFlow flow(engine, rules.ok() ? *rules : GameRules{}, [engine](int lo, int hi) { return engine->Random_Int(lo, hi); }, nullptr);
    engine->System_SetState(HGE_FRAMEFUNC, [&] { return flow.frame(); });
    // The checksum is taken when the whole frame has run: the world's update
    // and the player's control, whichever callback runs them.
    engine->System_SetState(HGE_RENDERFUNC, [&] {
      flow.render();
      const int frame = engine->System_GetStep();
      if (flow.world() && flow.world()->ready() && frame % kCheckEvery == 0)
        got.checks[frame] = goldenChecksum(*flow.world());
      return false;
    });
    EXPECT_TRUE(engine->System_Initiate()) << engine->System_GetErrorMessage();
    flow.loadScreens();
    engine->System_Start();
    const int frames = engine->System_GetStep();
    const bool limitReached = expected.frames > 0 && frames >= expected.frames;
    got.result = resultLine(flow.world(), flow.quitByPlayer() || !limitReached, frames);
    engine->System_SetState(HGE_FRAMEFUNC, hgeCallback{});
    engine->System_SetState(HGE_RENDERFUNC, hgeCallback{});
  }
  engine->System_Shutdown();
  engine->System_SetState(HGE_REPLAYFILE, "");
  engine->Release();
  fs::current_path(before);
  return got;
}

std::vector<std::string> goldenNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kGoldenDir))
    if (entry.path().extension() == ".golden") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class GoldenRuns : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenRuns, PlayTheSameGameFrameForFrame) {
  const fs::path path = kGoldenDir / (GetParam() + ".golden");
  const GoldenRun want = readGolden(path);
  if (want.game == "default" && !fs::exists(kDefaultGame / "data")) GTEST_SKIP() << "no built game folder";
  ScratchDir scratch;
  const GoldenRun got = play(want, scratch);

  if (const char* write = std::getenv("TERVALEN_GOLDEN_WRITE"); write && std::strcmp(write, "1") == 0) {
    writeGolden(path, headerOf(path), got);
    GTEST_SKIP() << "recorded " << path << ": " << got.result;
  }
  ASSERT_FALSE(want.checks.empty()) << path << " holds no checksums";
  // The first frame whose world differs is where to look.
  for (const auto& [frame, sum] : want.checks) {
    auto it = got.checks.find(frame);
    ASSERT_NE(it, got.checks.end()) << "the run has no frame " << frame << " (it ended: " << got.result << ")";
    ASSERT_EQ(it->second, sum) << "the world differs at frame " << frame;
  }
  EXPECT_EQ(got.checks.size(), want.checks.size()) << "the run went on past the recorded end";
  EXPECT_EQ(got.result, want.result);
}

INSTANTIATE_TEST_SUITE_P(Recorded, GoldenRuns, ::testing::ValuesIn(goldenNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
