// `check` on small game folders: a sound one reports nothing, and each kind of
// broken reference is found and named by file and place.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

#include "DataText.h"
#include "GameChecker.h"
#include "OutputFile.h"
#include "PackWriter.h"
#include "check_folder.h"

namespace fs = std::filesystem;

namespace {

using namespace check_folder;

TEST(ToolchainCheck, ASoundGameFolderHasNoProblems) {
  GameFolder game(soundGame());
  CheckReport r = game.check();
  EXPECT_TRUE(r.problems.empty()) << describe(r);
  EXPECT_EQ(r.characters, 4u);
  EXPECT_EQ(r.scenes, 2u);
  EXPECT_EQ(r.summary(), "ok: 4 characters, 2 scenes, 4 picture sets, 0 files in the pack");
}

TEST(ToolchainCheck, PicturesInThePackCountAsPresent) {
  GameFolder game(soundGame(), false);
  // build pak.zip from a separate folder holding the same files
  fs::path src = game.root / "packsrc";
  std::vector<PackEntry> entries;
  for (const char* f : kDiskFiles) {
    if (std::string(f) == "font1.fnt") continue;
    entries.push_back({f, {'x'}});
  }
  std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.name < b.name; });
  std::string error;
  ASSERT_TRUE(writeWholeFile((game.root / "pak.zip").string(), writePack(entries, kGamePackPassword), error));
  game.touch("font1.fnt");
  game.touch("pak/ui/hta/bg.png");  // the title picture is read before the pack is open
  CheckReport r = game.check();
  EXPECT_TRUE(r.problems.empty()) << describe(r);
  EXPECT_EQ(r.packFiles, entries.size());
}

TEST(ToolchainCheck, APackUnderAnotherPasswordIsReported) {
  GameFolder game(soundGame());
  std::string error;
  ASSERT_TRUE(writeWholeFile((game.root / "pak.zip").string(), writePack({{"a.png", {'x'}}}, "other"), error));
  CheckReport r = game.check();
  expectProblem(r, "pak.zip", "a.png", "cannot be read with the game's password");
}

TEST(ToolchainCheck, MissingCharactersAreFound) {
  {
    auto g = soundGame();
    g.erase("data/chara/c_morivane.dat");
    GameFolder game(g);
    expectProblem(game.check(), "data/chara", "-", "the game creates the player \"c_morivane\"");
  }
  {
    auto g = soundGame();
    g.erase("data/chara/system.dat");
    GameFolder game(g);
    expectProblem(game.check(), "data/chara", "-", "shared effects object \"system\"");
  }
  {
    auto g = soundGame();
    replace(g["data/scene/zd.dat"], "enemy \"guai01\"", "enemy \"guai09\"");
    GameFolder game(g);
    expectProblem(game.check(), "data/scene/zd.dat", "enemy 0", "\"guai09\", but data/chara/guai09.dat does not exist");
  }
  {
    auto g = soundGame();
    replace(g["data/scene/Test.dat"], "prop-chara \"crate\"", "prop-chara \"barrel\"");
    GameFolder game(g);
    expectProblem(game.check(), "data/scene/Test.dat", "prop-chara", "\"barrel\"");
  }
}

