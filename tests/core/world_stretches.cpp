// A scene in stretches: the camera holds at a stretch until its enemies are
// down, with one fighter or two; the held view keeps fighters and enemies in
// it; the last stretch's beat keeps the doors shut a moment; the trace and the
// saved state carry the hold; doors take a fighter at any depth where the
// rules say so; and bad stretch lines are one error naming the line.
#include <fstream>
#include <sstream>

#include "WorldHelpers.h"
#include "world/RulesFile.h"
#include "world/StageRulesText.h"
#include "world/Trace.h"

namespace worldtest {
namespace {

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string readAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// "Test": 2000 wide; enemy 1 at 300, enemy 2 at 1200 (both of the first
// stretch, 0 to 800), enemy 3 at 1600 (of the second, 800 to 2000); a door at 1900.
constexpr const char* kStretches = "stretch Test = 0 800 1 2\nstretch Test = 800 2000 3\n";

class Stretches : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    writeStartableGameFolder();
    SceneFile test = sceneNamed("first", 2000, 500);
    test.charas = {{"guai01", 300, 400, 0}, {"guai01", 1200, 400, 0}, {"guai01", 1600, 400, 0}};
    test.doors.push_back({"Next", 1900, 400, 100, 400});
    writeScene("Test", test);
    writeScene("Next", sceneNamed("next", 1000, 500));
  }
  std::unique_ptr<World> start(const std::string& rulesText, int seats = 1) {
    writeText("data/rules.txt", rulesText);
    Expected<GameRules> rules = readGameRules();
    EXPECT_TRUE(rules) << textLineMessage(rules.error());
    GameRules r = rules ? *rules : GameRules{};
    r.seatsAtStart = seats;
    WorldServices services;
    services.log = [](const std::string&) {};
    services.random = [](int lo, int) { return lo; };
    auto made = std::make_unique<World>(r, std::move(services));
    EXPECT_TRUE(made->ready()) << made->startError;
    return made;
  }
  static Chara* enemy(World& world, size_t n) { return world.charas[world.fighterCount() + n]; }
  // The enemies of the stretch the camera goes to fall (they leave in the next update).
  static void felled(World& world) {
    for (size_t i = world.fighterCount(); i < world.charas.size(); ++i)
      if (world.charas[i]->stretch == world.stage.stretch) world.charas[i]->finished = true;
  }
  std::string refusal(const std::string& text) {
    writeText("data/rules.txt", text);
    Expected<GameRules> rules = readGameRules();
    return rules ? "(accepted)" : textLineMessage(rules.error());
  }
};

TEST_F(Stretches, TheCameraHoldsUntilTheStretchIsDownThenFollowsToTheNext) {
  std::unique_ptr<World> world = start(kStretches);
  World& wd = *world;
  ASSERT_EQ(wd.enemyCount(), 3u);
  EXPECT_EQ(enemy(wd, 2)->stretch, 1);
  EXPECT_EQ(wd.stage.stretch, 0);
  EXPECT_TRUE(wd.stage.held) << "a stretch that ends within the first view holds at once";
  Chara* p = wd.charas[0];
  p->x = 1500;  // as if it ran far on in one frame
  wd.update();
  EXPECT_EQ(wd.cameraX, 0);
  EXPECT_EQ(p->x, 800 - World::kViewEdge) << "the held view keeps the player in it";
  const double thirdX = enemy(wd, 2)->x;
  for (int i = 0; i < 50; ++i) wd.update();
  EXPECT_EQ(enemy(wd, 2)->x, thirdX) << "an enemy of a later stretch stands until the view comes to it";

  felled(wd);
  wd.update();
  EXPECT_EQ(wd.stage.stretch, 1);
  EXPECT_FALSE(wd.stage.held);
  EXPECT_GT(wd.stage.goFrames, 0) << "the GO sign shows";
  EXPECT_FALSE(wd.doorsOpen);
  for (int i = 0; i < 400 && !wd.stage.held; ++i) {
    p->x += 4;
    wd.update();
  }
  EXPECT_TRUE(wd.stage.held);
  EXPECT_EQ(wd.cameraX, 1200) << "the second stretch's end at the view's right edge";
  EXPECT_EQ(wd.stage.goFrames, 0);
}

