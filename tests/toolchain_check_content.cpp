// `check` on content that cannot be finished, each on a small broken folder:
// enemies, props and doors out of the player's reach, a door's entry point off
// the target scene, a scene chain that never reaches the final scene, reversed
// AI ranges, a hit spark that is an empty action, two resource entries that
// share one folder; and data/rules.txt, which check reads as the game does.
#include <sys/wait.h>

#include <cstdlib>
#include <iterator>

#include "check_folder.h"

namespace {

using namespace check_folder;

TEST(CheckContent, EnemiesPropsAndDoorsOutOfReachAreFound) {
  {
    // Test is 1600 x 200; its wall is at x 750..850, z 0..40.
    auto g = soundGame();
    replace(g["data/scene/Test.dat"], "enemy \"guai01\" x=600 z=100", "enemy \"guai01\" x=1700 z=100");
    replace(g["data/scene/Test.dat"], "prop x=300 z=100", "prop x=300 z=400");
    replace(g["data/scene/Test.dat"], "door \"zd\" x=1550 z=100", "door \"zd\" x=800 z=20");
    GameFolder game(g);
    CheckReport r = game.check();
    expectLine(r, "data/scene/Test.dat: enemy 0: the enemy \"guai01\" at (1700, 100) lies outside the ground (x from 0 "
                  "to 1600, depth from 0 to 200): the player cannot reach it, and the scene's doors open only when "
                  "every enemy is gone");
    expectLine(r, "data/scene/Test.dat: prop 0: the prop at (300, 400) lies outside the ground, too far from it to be "
                  "reached: the player cannot reach it");
    expectLine(r, "data/scene/Test.dat: door 0: the door to \"zd\" at (800, 20) lies inside a wall, deeper than its "
                  "reach: the player cannot use it");
  }
  {
    // A wall across the whole depth at x 1000 shuts the far end off from
    // where the player starts (the rules put it on this scene's ground).
    auto g = soundGame();
    g["data/scene/Test.dat"] += "wall x=1000 z=100 width=40 depth=200 height=50\n";
    GameFolder game(g);
    std::ofstream(game.path("data/rules.txt")) << "player-z = 100\n";
    CheckReport r = game.check();
    expectProblem(r, "data/scene/Test.dat", "door 0", "(1550, 100) is walled off: no way leads within its reach");
    EXPECT_EQ(r.problems.size(), 1u) << describe(r);
  }
  {
    // With a gap at the back the far end is reachable: nothing is said.
    auto g = soundGame();
    g["data/scene/Test.dat"] += "wall x=1000 z=110 width=40 depth=180 height=50\n";
    GameFolder game(g);
    std::ofstream(game.path("data/rules.txt")) << "player-z = 100\n";
    CheckReport r = game.check();
    EXPECT_TRUE(r.problems.empty()) << describe(r);
  }
}

TEST(CheckContent, ADoorsEntryPointMustLieOnTheTargetScenesGround) {
  auto g = soundGame();
  replace(g["data/scene/Test.dat"], "entry-x=100 entry-z=100", "entry-x=950 entry-z=100");
  GameFolder game(g);
  expectLine(game.check(), "data/scene/Test.dat: door 0: the entry point (950, 100) lies outside the ground (x from 0 "
                           "to 900, depth from 0 to 200) of scene \"zd\": the player would arrive where no one can "
                           "stand");
}

TEST(CheckContent, AChainOfScenesThatNeverReachesTheFinalOne) {
  auto g = soundGame();
  // Test -> hall -> Test: a loop, and zd is never reached.
  replace(g["data/scene/Test.dat"], "door \"zd\"", "door \"hall\"");
  g["data/scene/hall.dat"] =
      "scene \"hall\"\nsize width=900 depth=200\npicture-set 3\nprop-chara \"\"\nbackground 0\n"
      "enemy \"guai01\" x=600 z=100\ndoor \"Test\" x=850 z=100 entry-x=100 entry-z=100\n";
  GameFolder game(g);
  expectLine(game.check(), "data/scene/Test.dat: doors: the last scene \"zd\" cannot be reached from \"Test\" through "
                           "doors: the game cannot be won");
}

TEST(CheckContent, ReversedAiRangesAndEmptySparks) {
  auto g = soundGame();
  replace(g["data/chara/guai01.dat"], "ai dx=0..60 dz=0..10", "ai dx=300..120 dz=10..0");
  replace(g["data/chara/guai01.dat"], "from=own spark=14", "from=own spark=2");
  g["data/chara/guai01.dat"] += action(2, "");
  GameFolder game(g);
  CheckReport r = game.check();
  expectLine(r, "data/chara/guai01.dat: ai rule 0: the range dx=300..120 is reversed: no distance lies in it, so the "
                "rule never fires (write dx=120..300)");
  expectLine(r, "data/chara/guai01.dat: ai rule 0: the range dz=10..0 is reversed: no distance lies in it, so the rule "
                "never fires (write dz=0..10)");
  expectProblem(r, "data/chara/guai01.dat", "action 13 instruction 1", "hit spark action 2 of this file is empty");
}

TEST(CheckContent, TwoResourceEntriesSharingAFolderAreAWarning) {
  auto g = soundGame();
  g["data/res.dat"] += "set 4 \"hero\" {\n  picture \"0.png\"\n}\n";
  GameFolder game(g);
  CheckReport r = game.check();
  EXPECT_TRUE(r.problems.empty()) << describe(r);
  ASSERT_EQ(r.warnings.size(), 1u) << describe(r);
  EXPECT_EQ(r.warnings[0].warningLine(), "data/res.dat: set 4: warning: its name \"hero\" is also the name of set 2: "
                                         "both read their pictures and sounds from the same folder");
}

TEST(CheckContent, TheRulesFileIsReadAsTheGameReadsIt) {
  {
    // The game starts in "hall" and ends in "lair": check follows.
    auto g = soundGame();
    g["data/scene/hall.dat"] = g["data/scene/Test.dat"];
    replace(g["data/scene/hall.dat"], "scene \"Test\"", "scene \"hall\"");
    g.erase("data/scene/Test.dat");
    replace(g["data/scene/zd.dat"], "scene \"zd\"", "scene \"lair\"");
    GameFolder game(g);
    CheckReport without = game.check();
    expectProblem(without, "data/scene/Test.dat", "-", "the game starts in scene \"Test\"");
    std::ofstream(game.path("data/rules.txt")) << "first-scene = hall\nfinal-scene = lair\n";
    CheckReport with = game.check();
    EXPECT_TRUE(with.problems.empty()) << describe(with);
  }
  {
    auto g = soundGame();
    GameFolder game(g);
    std::ofstream(game.path("data/rules.txt")) << "# fine so far\nscore guai01 = ten\n";
    expectLine(game.check(), "data/rules.txt: line 2: score guai01 wants the points (a whole number), then optionally "
                             "the kills it counts: \"ten\" is not that");
  }
  {
    auto g = soundGame();
    GameFolder game(g);
    std::ofstream(game.path("data/rules.txt")) << "player = hero\n";
    expectProblem(game.check(), "data/chara", "-", "the game creates the player \"hero\", but data/chara/hero.dat");
  }
  {
    // Stretches are checked against the scene they name, and a scene's second stretch is no override.
    auto g = soundGame();
    GameFolder game(g);
    std::ofstream(game.path("data/rules.txt")) << "stretch Test = 0 800 1\nstretch Test = 800 900 50\n";
    CheckReport r = game.check();
    expectProblem(r, "data/rules.txt", "line 2", "stretch Test names enemy 50, but the scene holds");
    EXPECT_TRUE(r.notes.empty()) << describe(r);
  }
  {
    // A power cost for an action the character does not have, or for no character at all.
    auto g = soundGame();
    GameFolder game(g);
    std::ofstream(game.path("data/rules.txt")) << "power-cost c_morivane 13 = 5\npower-cost c_morivane 99 = 5\n"
                                                  "power-cost nobody 1 = 5\n";
    const CheckReport r = game.check();
    expectLine(r, "data/rules.txt: line 2: power-cost c_morivane 99: c_morivane has no action 99");
    expectLine(r, "data/rules.txt: line 3: power-cost nobody 1: there is no character nobody");
    EXPECT_EQ(r.problems.size(), 2u) << describe(r);
  }
  {
    // A score for a name no character has: a warning, the folder still passes.
    auto g = soundGame();
    GameFolder game(g);
    std::ofstream(game.path("data/rules.txt"))
        << "score guai01 = 12\nscore gaui01 = 30\npace guai01 = 100 4\npace gauo1 = 100 4\nwalk-speed gua01 = 2\n";
    CheckReport r = game.check();
    EXPECT_TRUE(r.problems.empty()) << describe(r);
    ASSERT_EQ(r.warnings.size(), 3u) << describe(r);
    EXPECT_EQ(r.warnings[0].warningLine(), "data/rules.txt: line 2: warning: score gaui01: no character file gives "
                                           "this name (its chara line), so the rule scores nothing");
    EXPECT_EQ(r.warnings[1].warningLine(), "data/rules.txt: line 4: warning: pace gauo1: no character file gives "
                                           "this name (its chara line), so the rule changes nobody");
    EXPECT_EQ(r.warnings[2].warningLine().rfind("data/rules.txt: line 5: warning: walk-speed gua01: no character", 0),
              0u);
  }
}

// Every stretch problem is listed, not only the first the game would stop at;
// so are the enemies no fight in the held view can finish.
TEST(CheckContent, EveryStretchProblemIsListedWithTheFightsThatCannotEnd) {
  auto withEnemies = [] {
    auto g = soundGame();
    g["data/scene/Test.dat"] += "enemy \"guai01\" x=1000 z=100\nenemy \"guai01\" x=1200 z=100\n";
    return g;
  };
  {
    // A missing enemy, a stretch past the width, an enemy placed inside the wall: three lines, three problems.
    GameFolder game(withEnemies());
    std::ofstream(game.path("data/rules.txt")) << "stretch Test = 0 800 1 9\nstretch Test = 800 1700 2\n"
                                                  "stretch Test = 1700 1800 3\nenemy-place Test 3 = 800 20\n";
    CheckReport r = game.check();
    expectProblem(r, "data/rules.txt", "line 1", "stretch Test names enemy 9, but the scene holds 3 enemies");
    expectProblem(r, "data/rules.txt", "line 2", "stretch Test ends at 1700, past the scene's width 1600");
    expectProblem(r, "data/rules.txt", "line 3", "enemy 3 stands at 800 20, where no fighter can reach it");
    EXPECT_EQ(r.problems.size(), 4u) << describe(r);  // line 3 also ends past the width
  }
  struct Case {
    const char* what;
    std::string sceneMore, rules;
    bool bodiless;
    const char* wanted;  // "" when nothing is wrong
  };
  // A wall across the whole ground at 780..820: the view held at 800..1600 lies beyond it.
  const std::string wall = "wall x=800 z=100 width=40 depth=200 height=50\n";
  for (const Case& c : std::vector<Case>{
           {"all in the view", "", "stretch Test = 0 800 1\nstretch Test = 800 1400 2 3\n", false, ""},
           {"placed behind a wall across the ground, away from its stretch's view", wall,
            "stretch Test = 0 800 1\nstretch Test = 1100 1600 2 3\nenemy-place Test 2 = 500 100\n", false,
            "enemy 2 (\"guai01\") at (500, 100) is walled off from the view held at this stretch (800 to 1600)"},
           {"behind that wall but in the view", wall,
            "stretch Test = 0 800 1\nstretch Test = 1100 1600 2 3\nenemy-place Test 2 = 1300 100\n", false, ""},
           {"an enemy no blow lands on", "", "stretch Test = 0 800 1\n", true,
            "enemy 1 (\"guai01\") never has a body"},
       }) {
    auto g = withEnemies();
    g["data/scene/Test.dat"] += c.sceneMore;
    if (c.bodiless)
      for (size_t at; (at = g["data/chara/guai01.dat"].find(" w=30 h=100")) != std::string::npos;)
        g["data/chara/guai01.dat"].replace(at, 11, " w=0 h=100");
    GameFolder game(g);
    std::ofstream(game.path("data/rules.txt")) << c.rules;
    CheckReport r = game.check();
    // (Behind the wall the door and more are out of the player's reach too: other problems.)
    int found = 0, unending = 0;
    for (const CheckProblem& p : r.problems) {
      found += *c.wanted && p.file == "data/rules.txt" && p.message.find(c.wanted) != std::string::npos;
      unending += p.message.find("walled off from the view") != std::string::npos ||
                  p.message.find("never has a body") != std::string::npos;
    }
    EXPECT_EQ(found, *c.wanted ? 1 : 0) << c.what << "\n" << describe(r);
    EXPECT_EQ(unending, found) << c.what << "\n" << describe(r);
  }
}

// Where doors take a fighter at any depth, a door between the way in and a
// farther door takes whoever walks on to that one: a warning.
TEST(CheckContent, ADoorThatTakesEveryoneBeforeAFartherDoorIsWarnedOf) {
  struct Case {
    const char* what;
    std::string doorDepth, secondDoor;
    bool warned;
  };
  for (const Case& c : std::vector<Case>{
           {"a nearer door at another depth", "any", "door \"zd\" x=1200 z=160 entry-x=100 entry-z=100\n", true},
           {"the same, at the game's own depth", "near", "door \"zd\" x=1200 z=160 entry-x=100 entry-z=100\n", false},
           {"two doors one above the other", "any", "door \"zd\" x=1550 z=170 entry-x=100 entry-z=100\n", false},
           {"reaches that meet", "any", "door \"zd\" x=1500 z=170 entry-x=100 entry-z=100\n", false},
       }) {
    auto g = soundGame();
    g["data/scene/Test.dat"] += c.secondDoor;
    GameFolder game(g);
    std::ofstream(game.path("data/rules.txt")) << "player-z = 100\ndoor-depth = " << c.doorDepth << "\n";
    CheckReport r = game.check();
    EXPECT_TRUE(r.problems.empty()) << c.what << "\n" << describe(r);
    int warned = 0;
    for (const CheckProblem& w : r.warnings)
      if (w.file == "data/scene/Test.dat" && w.where == "door 0" &&
          w.message.find("lies beyond the door to \"zd\" at (1200, 160)") != std::string::npos)
        ++warned;
    EXPECT_EQ(warned, c.warned ? 1 : 0) << c.what << "\n" << describe(r);
  }
}

}  // namespace

