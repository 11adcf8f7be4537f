// Starting the world, and refusing to start without a player or a first scene.
#include "WorldHelpers.h"
#include "base/DataPath.h"
#include "base/FileBytes.h"

namespace worldtest {
namespace {

class Start : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    writeStartableGameFolder();
  }
  // The game's world in the test folder, logging to log.txt.
  std::unique_ptr<World> start() {
    WorldServices services;
    const std::string logPath = w.dir() + "/log.txt";
    services.log = [logPath](const std::string& line) { std::ofstream(logPath, std::ios::app) << line << "\n"; };
    services.random = [](int lo, int) { return lo; };
    return std::make_unique<World>(GameRules{}, std::move(services));
  }
};

TEST_F(Start, BuildsThePlayerTheHudAndTheFirstScene) {
  std::unique_ptr<World> made = start();
  World& scene = *made;
  ASSERT_TRUE(scene.ready()) << scene.startError;
  ASSERT_EQ(scene.charas.size(), 2u);
  Chara* p = scene.charas[0];
  EXPECT_EQ(p->id(), "c_morivane");
  EXPECT_EQ(p->x, 100);
  EXPECT_EQ(p->z, 400);
  EXPECT_EQ(p->team, 0);
  EXPECT_EQ(scene.charas[1]->team, 1);
  EXPECT_EQ(scene.name, "first");
  EXPECT_EQ(scene.walls.size(), 4u);
  EXPECT_EQ(scene.hud.player, p);
  EXPECT_EQ(scene.hud.power, 90);
  EXPECT_EQ(scene.systemStrings, (std::vector<std::string>{"ok", ""}));
  ASSERT_TRUE(scene.systemObj);
  EXPECT_EQ(scene.systemObj->id(), "system");
  EXPECT_EQ(scene.effectVolume, 50);
  EXPECT_FALSE(scene.gameOver);
  EXPECT_EQ(scene.cameraX, 0);
  scene.update();
  EXPECT_EQ(scene.charas.size(), 2u);
}

TEST_F(Start, AMissingPlayerFileStopsTheStartAndSaysWhy) {
  std::filesystem::remove(charaFilePath("c_morivane"));
  std::unique_ptr<World> made = start();
  World& scene = *made;
  EXPECT_FALSE(scene.ready());
  EXPECT_EQ(scene.startError.rfind("cannot start: data/chara/c_morivane.dat: ", 0), 0u) << scene.startError;
  EXPECT_TRUE(scene.charas.empty());
  EXPECT_TRUE(scene.objects.empty()) << "the first scene is not loaded";
}

TEST_F(Start, ADamagedPlayerFileNamesTheOffset) {
  auto bytes = readFileBytes(charaFilePath("c_morivane"));
  ASSERT_TRUE(bytes);
  bytes->resize(10);
  writeBytes(charaFilePath("c_morivane"), *bytes);
  std::unique_ptr<World> made = start();
  World& scene = *made;
  EXPECT_FALSE(scene.ready());
  EXPECT_NE(scene.startError.find("data/chara/c_morivane.dat: offset "), std::string::npos) << scene.startError;
}

TEST_F(Start, AMissingFirstSceneStopsTheStart) {
  std::filesystem::remove(sceneFilePath("Test"));
  std::unique_ptr<World> made = start();
  World& scene = *made;
  EXPECT_FALSE(scene.ready());
  EXPECT_EQ(scene.startError.rfind("cannot start: data/scene/Test.dat: ", 0), 0u) << scene.startError;
}

}  // namespace
}  // namespace worldtest