TEST(ToolchainCheck, MissingActionsAreFound) {
  struct Case {
    std::string file, from, to, where, text;
  };
  const Case cases[] = {
      {"data/chara/guai01.dat", "goto action=1 pc=0", "goto action=40 pc=0", "action 1 instruction 3",
       "goto target action 40"},
      {"data/chara/guai01.dat", "jump on=land action=5", "jump on=land action=55", "action 7 instruction 0",
       "jump target action 55"},
      {"data/chara/guai01.dat", "reactions 6 6 7", "reactions 6 66 7", "reaction 1", "action 66 does not exist"},
      {"data/chara/guai01.dat", "chance=50 action=13", "chance=50 action=23", "ai rule 0", "action 23 does not exist"},
      {"data/chara/guai01.dat", "from=own spark=14", "from=own spark=15", "action 13 instruction 1",
       "hit spark action 15 of this file does not exist"},
      {"data/chara/c_morivane.dat", "from=system spark=3", "from=system spark=4", "action 13 instruction 12",
       "hit spark action 4 of system is empty"},
      {"data/chara/c_morivane.dat", "spawn from=system action=3", "spawn from=system action=9",
       "action 12 instruction 0", "spawned action 9 of system is empty"},
      {"data/chara/c_morivane.dat", "action 22 {", "action 23 {", "action 22", "the player control needs this action, but it is empty"},
      {"data/chara/guai01.dat", "action 4 {", "action 24 {", "action 4", "every enemy needs this action, but it is empty"},
      {"data/chara/system.dat", "action 17 {", "action 18 {", "action 17", "door marker that the game spawns is empty"},
      {"data/chara/system.dat", "action 8 {", "action 9 {", "action 8", "death effect that the game spawns is empty"},
      {"data/scene/Test.dat", "prop x=300 z=100 action=0", "prop x=300 z=100 action=2", "prop 0",
       "action 2 of \"crate\" does not exist"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    auto g = soundGame();
    replace(g[c.file], c.from, c.to);
    GameFolder game(g);
    expectProblem(game.check(), c.file, c.where, c.text);
  }
}

TEST(ToolchainCheck, ReactionNumbersMustFitTheTargets) {
  auto g = soundGame();
  replace(g["data/chara/guai01.dat"], "hit ground=0 air=1", "hit ground=3 air=1");
  GameFolder game(g);
  expectProblem(game.check(), "data/chara/guai01.dat", "action 13 instruction 1",
                "reaction 3 is not in the reactions of \"c_morivane\"");
  auto g2 = soundGame();
  replace(g2["data/chara/guai01.dat"], "reactions 6 6 7", "reactions 6 6");
  GameFolder game2(g2);
  expectProblem(game2.check(), "data/chara/guai01.dat", "reactions", "at least 3 reactions");
}

TEST(ToolchainCheck, PictureAndSoundNumbersMustBeInTheirSet) {
  {
    auto g = soundGame();
    replace(g["data/chara/crate.dat"], "frame 1 ticks=0", "frame 2 ticks=0");
    GameFolder game(g);
    expectProblem(game.check(), "data/chara/crate.dat", "action 0 instruction 0", "picture 2 is not in picture set 3");
  }
  {
    auto g = soundGame();
    replace(g["data/chara/c_morivane.dat"], "sound from=own number=0", "sound from=own number=1");
    GameFolder game(g);
    expectProblem(game.check(), "data/chara/c_morivane.dat", "action 13 instruction 24", "sound 1 is not in the");
  }
  {
    auto g = soundGame();
    replace(g["data/chara/c_morivane.dat"], "sound from=system number=0", "sound from=system number=3");
    GameFolder game(g);
    expectProblem(game.check(), "data/chara/c_morivane.dat", "action 13 instruction 25",
                  "sound 3 is not in the system file's picture set");
  }
  {
    auto g = soundGame();
    replace(g["data/scene/Test.dat"], "far x=0 y=0 picture=1", "far x=0 y=0 picture=2");
    GameFolder game(g);
    expectProblem(game.check(), "data/scene/Test.dat", "far 0", "picture 2 is not in picture set 3");
  }
}

TEST(ToolchainCheck, PictureSetsMustBeInTheCatalog) {
  auto g = soundGame();
  replace(g["data/chara/crate.dat"], "picture-set 3", "picture-set 4");
  replace(g["data/scene/zd.dat"], "picture-set 3", "picture-set -1");
  GameFolder game(g);
  CheckReport r = game.check();
  expectProblem(r, "data/chara/crate.dat", "picture-set", "picture set 4 is not in the resource list");
  expectProblem(r, "data/scene/zd.dat", "picture-set", "picture set -1 is not in the resource list");
}

TEST(ToolchainCheck, CatalogFilesMustBeInThePackOrOnDisk) {
  GameFolder game(soundGame());
  fs::remove(game.root / "pak/hero/hta/1.png");
  fs::remove(game.root / "pak/fx/hte/hit.wav");
  CheckReport r = game.check();
  expectProblem(r, "data/res.dat", "set 2 \"hero\" picture 1", "pak/hero/hta/1.png is neither in pak.zip nor on disk");
  expectProblem(r, "data/res.dat", "set 1 \"fx\" sound 0", "pak/fx/hte/hit.wav");
  EXPECT_EQ(r.problems.size(), 2u) << describe(r);
}

TEST(ToolchainCheck, DoorsAndTheWayFromTestToZd) {
  {
    auto g = soundGame();
    replace(g["data/scene/Test.dat"], "door \"zd\"", "door \"Stage2\"");
    GameFolder game(g);
    CheckReport r = game.check();
    expectProblem(r, "data/scene/Test.dat", "door 0", "leads to scene \"Stage2\"");
    expectProblem(r, "data/scene/Test.dat", "doors", "\"zd\" cannot be reached from \"Test\"");
  }
  {
    auto g = soundGame();
    g["data/scene/Start.dat"] = g["data/scene/Test.dat"];
    g.erase("data/scene/Test.dat");
    GameFolder game(g);
    expectProblem(game.check(), "data/scene/Test.dat", "-", "the game starts in scene \"Test\"");
  }
}

TEST(ToolchainCheck, InstructionsWithTooFewArguments) {
  auto g = soundGame();
  replace(g["data/chara/crate.dat"], "frame 1 ticks=0", "op 0 (1, 0)\n  op 8 (0)");
  GameFolder game(g);
  CheckReport r = game.check();
  expectProblem(r, "data/chara/crate.dat", "action 0 instruction 0", "frame has 2 arguments but reads 4");
  expectProblem(r, "data/chara/crate.dat", "action 0 instruction 1", "goto has 1 arguments but reads 2");
}

TEST(ToolchainCheck, ScriptsThatLoopWithoutAFrame) {
  {
    // a goto straight back without a frame between
    auto g = soundGame();
    replace(g["data/chara/system.dat"], "frame 1 ticks=50\n  goto action=17", "nop\n  goto action=17");
    GameFolder game(g);
    expectProblem(game.check(), "data/chara/system.dat", "action 17 instruction 1",
                  "can loop back to action 17 instruction 0 without reaching a frame");
  }
  {
    // a frame of negative duration does not wait either
    auto g = soundGame();
    replace(g["data/chara/system.dat"], "frame 1 ticks=50\n  goto action=17", "frame 1 ticks=-1\n  goto action=17");
    GameFolder game(g);
    expectProblem(game.check(), "data/chara/system.dat", "action 17 instruction 1", "without reaching a frame");
  }
  {
    // a goto to a missing action is ignored by the game, which goes on with the next instruction
    auto g = soundGame();
    replace(g["data/chara/system.dat"], "frame 1 ticks=50\n  goto action=17", "goto action=99 pc=0\n  goto action=17");
    GameFolder game(g);
    CheckReport r = game.check();
    expectProblem(r, "data/chara/system.dat", "action 17 instruction 1", "without reaching a frame");
    expectProblem(r, "data/chara/system.dat", "action 17 instruction 0", "goto target action 99 does not exist");
  }
  {
    // a fighter whose stand action is empty runs out into itself for ever
    auto g = soundGame();
    replace(g["data/chara/guai01.dat"], "action 0 {\n" + frames(2) + "  goto action=0 pc=0\n}",
            "action 0 {\n  nop\n}");
    GameFolder game(g);
    expectProblem(game.check(), "data/chara/guai01.dat", "action 0 instruction 1", "without reaching a frame");
  }
}

TEST(ToolchainCheck, UnreadableFilesAreReportedWithTheirOffset) {
  GameFolder game(soundGame());
  std::ofstream(game.root / "data/chara/guai01.dat", std::ios::binary | std::ios::trunc) << std::string("\x05" "ab", 3);
  CheckReport r = game.check();
  expectProblem(r, "data/chara/guai01.dat", "offset 0", "character name");
  // and the scenes that use it do not get a second, misleading report
  for (const CheckProblem& p : r.problems) EXPECT_EQ(p.message.find("guai01.dat does not exist"), std::string::npos);
}

}  // namespace

