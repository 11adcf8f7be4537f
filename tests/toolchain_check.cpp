// `check` on small game folders: a sound one reports nothing, and each kind of
// broken reference is found and named by file and place.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

#include "DataText.h"
#include "GameChecker.h"
#include "PackWriter.h"
#include "OutputFile.h"

namespace fs = std::filesystem;

namespace {

// A frame-by-frame action body: `n` frames of picture `pic`.
std::string frames(int n, int pic = 0) {
  std::string s = "  body x=0 y=-50 w=30 h=100 d=20\n";
  for (int i = 0; i < n; ++i) s += "  frame " + std::to_string(pic) + " ticks=2\n";
  return s;
}

std::string action(int n, const std::string& body) { return "action " + std::to_string(n) + " {\n" + body + "}\n"; }

// A small complete game as text sources (path of the binary file -> source).
std::map<std::string, std::string> soundGame() {
  std::map<std::string, std::string> g;
  g["data/res.dat"] =
      "resources\n"
      "set 0 \"ui\" {\n  picture \"bg.png\"\n  sound \"bg.mp3\"\n}\n"
      "set 1 \"fx\" {\n  picture \"spark.png\"\n  picture \"door.png\"\n  sound \"hit.wav\"\n}\n"
      "set 2 \"hero\" {\n  picture \"0.png\"\n  picture \"1.png\"\n  sound \"swing.wav\"\n}\n"
      "set 3 \"stage\" {\n  picture \"bg.png\"\n  picture \"far.png\"\n}\n";
  g["data/system.dat"] = "system\nstring \"Tervalen\"\n";

  std::string sys = "chara \"system\"\nhp 1\npicture-set 1\nreactions\n";
  sys += action(3, "  tint 255 255 255 255\n  frame 0 ticks=3\n  sound from=own number=0\n");
  sys += action(8, "  frame 0 ticks=10\n");
  sys += action(17, "  frame 1 ticks=50\n  goto action=17 pc=0\n");
  g["data/chara/system.dat"] = sys;

  std::string hero = "chara \"hero\"\nhp 100\npicture-set 2\nreactions 8 9 10\n";
  for (int n : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 16, 18, 19, 20, 21, 22, 32, 33}) hero += action(n, frames(2, 1));
  for (int n : {13, 17, 31})
    hero += action(n, frames(10) + "  attack x=30 y=-50 w=30 h=20 d=20 damage=5\n"
                                   "  hit ground=0 air=1 push-x=-2 push-y=0 freeze=5 self-freeze=5 from=system spark=3\n" +
                          frames(10) + "  sound from=own number=0\n  sound from=system number=0\n");
  hero += action(12, "  spawn from=system action=3 pc=0 dx=10 dy=-40\n  frame 0 ticks=5\n");
  g["data/chara/c_morivane.dat"] = hero;

  std::string enemy = "chara \"guai01\"\nhp 30\npicture-set 2\nreactions 6 6 7\n";
  enemy += action(0, frames(2) + "  goto action=0 pc=0\n");
  enemy += action(1, frames(2) + "  goto action=1 pc=0\n");
  enemy += action(4, "  move ay=0.5 keep-vx=1\n  jump on=land action=0 pc=0\n  frame 0 ticks=0\n");
  enemy += action(5, frames(3));
  enemy += action(6, frames(3));
  enemy += action(7, "  jump on=land action=5 pc=0\n  frame 0 ticks=0\n");
  enemy += action(13, "  attack x=30 y=-50 w=30 h=20 d=20 damage=5\n"
                      "  hit ground=0 air=1 push-x=-2 push-y=0 freeze=5 self-freeze=5 from=own spark=14\n" + frames(3));
  enemy += action(14, "  frame 0 ticks=4\n");
  enemy += "ai dx=0..60 dz=0..10 chance=50 action=13\n";
  g["data/chara/guai01.dat"] = enemy;

  g["data/chara/crate.dat"] = "chara \"crate\"\nhp 1\npicture-set 3\nreactions\n" + action(0, "  frame 1 ticks=0\n");

