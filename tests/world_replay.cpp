// A small game of its own, played headless from a replay file and checked
// through its trace: the camera, a wall, a hit, a kill, the doors opening, a
// scene change and victory in the scene named "zd".
#include <charconv>
#include <sstream>

#include "RenderedWorld.h"
#include "WorldHelpers.h"
#include "app/ScreenFlow.h"
#include "world/Trace.h"

namespace worldtest {
namespace {

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A pen of four walls around (x, z): the enemy inside cannot leave it, so the
// game plays the same whatever the enemy decides.
void addPen(SceneFile& s, int32_t x, int32_t z) {
  s.walls.push_back({x - 50, z, 20, 100, 100});
  s.walls.push_back({x + 50, z, 20, 100, 100});
  s.walls.push_back({x, z - 55, 120, 10, 100});
  s.walls.push_back({x, z + 55, 120, 10, 100});
}

// A number or word after "key": in the line, searching from `from`.
double number(const std::string& line, const std::string& key, size_t from = 0) {
  const std::string k = "\"" + key + "\":";
  const size_t at = line.find(k, from);
  if (at == std::string::npos) {
    ADD_FAILURE() << "no " << key << " in " << line;
    return -1e300;
  }
  double v = 0;
  std::from_chars(line.data() + at + k.size(), line.data() + line.size(), v);
  return v;
}
std::string word(const std::string& line, const std::string& key) {
  const std::string k = "\"" + key + "\":";
  const size_t at = line.find(k);
  if (at == std::string::npos) return "";
  const size_t start = at + k.size();
  size_t end = start;
  if (line[start] == '"') {
    end = line.find('"', start + 1) + 1;
  } else {
    while (end < line.size() && line[end] != ',' && line[end] != '}') ++end;
  }
  return line.substr(start, end - start);
}

struct Frame {
  std::string line;
  int frame() const { return static_cast<int>(number(line, "frame")); }
  std::string scene() const { return word(line, "scene"); }
  double cameraX() const { return number(line, "cameraX"); }
  double px() const { return number(line, "x", line.find("\"player\"")); }
  double pz() const { return number(line, "z", line.find("\"player\"")); }
  bool hasEnemy() const { return line.find("\"enemies\":[]") == std::string::npos; }
  double enemyHp() const { return number(line, "hp", line.find("\"enemies\"")); }
  double kills() const { return number(line, "kills"); }
  double score() const { return number(line, "score"); }
  bool doorsOpen() const { return word(line, "doorsOpen") == "true"; }
  bool gameOver() const { return word(line, "gameOver") == "true"; }
};

class ReplayedGame : public WorldTestOf<objtest::RenderedWorld> {
 protected:
  void SetUp() override {
    WorldTestOf::SetUp();
    ResourceCatalog catalog;
    catalog.entries.push_back(ResourceEntry{"set", {}, {}});
    writeBytes("data/res.dat", writeResourceCatalog(catalog));
    writeBytes("data/system.dat", std::vector<uint8_t>{0, 0, 0, 0});

    CharaData hero = fighter("hero", 100);
    // Standing stops: vx and vz := 0, everything else kept.
    hero.actions[0] = act({op(1, {0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 1, 0}), bodyBox(0, -50, 40, 100, 20), frame(0, 0)});
    // The punch: a box reaching 60 forward for 10 damage, armed at once, 20 ticks long.
    hero.actions[13] = act({bodyBox(0, -50, 40, 100, 20), attackBox(60, -50, 100, 100, 60, 10),
                            armHit(-2, 5, 3, 1, 2), frame(0, 20)});
    w.writeChara("c_morivane", hero);
    w.writeChara("guai01", fighter("guai01", 10));
    w.writeChara("guai02", fighter("guai02", 10));
    CharaData effects = systemEffects();
    effects.actions[2] = act({frame(0, 5)});  // sparks fade after five ticks
    w.writeChara("system", effects);

    SceneFile test = sceneNamed("Test", 1000, 500);
    test.charas.push_back({"guai01", 700, 400, 0});
    addPen(test, 700, 400);
    test.doors.push_back({"zd", 200, 400, 100, 250});
    writeScene("Test", test);
    SceneFile last = sceneNamed("zd", 800, 500);
    last.charas.push_back({"guai02", 300, 250, 0});
    addPen(last, 300, 250);
    writeScene("zd", last);
  }