namespace {

using namespace check_folder;

TEST(CheckSources, FindingsNameTheSourceFileAndLine) {
  if (!fs::exists(TERVALEN_BINARY_DIR "/tervalen-data")) GTEST_SKIP() << "the data tool is not built";
  auto g = soundGame();
  replace(g["data/chara/guai01.dat"], "ai dx=0..60", "ai dx=60..0");
  replace(g["data/chara/guai01.dat"], "from=own spark=14", "from=own spark=2");
  g["data/chara/guai01.dat"] += action(2, "");
  replace(g["data/scene/Test.dat"], "enemy \"guai01\" x=600", "enemy \"guai01\" x=1900");
  GameFolder game(g);
  // The text sources, as a modder keeps them.
  const fs::path sources = game.root / "src";
  for (const auto& [path, text] : g) {
    fs::path source = sources / fs::path(path).lexically_relative("data");
    source.replace_extension(".txt");
    fs::create_directories(source.parent_path());
    std::ofstream(source) << text;
  }
  auto lineOf = [&](const std::string& path, const std::string& start) {
    std::ifstream in(sources / path);
    int n = 0;
    for (std::string line; std::getline(in, line);) {
      ++n;
      if (line.rfind(start, 0) == 0) return sources.string() + "/" + path + ":" + std::to_string(n);
    }
    return std::string("(not found)");
  };
  int code = -1;
  const std::string out = runTool("check '" + game.root.string() + "' --sources '" + sources.string() + "'", code);
  EXPECT_EQ(code, 1);
  EXPECT_NE(out.find(lineOf("chara/guai01.txt", "ai dx=60..0") + ": data/chara/guai01.dat: ai rule 0: the range "
                                                                 "dx=60..0 is reversed"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find(lineOf("chara/guai01.txt", "  hit ground=0 air=1 push-x=-2 push-y=0 freeze=5 self-freeze=5 "
                                                "from=own spark=2") +
                     ": data/chara/guai01.dat: action 13 instruction 1: hit spark action 2"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find(lineOf("scene/Test.txt", "enemy \"guai01\" x=1900") + ": data/scene/Test.dat: enemy 0: the enemy"),
            std::string::npos)
      << out;
  // Without the sources, the findings are as they always were.
  const std::string plain = runTool("check '" + game.root.string() + "'", code);
  EXPECT_NE(plain.find("\ndata/chara/guai01.dat: ai rule 0: the range dx=60..0"), std::string::npos) << plain;
}

}  // namespace