  g["data/scene/Test.dat"] =
      "scene \"Test\"\nsize width=1600 depth=200\npicture-set 3\nprop-chara \"crate\"\nbackground 0\n"
      "far x=0 y=0 picture=1\nprop x=300 z=100 action=0\nenemy \"guai01\" x=600 z=100\n"
      "wall x=800 z=20 width=100 depth=40 height=50\ndoor \"zd\" x=1550 z=100 entry-x=100 entry-z=100\n";
  g["data/scene/zd.dat"] =
      "scene \"zd\"\nsize width=900 depth=200\npicture-set 3\nprop-chara \"\"\nbackground 0\n"
      "enemy \"guai01\" x=600 z=100\n";
  return g;
}

const char* const kDiskFiles[] = {"pak/ui/hta/bg.png",    "pak/ui/hta/base.png", "pak/ui/hta/hp.png",
                                  "pak/ui/hta/sp.png",    "pak/ui/hta/cp.png",   "pak/ui/hta/m_hp.png",
                                  "pak/ui/hta/m_hp_base.png", "pak/ui/hte/bg.mp3", "pak/fx/hta/spark.png",
                                  "pak/fx/hta/door.png",  "pak/fx/hte/hit.wav",  "pak/hero/hta/0.png",
                                  "pak/hero/hta/1.png",   "pak/hero/hte/swing.wav", "pak/stage/hta/bg.png",
                                  "pak/stage/hta/far.png", "font1.fnt"};

struct GameFolder {
  fs::path root;
  explicit GameFolder(const std::map<std::string, std::string>& sources, bool loosePictures = true) {
    root = fs::temp_directory_path() / ("tervalen-check-" + std::to_string(::getpid()) + "-" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    for (const auto& [path, source] : sources) {
      std::vector<uint8_t> bytes;
      TextError error;
      EXPECT_TRUE(compileDataText(source, std::nullopt, bytes, error))
          << path << ":" << error.pos.line << ":" << error.pos.column << ": " << error.message;
      fs::create_directories((root / path).parent_path());
      std::string writeError;
      EXPECT_TRUE(writeWholeFile((root / path).string(), bytes, writeError)) << writeError;
    }
    if (loosePictures)
      for (const char* f : kDiskFiles) touch(f);
  }
  ~GameFolder() { fs::remove_all(root); }
  void touch(const std::string& relative) {
    fs::create_directories((root / relative).parent_path());
    std::ofstream(root / relative) << "x";
  }
  CheckReport check() const { return checkGameFolder(root.string()); }
};

std::string describe(const CheckReport& r) {
  std::string s;
  for (const CheckProblem& p : r.problems) s += "  " + p.line() + "\n";
  return s.empty() ? "  (no problems)\n" : s;
}

// The report holds exactly one problem in `file` at `where` whose message contains `text`.
void expectProblem(const CheckReport& r, const std::string& file, const std::string& where, const std::string& text) {
  int found = 0;
  for (const CheckProblem& p : r.problems)
    if (p.file == file && p.where == where && p.message.find(text) != std::string::npos) ++found;
  EXPECT_EQ(found, 1) << "wanted " << file << ": " << where << ": ..." << text << "...\ngot:\n" << describe(r);
}

void replace(std::string& s, const std::string& from, const std::string& to) {
  size_t at = s.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  s.replace(at, from.size(), to);
}

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
  // its picture set is number 5, with 16 pictures and one sound
  std::string sets = "set 4 \"spare\" {}\nset 5 \"guai03\" {\n";
  for (int i = 0; i < 16; ++i) sets += "  picture \"" + std::to_string(i) + ".png\"\n";
  sets += "  sound \"swing.wav\"\n}\n";
  g["data/res.dat"] += sets;
  // it uses the system sparks 3 and 4
  g["data/chara/system.dat"] += action(4, "  frame 0 ticks=3\n");
  replace(g["data/scene/zd.dat"], "enemy \"guai01\"", "enemy \"guai03\"");
  GameFolder game(g);
  for (int i = 0; i < 16; ++i) game.touch("pak/guai03/hta/" + std::to_string(i) + ".png");
  game.touch("pak/guai03/hte/swing.wav");
  CheckReport r = game.check();
  EXPECT_TRUE(r.problems.empty()) << describe(r);
  EXPECT_EQ(r.characters, 5u);
}

}  // namespace