  // Plays the replay to the end of the game (or `maxFrames`), one trace line per frame of play.
  std::vector<Frame> play(const std::string& replay, int maxFrames, std::string& result) {
    {
      std::ofstream out("run.replay");
      out << replay;
    }
    HGE* e = w.engine();
    e->System_Shutdown();
    e->System_SetState(HGE_REPLAYFILE, "run.replay");
    e->System_SetState(HGE_MAXFRAMES, maxFrames);
    EXPECT_TRUE(e->System_Initiate()) << e->System_GetErrorMessage();
    e->Random_Seed(20240611);

    std::unique_ptr<World> scene;
    std::unique_ptr<WorldRenderer> renderer;
    int state = 0;
    bool ended = false;
    {
      TraceWriter trace("trace.jsonl");
      EXPECT_TRUE(trace.ok());
      e->System_SetState(HGE_FRAMEFUNC, [&]() -> bool {
        if (state == 0) {
          WorldServices services;
          services.log = [e](const std::string& line) { e->System_Log("%s", line.c_str()); };
          services.random = [e](int lo, int hi) { return e->Random_Int(lo, hi); };
          scene = std::make_unique<World>(GameRules{}, std::move(services));
          if (!scene->ready()) return true;
          renderer = std::make_unique<WorldRenderer>(e, scene->catalog);
          scene->controlPlayer(readFrameInput(e));
          state = 1;
          return false;
        }
        if (state == 1) {
          scene->update();
          if (scene->gameOver) state = 2;
          trace.write(*scene, e->System_GetFrame(), state);
          if (state == 2) ended = true;
          if (state == 1) scene->controlPlayer(readFrameInput(e));
          return state == 2;
        }
        return true;
      });
      e->System_SetState(HGE_RENDERFUNC, [&]() -> bool {
        if (state == 1) renderer->draw(*scene);
        return false;
      });
      e->System_Start();
      e->System_SetState(HGE_FRAMEFUNC, hgeCallback{});
      e->System_SetState(HGE_RENDERFUNC, hgeCallback{});
      EXPECT_TRUE(scene && scene->ready()) << (scene ? scene->startError : std::string("no world"));
      result = resultLine(scene.get(), ended, e->System_GetFrame());
    }
    renderer.reset();
    scene.reset();
    e->System_Shutdown();
    e->System_SetState(HGE_REPLAYFILE, "");
    e->System_SetState(HGE_MAXFRAMES, 0);
    e->System_Initiate();

    std::vector<Frame> frames;
    std::ifstream in("trace.jsonl");
    for (std::string line; std::getline(in, line);) frames.push_back(Frame{line});
    return frames;
  }
};

// Walk right into the pen's wall, punch the enemy through it, walk back left
// to the door, then in "zd" turn, walk to the other pen and punch again.
const char* kGame =
    "2 down D\n"
    "400 up D\n"
    "410 down J\n"
    "412 up J\n"
    "500 down A\n"
    "700 up A\n"
    "720 down D\n"
    "850 up D\n"
    "870 down J\n"
    "872 up J\n";

TEST_F(ReplayedGame, IsWonInTheSceneNamedZd) {
  std::string result;
  const std::vector<Frame> frames = play(kGame, 2000, result);
  ASSERT_GT(frames.size(), 100u);
  auto at = [&](int frame) -> const Frame& {
    for (const Frame& f : frames) {
      if (f.frame() == frame) return f;
    }
    static Frame none;
    ADD_FAILURE() << "no trace line for frame " << frame;
    return none;
  };

  // The walk right: the camera starts to follow beyond x 500 and keeps the
  // player 100 units right of the window's centre.
  EXPECT_EQ(frames.front().frame(), 2);
  EXPECT_EQ(at(100).cameraX(), 0);
  EXPECT_EQ(at(400).scene(), "\"Test\"");
  // The pen's left wall (x 640 to 660) stops the 40-wide body 1 unit short.
  EXPECT_EQ(at(400).px(), 619);
  EXPECT_EQ(at(380).px(), 619);
  // The body reached 620 before the wall pushed it back to 619: the camera went
  // to 120 and stays, 99 units being within its slack.
  EXPECT_EQ(at(400).cameraX(), 120);
  double highest = 0;
  for (const Frame& f : frames) {
    if (f.scene() == "\"Test\"") highest = std::max(highest, f.px());
  }
  EXPECT_LE(highest, 620);

  // The punch at frame 410 lands in the next update: 10 damage takes all 10 hit points.
  EXPECT_EQ(at(410).enemyHp(), 10);
  EXPECT_EQ(at(411).enemyHp(), 0);
  EXPECT_EQ(word(at(411).line, "target"), "null") << "a lethal hit targets nobody";

  // The knock-down lands, the enemy finishes and is removed: a kill, its score, open doors.
  int killFrame = 0;
  for (const Frame& f : frames) {
    if (f.kills() == 1) {
      killFrame = f.frame();
      break;
    }
  }
  ASSERT_GT(killFrame, 411);
  ASSERT_LT(killFrame, 500);
  EXPECT_FALSE(at(killFrame - 1).doorsOpen());
  EXPECT_TRUE(at(killFrame).doorsOpen());
  EXPECT_FALSE(at(killFrame).hasEnemy());
  EXPECT_EQ(at(killFrame).score(), 10);

  // Back left to the door at x 200: the scene changes where the player comes within 30 of it.
  int changeFrame = 0;
  for (const Frame& f : frames) {
    if (f.scene() == "\"zd\"") {
      changeFrame = f.frame();
      break;
    }
  }
  ASSERT_GT(changeFrame, 500);
  EXPECT_GT(at(changeFrame - 1).px(), 229);
  EXPECT_EQ(at(changeFrame).px(), 100);
  EXPECT_EQ(at(changeFrame).pz(), 250);
  EXPECT_FALSE(at(changeFrame).doorsOpen());
  EXPECT_TRUE(at(changeFrame).hasEnemy());
  EXPECT_EQ(number(at(changeFrame).line, "objects"), 2) << "the player and the new enemy; effects and markers are gone";

  // The second pen's wall and the last punch: victory ends the run.
  EXPECT_EQ(at(850).px(), 219);
  const Frame& last = frames.back();
  EXPECT_EQ(last.scene(), "\"zd\"");
  EXPECT_TRUE(last.gameOver());
  EXPECT_EQ(number(last.line, "state"), 2);
  EXPECT_EQ(last.kills(), 2);
  EXPECT_EQ(last.score(), 30);
  EXPECT_FALSE(last.hasEnemy());
  EXPECT_EQ(result, "result=victory score=30 kills=2 frames=" + std::to_string(last.frame()));
  for (size_t i = 0; i + 1 < frames.size(); ++i) EXPECT_FALSE(frames[i].gameOver());
}

TEST_F(ReplayedGame, StopsRunningAtTheFrameLimit) {
  std::string result;
  const std::vector<Frame> frames = play("2 down D\n", 300, result);
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.back().frame(), 300);
  EXPECT_EQ(result, "result=running score=0 kills=0 frames=300");
}

}  // namespace
}  // namespace worldtest