TEST_F(Stretches, TheHoldHoldsEveryFighterOfTwo) {
  std::unique_ptr<World> world = start(kStretches, 2);
  World& wd = *world;
  ASSERT_EQ(wd.fighterCount(), 2u);
  for (int i = 0; i < 300; ++i) {
    wd.charas[0]->x += 4;
    wd.charas[1]->x += 4;
    wd.update();
  }
  EXPECT_EQ(wd.cameraX, 0) << "the camera does not follow the pair past the stretch";
  EXPECT_EQ(wd.charas[0]->x, 800 - World::kViewEdge);
  EXPECT_EQ(wd.charas[1]->x, 800 - World::kViewEdge);
  felled(wd);
  for (int i = 0; i < 200; ++i) {
    wd.charas[0]->x += 4;
    wd.charas[1]->x += 4;
    wd.update();
  }
  EXPECT_GT(wd.cameraX, 0) << "released, the camera follows them on";
}

TEST_F(Stretches, AHeldStretchsEnemiesWalkIntoTheViewAndStayInIt) {
  std::unique_ptr<World> world = start(kStretches);
  World& wd = *world;
  Chara* far = enemy(wd, 1);  // at 1200, out of the held view 0..800
  wd.update();
  EXPECT_LE(far->x, 800 + 60) << "it waits no farther out than just past the edge";
  EXPECT_GT(far->x, 800 - 40);
  for (int i = 0; i < 100; ++i) wd.update();
  EXPECT_LE(far->x, 800 - 40) << "it has walked in";
  far->x = 790;  // pushed against the edge
  Chara* near = enemy(wd, 0);
  near->x = -30;
  wd.update();
  EXPECT_LE(far->x, 760);
  EXPECT_GE(near->x, -30 + 2) << "one out of view walks in";
  for (int i = 0; i < 60; ++i) wd.update();
  EXPECT_GE(near->x, 40);
}

TEST_F(Stretches, OnceTheViewReachesAStretchItsEnemiesOutOfViewWalkBackBeforeTheHold) {
  std::unique_ptr<World> world = start(kStretches);
  World& wd = *world;
  felled(wd);
  wd.update();
  Chara* p = wd.charas[0];
  p->x = 700;  // the view (0 to 800) has reached the second stretch's beginning at 800
  wd.update();
  ASSERT_TRUE(wd.stage.reached);
  ASSERT_FALSE(wd.stage.held);
  Chara* third = enemy(wd, 0);
  third->x = 1900;  // far out of view
  wd.update();
  EXPECT_LE(third->x, wd.cameraX + 800 + 60);
  for (int i = 0; i < 100; ++i) wd.update();
  EXPECT_LE(third->x, wd.cameraX + 800 - 40) << "it has walked into the view";
  EXPECT_FALSE(wd.stage.held);
}

TEST_F(Stretches, TheLastStretchsFallGivesABeatBeforeTheDoorsTakeAnyone) {
  std::unique_ptr<World> world = start(kStretches);
  World& wd = *world;
  felled(wd);
  wd.update();
  felled(wd);
  wd.update();
  EXPECT_EQ(wd.stage.stretch, -1);
  EXPECT_TRUE(wd.doorsOpen) << "the doors open at once";
  Chara* p = wd.charas[0];
  int frames = 0;
  while (wd.name == "first" && frames < 500) {
    p->x = 1900;
    p->z = 400;
    wd.update();
    ++frames;
  }
  EXPECT_EQ(wd.name, "next");
  EXPECT_EQ(frames, wd.rules.stage.beatFrames) << "the door takes the player when the beat is over, not before";
  EXPECT_EQ(wd.stage.stretch, -1) << "a scene without stretches holds nothing";
  EXPECT_FALSE(wd.stage.held);
}

TEST_F(Stretches, TheTraceAndTheSavedStateCarryTheHold) {
  std::unique_ptr<World> world = start(kStretches);
  World& wd = *world;
  felled(wd);
  wd.update();
  {
    TraceWriter trace("trace.jsonl");
    trace.write(wd, 1, 1);
  }
  EXPECT_NE(readAll("trace.jsonl").find(",\"hold\":{\"stretch\":1,\"held\":false,\"go\":true,\"beat\":0}}"),
            std::string::npos)
      << readAll("trace.jsonl");
  std::vector<uint8_t> saved;
  wd.saveState(7, saved);
  const StageState before = wd.stage;
  for (int i = 0; i < 600 && !wd.stage.held; ++i) {
    wd.charas[0]->x += 4;
    wd.update();
  }
  ASSERT_TRUE(wd.stage.held);
  ASSERT_TRUE(wd.restoreState(saved, "saved"));
  EXPECT_EQ(wd.stage.stretch, before.stretch);
  EXPECT_EQ(wd.stage.held, before.held);
  EXPECT_EQ(wd.stage.goFrames, before.goFrames);
  EXPECT_EQ(enemy(wd, 0)->stretch, 1);

  // A folder without stretches traces no hold.
  std::unique_ptr<World> plain = start("");
  {
    TraceWriter trace("plain.jsonl");
    trace.write(*plain, 1, 1);
  }
  EXPECT_EQ(readAll("plain.jsonl").find("\"hold\""), std::string::npos);
  EXPECT_EQ(plain->stage.stretch, -1);
}