namespace {

// The worked example of docs/data-format.md: the indented block that starts
// with chara "guai03", without its indentation.
std::string documentedEnemy() {
  std::ifstream in(fs::path(TERVALEN_SOURCE_DIR) / "docs" / "data-format.md");
  std::string line, out;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!inside && line == "    chara \"guai03\"") inside = true;
    if (!inside) continue;
    if (!line.empty() && line.rfind("    ", 0) != 0) break;
    out += (line.size() >= 4 ? line.substr(4) : "") + "\n";
  }
  return out;
}

TEST(ToolchainCheck, TheDocumentedEnemyCompilesAndChecksClean) {
  std::string enemy = documentedEnemy();
  ASSERT_FALSE(enemy.empty()) << "the worked example is missing from docs/data-format.md";
  auto g = soundGame();
  g["data/chara/guai03.dat"] = enemy;
  // its picture set is number 22, with 16 pictures and one sound
  std::string sets;
  for (int n = 4; n <= 21; ++n) sets += "set " + std::to_string(n) + " \"spare" + std::to_string(n) + "\" {}\n";
  sets += "set 22 \"guai03\" {\n";
  for (int i = 0; i < 16; ++i) sets += "  picture \"" + std::to_string(i) + ".png\"\n";
  sets += "  sound \"swing.wav\"\n}\n";
  g["data/res.dat"] += sets;
  // it uses the system sparks 3 and 1
  g["data/chara/system.dat"] += action(1, "  frame 0 ticks=3\n");
  replace(g["data/scene/zd.dat"], "enemy \"guai01\"", "enemy \"guai03\"");
  GameFolder game(g);
  for (int i = 0; i < 16; ++i) game.touch("pak/guai03/hta/" + std::to_string(i) + ".png");
  game.touch("pak/guai03/hte/swing.wav");
  CheckReport r = game.check();
  EXPECT_TRUE(r.problems.empty()) << describe(r);
  EXPECT_EQ(r.characters, 5u);
}

}  // namespace
