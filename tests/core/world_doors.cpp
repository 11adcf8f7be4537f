// Doors open when a scene is cleared, lead on when the player stands on one,
// and a scene change keeps the player but empties everything else.
#include "WorldHelpers.h"

namespace worldtest {
namespace {

class Doors : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    SceneFile next = sceneNamed("next", 1000, 400);
    next.props.push_back({500, 300, 0, 0});
    writeScene("Next", next);
    writeScene("Other", sceneNamed("other", 1000, 400));
  }
  // The player at (x, z) in an open scene with one door at (300, 200) to "Next".
  Chara* standAt(double x, double z) {
    Chara* p = addPlayer(0, 0);
    p->x = x;
    p->z = z;
    world().name = "here";
    world().doors = {World::Door{"Next", 300, 200, 40, 50}};
    world().doorsOpen = true;
    return p;
  }
};

TEST_F(Doors, APlayer29LeftAnd9InFrontUsesTheDoor) {
  Chara* p = standAt(271, 209);
  world().useDoors();
  EXPECT_EQ(world().name, "next");
  EXPECT_EQ(p->x, 40);
  EXPECT_EQ(p->z, 50);
  EXPECT_FALSE(world().doorsOpen);
}

TEST_F(Doors, ExactlyThirtyAcrossOrTenDeepIsTooFar) {
  Chara* p = standAt(270, 200);
  world().useDoors();
  EXPECT_EQ(world().name, "here");
  p->x = 330;
  world().useDoors();
  EXPECT_EQ(world().name, "here");
  p->x = 300;
  p->z = 210;
  world().useDoors();
  EXPECT_EQ(world().name, "here");
  p->z = 190;
  world().useDoors();
  EXPECT_EQ(world().name, "here");
}

TEST_F(Doors, AJumpingPlayerOverADoorUsesIt) {
  Chara* p = standAt(300, 200);
  p->y = -80;
  world().useDoors();
  EXPECT_EQ(world().name, "next");
  EXPECT_EQ(p->y, 0);
}

TEST_F(Doors, OfTwoDoorsAtTheSamePlaceTheFirstListedIsUsed) {
  standAt(300, 200);
  world().doors = {World::Door{"Other", 300, 200, 1, 1}, World::Door{"Next", 300, 200, 2, 2}};
  world().useDoors();
  EXPECT_EQ(world().name, "other");
}

TEST_F(Doors, ClosedDoorsAreNotUsedByTheUpdate) {
  Chara* p = standAt(300, 200);
  world().doorsOpen = false;
  world().update();
  EXPECT_EQ(world().name, "here");
  world().doorsOpen = true;
  world().update();
  EXPECT_EQ(world().name, "next");
  EXPECT_EQ(p->x, 40);
}

TEST_F(Doors, TheLastEnemyRemovedOpensTheDoorsWithAMarkerEach) {
  SceneFile s = sceneNamed("guarded", 1000, 400);
  s.charas.push_back({"guai01", 600, 100, 0});
  s.charas.push_back({"guai01", 700, 100, 0});
  s.doors.push_back({"Next", 300, 200, 40, 50});
  s.doors.push_back({"Other", 900, 200, 40, 50});
  writeScene("Guarded", s);
  addPlayer(100, 100);
  ASSERT_TRUE(world().load("Guarded"));
  ASSERT_EQ(world().charas.size(), 3u);
  world().charas[1]->finished = true;
  world().update();
  EXPECT_FALSE(world().doorsOpen);
  world().charas[1]->finished = true;
  world().update();
  EXPECT_TRUE(world().doorsOpen);
  int markers = 0;
  for (const Obj* o : world().objects) {
    if (!o->asChara() && o->id() == "system" && o->action == 17) {
      ++markers;
      EXPECT_TRUE((o->x == 300 || o->x == 900) && o->z == 200 && o->y == 0);
    }
  }
  EXPECT_EQ(markers, 2);
}

TEST_F(Doors, ASceneWithoutEnemiesNeverOpensItsDoors) {
  SceneFile s = sceneNamed("empty", 1000, 400);
  s.doors.push_back({"Next", 300, 200, 40, 50});
  writeScene("Empty", s);
  addPlayer(100, 100);
  ASSERT_TRUE(world().load("Empty"));
  for (int i = 0; i < 5; ++i) world().update();
  EXPECT_FALSE(world().doorsOpen);
}

class SceneChange : public Doors {};

TEST_F(SceneChange, KeepsThePlayerItsActionAndVelocityAndDestroysEffectsAndProps) {
  SceneFile first = sceneNamed("first", 1000, 400);
  first.props.push_back({200, 100, 0, 0});
  first.props.push_back({250, 100, -20, 1});
  first.far.push_back({0, 0, 0, {}});
  first.near.push_back({0, 0, 0, {}});
  first.walls.push_back({100, 100, 10, 10, 10});
  writeScene("First", first);
  Chara* p = addPlayer(100, 100);
  ASSERT_TRUE(world().load("First"));
  ASSERT_NE(world().createObj("system", 2, 0, 0, 0, 10, 0, 10), nullptr);
  ASSERT_EQ(world().objects.size(), 4u);
  ASSERT_EQ(world().walls.size(), 5u);
  p->setAction(13);
  p->vx = 2;
  p->vz = -1;
  world().cameraX = 123;

  ASSERT_TRUE(world().changeScene("Next", 40, 50));
  EXPECT_EQ(world().charas.size(), 1u);
  EXPECT_EQ(world().charas[0], p);
  EXPECT_EQ(p->action, 13);
  EXPECT_EQ(p->vx, 2);
  EXPECT_EQ(p->vz, -1);
  EXPECT_EQ(p->x, 40);
  EXPECT_EQ(p->z, 50);
  // The player and the one prop of "Next"; nothing of "First" is left.
  ASSERT_EQ(world().objects.size(), 2u);
  EXPECT_EQ(world().objects[0], p);
  EXPECT_EQ(world().objects[1]->x, 500);
  EXPECT_EQ(world().objects[1]->team, 1);
  EXPECT_TRUE(world().layers[World::FAR].empty());
  EXPECT_TRUE(world().layers[World::NEAR].empty());
  EXPECT_EQ(world().walls.size(), 4u);
  EXPECT_EQ(world().name, "next");
  // The camera takes its place in the new scene at once (the player at x 40
  // puts it at the left edge), so the scene's first picture is already right.
  EXPECT_EQ(world().cameraX, 0);
}

