// The high-score table: best first, a tie goes below the older run, ten
// places; its text reads back to the same table; a file that is no table
// (garbage, huge, a name outside A-Z) is kept aside and a fresh table begins;
// a folder, a FIFO or a link in its place is left alone; a table that cannot
// be written leaves the old file whole.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "app/ScoresFile.h"
#include "engine_support.h"

namespace {

HighScore run(int32_t score, const std::string& name = "AAA") {
  return HighScore{score, name, "c_morivane", "normal", "2026-12-09", 421};
}

std::vector<int32_t> scoresOf(const HighScores& t) {
  std::vector<int32_t> out;
  for (const HighScore& r : t.runs()) out.push_back(r.score);
  return out;
}

TEST(HighScores, BestFirstTiesBelowTheOlderRunTenPlaces) {
  HighScores t;
  EXPECT_EQ(t.add(run(500, "OLD")), 0);
  EXPECT_EQ(t.add(run(900)), 0);
  EXPECT_EQ(t.add(run(500, "NEW")), 2) << "a tie goes below the run already there";
  EXPECT_EQ(t.runs()[1].name, "OLD");
  for (int i = 0; i < 7; ++i) t.add(run(100 + i));
  EXPECT_EQ(t.runs().size(), 10u);
  EXPECT_EQ(t.placeFor(100), -1) << "a tie with the last of a full table does not enter";
  EXPECT_EQ(t.add(run(100)), -1);
  EXPECT_EQ(t.add(run(102)), 8) << "below the 102 already there";
  EXPECT_EQ(scoresOf(t), (std::vector<int32_t>{900, 500, 500, 106, 105, 104, 103, 102, 102, 101}))
      << "the last run dropped out";

  HighScores back;
  std::string error;
  ASSERT_TRUE(HighScores::parse(t.text(), back, error)) << error;
  EXPECT_TRUE(back.runs() == t.runs());
  EXPECT_EQ(formatRunTime(421), "7:01");
}

TEST(HighScores, TextThatIsNoTableSaysTheLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"500 AB c_morivane normal 2026-12-09 1:00\n", "line 1: the name is not three letters A to Z"},
      {"500 AbC c_morivane normal 2026-12-09 1:00\n", "line 1: the name is not three letters A to Z"},
      {"500 \xC3\x84XY c_morivane normal 2026-12-09 1:00\n", "line 1: the name is not three letters A to Z"},
      {"# ok\n-5 ABC c_morivane normal 2026-12-09 1:00\n", "line 2: the score is not a whole number"},
      {"500 ABC c_morivane brutal 2026-12-09 1:00\n", "line 1: the difficulty is none of easy, normal, hard"},
      {"500 ABC c_morivane easy 09.12.2026 1:00\n", "line 1: the day is not YYYY-MM-DD"},
      {"500 ABC c_morivane easy 2026-12-09 1:60\n", "line 1: the time is not minutes:seconds"},
      {"500 ABC c_morivane easy 2026-12-09\n", "line 1: a run has 6 fields (score, name, heroes, difficulty, day, time), not 5"},
      {"5 ABC h easy 2026-12-09 0:01\n9 ABC h easy 2026-12-09 0:01\n", "line 2: the runs are not best first"},
      {"\x7F\x45LF\x02\x01\n", "line 1: a run has 6 fields (score, name, heroes, difficulty, day, time), not 1"},
  };
  for (const Case& c : cases) {
    HighScores t;
    std::string error;
    EXPECT_FALSE(HighScores::parse(c.text, t, error)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
  std::string eleven;
  for (int i = 0; i < 11; ++i) eleven += "5 ABC h easy 2026-12-09 0:01\n";
  HighScores t;
  std::string error;
  EXPECT_FALSE(HighScores::parse(eleven, t, error));
  EXPECT_EQ(error, "line 11: more than 10 runs");
}

class ScoresFileTest : public ::testing::Test {
 protected:
  std::filesystem::path file() const { return dir.path() / "scores.txt"; }
  HighScores load() {
    log.clear();
    return loadHighScores(file(), [this](const std::string& line) { log.push_back(line); });
  }
  ScratchDir dir;
  std::vector<std::string> log;
};

TEST_F(ScoresFileTest, ATableIsKeptAndReadBack) {
  EXPECT_TRUE(load().runs().empty());
  EXPECT_TRUE(log.empty()) << "no file yet is nothing to say";
  HighScores t;
  t.add(run(700, "KAE"));
  std::string error;
  ASSERT_TRUE(saveHighScores(dir.path() / "new" / "scores.txt", t, error)) << error;
  ASSERT_TRUE(saveHighScores(file(), t, error)) << error;
  EXPECT_TRUE(load().runs() == t.runs());
}

TEST_F(ScoresFileTest, AFileThatIsNoTableIsKeptAsideAndAFreshTableBegins) {
  const std::string garbage[] = {"garbage\n", "900 kae c_kaelin hard 2026-12-09 3:00\n",
                                 std::string(20000, '7') + " ABC h easy 2026-12-09 0:01\n"};
  int n = 0;
  for (const std::string& text : garbage) {
    SCOPED_TRACE(++n);
    std::ofstream(file()) << text;
    EXPECT_TRUE(load().runs().empty());
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("High scores damaged"), std::string::npos) << log[0];
    EXPECT_FALSE(std::filesystem::exists(file()));
  }
  // Each damaged file is kept under a name of its own.
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("scores.txt.damaged")));
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("scores.txt.damaged-2")));
  EXPECT_EQ(std::filesystem::file_size(dir.file("scores.txt.damaged-3")), garbage[2].size()) << "kept whole";
}

TEST_F(ScoresFileTest, AFolderAFifoOrALinkInItsPlaceIsLeftAlone) {
  HighScores t;
  t.add(run(300));
  for (const char* what : {"folder", "fifo", "link"}) {
    SCOPED_TRACE(what);
    std::filesystem::remove_all(file());
    if (std::string(what) == "folder") std::filesystem::create_directory(file());
    if (std::string(what) == "fifo") ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
    if (std::string(what) == "link") {
      std::ofstream(dir.file("real.txt")) << "300 AAA c_morivane normal 2026-12-09 7:01\n";
      std::filesystem::create_symlink(dir.file("real.txt"), file());
    }
    EXPECT_TRUE(load().runs().empty()) << "read without blocking";
    ASSERT_EQ(log.size(), 1u);
    std::string error;
    EXPECT_FALSE(saveHighScores(file(), t, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("scores.txt.damaged"))) << "only a regular file is set aside";
  }
  EXPECT_TRUE(std::filesystem::is_symlink(file()));
}

TEST_F(ScoresFileTest, ATableThatCannotBeWrittenLeavesTheOldFileWhole) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into a read-only folder";
  HighScores t;
  t.add(run(300));
  std::string error;
  ASSERT_TRUE(saveHighScores(file(), t, error)) << error;
  const std::string before = readFile(file().string());
  ::chmod(dir.path().c_str(), 0500);
  t.add(run(900));
  EXPECT_FALSE(saveHighScores(file(), t, error));
  ::chmod(dir.path().c_str(), 0700);
  EXPECT_EQ(readFile(file().string()), before);
}

}  // namespace
