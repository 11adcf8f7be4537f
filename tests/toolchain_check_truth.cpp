// `check` never says ok too soon: jumps past the end of an action, spawned
// objects that never leave, sources that no longer compile or were never
// compiled, warnings that fail under --strict, and whole-scene findings placed
// on the scene's own line. Each finding has a broken case and a sound one.
#include <filesystem>
#include <fstream>

#include "SourceCheck.h"
#include "SourceLines.h"
#include "check_folder.h"

namespace {

using namespace check_folder;

struct Edit {
  std::string file, from, to;
};

// One row: an edit of the sound game, and the finding it must give (or none).
struct Row {
  const char* name;
  std::vector<Edit> edits;
  std::string where;  // "" for a sound case: no finding of this kind
  std::string text;
};

std::map<std::string, std::string> edited(const std::vector<Edit>& edits) {
  auto g = soundGame();
  for (const Edit& e : edits) replace(g[e.file], e.from, e.to);
  return g;
}

int countWith(const std::vector<CheckProblem>& list, const std::string& text) {
  int n = 0;
  for (const CheckProblem& p : list) n += p.message.find(text) != std::string::npos;
  return n;
}

TEST(CheckTruth, GotoAndJumpsLandOnAnInstructionOfTheirAction) {
  // guai01's action 0 and 1 hold four instructions: body, two frames, the goto.
  const Row rows[] = {
      {"goto past the end", {{"data/chara/guai01.dat", "goto action=1 pc=0", "goto action=1 pc=40"}},
       "action 1 instruction 3", "goto to instruction 40 of action 1, which has 4 instructions (pc=0 to pc=3)"},
      {"goto just past the end", {{"data/chara/guai01.dat", "goto action=1 pc=0", "goto action=0 pc=4"}},
       "action 1 instruction 3", "goto to instruction 4 of action 0"},
      {"goto before the start", {{"data/chara/guai01.dat", "goto action=1 pc=0", "goto action=1 pc=-2"}},
       "action 1 instruction 3", "goto to instruction -2 of action 1"},
      {"goto into an empty action", {{"data/chara/guai01.dat", "goto action=1 pc=0", "goto action=2 pc=0"}},
       "action 1 instruction 3", "goto target action 2 is empty"},
      {"goto to the last instruction", {{"data/chara/guai01.dat", "goto action=1 pc=0", "goto action=0 pc=2"}}, "",
       "goto to instruction"},
      {"landing jump past the end", {{"data/chara/guai01.dat", "jump on=land action=0 pc=0", "jump on=land action=0 pc=9"}},
       "action 4 instruction 1", "jump to instruction 9 of action 0, which has 4 instructions"},
      {"hit jump past the end", {{"data/chara/guai01.dat", "jump on=land action=5 pc=0", "jump on=hit action=5 pc=5"}},
       "action 7 instruction 0", "jump to instruction 5 of action 5"},
      {"landing jump to the last instruction",
       {{"data/chara/guai01.dat", "jump on=land action=0 pc=0", "jump on=land action=0 pc=3"}}, "",
       "jump to instruction"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    GameFolder game(edited(row.edits));
    const CheckReport r = game.check();
    if (row.where.empty())
      EXPECT_EQ(countWith(r.problems, row.text), 0) << describe(r);
    else
      expectProblem(r, "data/chara/guai01.dat", row.where, row.text);
  }
}

TEST(CheckTruth, ASpawnedObjectThatCanNeverLeaveIsAWarningAtItsLoop) {
  // The hero spawns system action 3 (tint, frame, sound); guai01's hit spark is its own action 14 (one frame).
  const std::string stays = "never leaves the scene";
  const Row rows[] = {
      {"a spawned effect that loops",
       {{"data/chara/system.dat", "sound from=own number=0\n", "sound from=own number=0\n  goto action=3 pc=1\n"}},
       "action 3 instruction 3", "the object spawned at action 3 pc=0 (by data/chara/c_morivane.dat action 12 "
                                 "instruction 0) never leaves the scene"},
      {"a hit spark that loops through another action",
       {{"data/chara/guai01.dat", "action 14 {\n  frame 0 ticks=4\n",
         "action 14 {\n  frame 0 ticks=4\n  goto action=6 pc=0\n"},
        {"data/chara/guai01.dat", "action 6 {\n", "action 6 {\n  goto action=14 pc=0\n"}},
       "action 6 instruction 0", stays},
      {"a spawned effect that holds its frame for ever",
       {{"data/chara/system.dat", "frame 0 ticks=3\n  sound", "frame 0 ticks=0\n  sound"}}, "action 3 instruction 1",
       stays},
      {"a loop with a hit jump out",
       {{"data/chara/system.dat", "sound from=own number=0\n",
         "sound from=own number=0\n  jump on=hit action=8 pc=0\n  goto action=3 pc=1\n"}},
       "", stays},
      {"a loop with a way that runs out",
       {{"data/chara/system.dat", "  frame 0 ticks=3\n  sound from=own number=0\n",
         "  frame 0 ticks=3\n  goto action=8 pc=0\n  goto action=3 pc=1\n"}},
       "", stays},
      {"the door marker loops, but the game places it, nothing spawns it", {}, "", stays},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    GameFolder game(edited(row.edits));
    const CheckReport r = game.check();
    if (row.where.empty()) {
      EXPECT_EQ(countWith(r.warnings, row.text), 0) << describe(r);
      continue;
    }
    int found = 0;
    for (const CheckProblem& w : r.warnings) found += w.where == row.where && w.message.find(row.text) != std::string::npos;
    EXPECT_EQ(found, 1) << describe(r);
  }
}

// The sound game's data files, and their sources in root/src as a modder keeps them.
struct SourcedGame {
  std::map<std::string, std::string> sources = soundGame();
  std::unique_ptr<GameFolder> game = std::make_unique<GameFolder>(sources);
  std::filesystem::path dir = game->root / "src";
  SourcedGame() {
    for (const auto& [path, text] : sources) write(path, text);
  }
  std::filesystem::path sourceOf(const std::string& data) const {
    std::filesystem::path p = dir / std::filesystem::path(data).lexically_relative("data");
    return p.replace_extension(".txt");
  }
  void write(const std::string& data, const std::string& text) const {
    std::filesystem::create_directories(sourceOf(data).parent_path());
    std::ofstream(sourceOf(data)) << text;
  }
  CheckReport check() const {
    CheckReport r;
    checkSources(game->root.string(), dir.string(), r);
    return r;
  }
};

TEST(CheckTruth, EverySourceIsCompiledAndComparedWithItsDataFile) {
  {
    SourcedGame s;
    const CheckReport r = s.check();
    EXPECT_TRUE(r.problems.empty() && r.warnings.empty()) << describe(r);
  }
  {
    SCOPED_TRACE("a source that no longer compiles: at its line, and the old data file is named");
    SourcedGame s;
    std::string hero = s.sources["data/chara/c_morivane.dat"];
    replace(hero, "hp 100", "hp banana");
    s.write("data/chara/c_morivane.dat", hero);
    const CheckReport r = s.check();
    ASSERT_EQ(r.problems.size(), 1u) << describe(r);
    EXPECT_EQ(r.problems[0].place, s.sourceOf("data/chara/c_morivane.dat").string() + ":2:4");
    EXPECT_NE(r.problems[0].message.find("does not compile"), std::string::npos) << r.problems[0].message;
    EXPECT_NE(r.problems[0].message.find("the game still plays the old data/chara/c_morivane.dat"), std::string::npos);
  }
  {
    SCOPED_TRACE("a source changed since it was compiled");
    SourcedGame s;
    std::string zd = s.sources["data/scene/zd.dat"];
    replace(zd, "x=600", "x=500");
    s.write("data/scene/zd.dat", zd);
    const CheckReport r = s.check();
    ASSERT_EQ(r.problems.size(), 1u) << describe(r);
    EXPECT_EQ(r.problems[0].file, "data/scene/zd.dat");
    EXPECT_NE(r.problems[0].message.find("is not what its source compiles to"), std::string::npos);
    EXPECT_NE(r.problems[0].message.find("tervalen-data compile " + s.sourceOf("data/scene/zd.dat").string()),
              std::string::npos) << r.problems[0].message;
  }
  {
    SCOPED_TRACE("a source never compiled, a data file without a source");
    SourcedGame s;
    s.write("data/chara/guai02.dat", "chara \"guai02\"\nhp 5\npicture-set 2\nreactions\n");
    std::filesystem::remove(s.sourceOf("data/chara/crate.dat"));
    const CheckReport r = s.check();
    ASSERT_EQ(r.problems.size(), 1u) << describe(r);
    EXPECT_EQ(r.problems[0].file, "data/chara/guai02.dat");
    EXPECT_NE(r.problems[0].message.find("the game has no data/chara/guai02.dat for this source"), std::string::npos);
    ASSERT_EQ(r.warnings.size(), 1u) << describe(r);
    EXPECT_EQ(r.warnings[0].file, "data/chara/crate.dat");
    EXPECT_NE(r.warnings[0].message.find("there is no source"), std::string::npos);
  }
}

TEST(CheckTruth, StrictTurnsWarningsIntoAFailureAndSourcesAreCheckedFromTheCommand) {
  if (!std::filesystem::exists(TERVALEN_BINARY_DIR "/tervalen-data")) GTEST_SKIP() << "the data tool is not built";
  auto g = soundGame();
  GameFolder game(g);
  std::filesystem::create_directories(game.root / "data");
  std::ofstream(game.root / "data/rules.txt") << "score guai0l = 100\n";  // a misspelt name: a warning
  int code = -1;
  std::string out = runTool("check '" + game.root.string() + "'", code);
  EXPECT_EQ(code, 0) << out;
  EXPECT_NE(out.find("warning: score guai0l: no character file gives this name"), std::string::npos) << out;
  out = runTool("check --strict '" + game.root.string() + "'", code);
  EXPECT_EQ(code, 1) << out;
  EXPECT_NE(out.find("0 problems, 1 warning (--strict: warnings fail)"), std::string::npos) << out;
  std::filesystem::remove(game.root / "data/rules.txt");
  out = runTool("check --strict '" + game.root.string() + "'", code);
  EXPECT_EQ(code, 0) << out;

  // A source that does not compile fails the check at its line, though the old data file is sound.
  const std::filesystem::path src = game.root / "src";
  std::filesystem::create_directories(src / "chara");
  std::ofstream(src / "chara/crate.txt") << "chara \"crate\"\nhp banana\n";
  out = runTool("check '" + game.root.string() + "' --sources '" + src.string() + "'", code);
  EXPECT_EQ(code, 1) << out;
  EXPECT_NE(out.find(src.string() + "/chara/crate.txt:2:4: data/chara/crate.dat: source: the source does not compile"),
            std::string::npos)
      << out;
}

TEST(CheckTruth, FindingsAboutAWholeSceneCarryItsSceneLine) {
  SourcedGame s;
  SourceLines lines(s.dir.string());
  const std::string zd = s.sourceOf("data/scene/zd.dat").string();
  const std::string test = s.sourceOf("data/scene/Test.dat").string();
  struct Case {
    std::string file, where, place;
  } cases[] = {
      {"data/scene/zd.dat", "doors", zd + ":1"},    // zd has no door: the finding is about the whole scene
      {"data/scene/zd.dat", "-", zd + ":1"},
      {"data/scene/zd.dat", "scene", zd + ":1"},
      {"data/scene/Test.dat", "doors", test + ":10"},  // Test's door line
      {"data/scene/zd.dat", "enemy 0", zd + ":6"},
      {"data/chara/crate.dat", "-", s.sourceOf("data/chara/crate.dat").string() + ":1"},
  };
  for (const Case& c : cases) EXPECT_EQ(lines.place(c.file, c.where), c.place) << c.file << ": " << c.where;
}

}  // namespace