TEST_F(SceneChange, ClearsTheHudTargetWhenItsEnemyGoes) {
  SceneFile s = sceneNamed("guarded", 1000, 400);
  s.charas.push_back({"guai01", 600, 100, 0});
  writeScene("Guarded", s);
  addPlayer(100, 100);
  ASSERT_TRUE(world().load("Guarded"));
  world().hud.target = world().charas[1];
  ASSERT_TRUE(world().changeScene("Next", 40, 50));
  EXPECT_EQ(world().hud.target, nullptr);
  EXPECT_EQ(world().charas.size(), 1u);
}

TEST_F(SceneChange, AMissingTargetSceneLeavesEverythingAsItIsAndIsReportedOnce) {
  Chara* p = standAt(300, 200);
  world().doors = {World::Door{"Nowhere", 300, 200, 40, 50}};
  world().walls = {Box{-1000, 0, 0, 10, 0, 10}};
  for (int i = 0; i < 10; ++i) world().update();
  EXPECT_EQ(world().name, "here");
  EXPECT_TRUE(world().doorsOpen);
  EXPECT_EQ(p->x, 300);
  EXPECT_EQ(p->z, 200);
  EXPECT_EQ(world().doors.size(), 1u);
  EXPECT_EQ(world().walls.size(), 1u);
  EXPECT_EQ(w.logCount("data/scene/Nowhere.dat"), 1u) << w.log();

  // Stepping off and back on neither tries again nor logs again.
  p->x = 100;
  world().update();
  p->x = 300;
  world().update();
  EXPECT_EQ(w.logCount("data/scene/Nowhere.dat"), 1u);
  EXPECT_EQ(world().name, "here");
}

TEST_F(SceneChange, DoorsToEmptyOrUnsafeTargetsStayAndAreReportedOnce) {
  Chara* p = standAt(300, 200);
  world().scenePath = "data/scene/Here.dat";
  // A scene file that is a link to /dev/zero would be read without end.
  std::filesystem::create_symlink("/dev/zero", "data/scene/Zero.dat");
  for (const std::string& target : std::vector<std::string>{"", "../../dev/zero", "/etc/passwd", std::string("Zero\0x", 6), "Zero"}) {
    world().doors = {World::Door{target, 300, 200, 40, 50}};
    for (int i = 0; i < 20; ++i) world().update();
    EXPECT_EQ(world().name, "here") << escapedName(target);
    EXPECT_EQ(p->x, 300);
    EXPECT_TRUE(world().doorsOpen);
  }
  const std::string log = w.log();
  EXPECT_EQ(countOccurrences(log, "cannot change scene: data/scene/Here.dat: scene id \"\": offset 0: not a plain name: it is empty"), 1u) << log;
  EXPECT_EQ(countOccurrences(log, "scene id \"../../dev/zero\": offset 0: not a plain name: it holds a folder separator"), 1u);
  EXPECT_EQ(countOccurrences(log, "scene id \"/etc/passwd\""), 1u);
  EXPECT_EQ(countOccurrences(log, "scene id \"Zero\\x00x\": offset 0: not a plain name: it holds a NUL byte"), 1u);
  EXPECT_EQ(countOccurrences(log, "data/scene/Zero.dat: offset 0: not a regular file"), 1u);
}

TEST_F(SceneChange, ADoorToASceneWithAGbkIdLeadsThere) {
  Chara* p = standAt(300, 200);
  const std::string second = "\xB5\xDA\xB6\xFE\xB9\xD8";  // 第二关
  SceneFile target = sceneNamed(second, 900, 400);
  std::vector<uint8_t> bytes = writeSceneFile(target);
  {
    std::ofstream out("data/scene/\u7B2C\u4E8C\u5173.dat", std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  world().doors = {World::Door{second, 300, 200, 40, 50}};
  world().update();
  EXPECT_EQ(world().name, second) << w.log();
  EXPECT_EQ(p->x, 40);
}

TEST_F(SceneChange, ADamagedTargetSceneNamesTheFileAndTheErrorAndKeepsTheScene) {
  std::vector<uint8_t> bytes = writeSceneFile(sceneNamed("broken", 800, 400));
  bytes.resize(bytes.size() - 3);
  {
    std::ofstream out(sceneFilePath("Broken"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  Chara* p = standAt(300, 200);
  world().doors = {World::Door{"Broken", 300, 200, 40, 50}};
  ASSERT_NE(world().createObj("system", 2, 0, 0, 0, 10, 0, 10), nullptr);
  const size_t before = world().objects.size();
  world().update();
  EXPECT_EQ(world().name, "here");
  EXPECT_EQ(world().objects.size(), before);
  EXPECT_EQ(p->x, 300);
  EXPECT_EQ(w.logCount("data/scene/Broken.dat: offset "), 1u) << w.log();
}

}  // namespace
}  // namespace worldtest