TEST_F(Stretches, EnemyPlacesAndDoorsAtAnyDepth) {
  std::unique_ptr<World> world = start("enemy-place Test 1 = 700 350\ndoor-depth = any\n");
  World& wd = *world;
  EXPECT_EQ(enemy(wd, 0)->x, 700);
  EXPECT_EQ(enemy(wd, 0)->z, 350);
  wd.doors.push_back({"Other", 1900, 300, 100, 400});
  writeScene("Other", sceneNamed("other", 1000, 500));
  for (size_t i = wd.fighterCount(); i < wd.charas.size(); ++i) wd.charas[i]->finished = true;
  wd.update();
  ASSERT_TRUE(wd.doorsOpen);
  Chara* p = wd.charas[0];
  p->x = 1890;
  p->z = 480;  // 80 in front of the door to "Next", 180 of the one to "Other"
  wd.update();
  EXPECT_EQ(wd.name, "next");
}

TEST_F(Stretches, BadLinesAreOneErrorNamingTheLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  for (const Case& c : {
           Case{"stretch Test = 800 700 1\n", "data/rules.txt:1: stretch Test is empty"},
           Case{"stretch Test = 0 800\n", "data/rules.txt:1: stretch Test names no enemy"},
           Case{"stretch Test = 0 800 1\nstretch Test = 700 1600 2\n", "data/rules.txt:2: stretch Test from 700 overlaps"},
           Case{"stretch Test = 0 800 x\n", "data/rules.txt:1: stretch Test: \"x\" is not an enemy's number"},
           Case{"stretch Test = 0 800 1\nstretch Test = 800 900 1\n", "data/rules.txt:2: stretch Test: enemy 1 already"},
           Case{"stretch = 0 800 1\n", "data/rules.txt:1: stretch needs the scene's id"},
           Case{"enemy-place Test = 1 2\n", "data/rules.txt:1: enemy-place wants"},
           Case{"door-depth = all\n", "data/rules.txt:1: door-depth is \"any\""},
           Case{"door-depth = any\ndoor-depth = near\n", "data/rules.txt:2: door-depth is given twice"},
       }) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(refusal(c.text).rfind(c.error, 0), 0u) << refusal(c.text);
  }
  // Lines that read well but do not fit the scene they name.
  auto against = [&](const std::string& text) -> std::string {
    writeText("data/rules.txt", text);
    Expected<GameRules> rules = readGameRules();
    if (!rules) return "(refused) " + rules.error().message();
    SceneFile scene = sceneNamed("first", 2000, 500);
    scene.charas = {{"guai01", 300, 400, 0}, {"guai01", 900, 100, 0}};
    scene.walls.push_back({1000, 100, 2000, 200, 100});
    Expected<bool> checked = checkStageAgainstScenes(rules->stage, [&](const std::string&) -> Expected<SceneFile> {
      return scene;
    });
    return checked ? "(accepted)" : textLineMessage(checked.error());
  };
  EXPECT_EQ(against("stretch Test = 0 2100 1\n"), "data/rules.txt:1: stretch Test ends at 2100, past the scene's width 2000");
  EXPECT_EQ(against("stretch Test = 0 800 1\nstretch Test = 800 1600 3\n"),
            "data/rules.txt:2: stretch Test names enemy 3, but the scene holds 2 enemies");
  EXPECT_EQ(against("\nstretch Test = 0 800 1 2\n").rfind("data/rules.txt:2: stretch Test: enemy 2 stands at 900 100", 0), 0u)
      << "inside the wall at the back: never reached, so the camera would hold for good";
  EXPECT_EQ(against("enemy-place Test 2 = 900 400\nstretch Test = 0 800 1 2\n"), "(accepted)");
  EXPECT_EQ(against("enemy-place Test 4 = 900 400\n"), "data/rules.txt:1: enemy-place Test: the scene holds 2 enemies, not 4");
}

}  // namespace
}  // namespace worldtest
