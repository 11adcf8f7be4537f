// The first picture of a scene shows every object where it stands: objects
// get their screen place when they are made, and a scene change places the
// camera and the player before anything is drawn.
#include "RenderedWorld.h"
#include "WorldHelpers.h"

namespace worldtest {
namespace {

class FirstFrame : public WorldTestOf<objtest::RenderedWorld> {
 protected:
  void SetUp() override {
    WorldTestOf::SetUp();
    const int32_t set = w.addPictureSet("fighters", {{40, 80}});
    for (const char* id : {"c_morivane", "guai01", "prop"}) {
      CharaData d = fighter(id, 30);
      d.pictureSet = set;
      w.writeChara(id, d);
    }
    SceneFile street = sceneNamed("street", 2000, 500);
    street.pictureSet = -1;  // no scenery: only the fighters use the picture
    street.charas.push_back({"guai01", 500, 300, 0});
    street.props.push_back({700, 320, 0, 0});
    writeScene("Street", street);
  }
  // The left edges of the quads drawn with the fighters' picture, in drawing order.
  std::vector<float> fighterQuads() {
    const HTEXTURE picture = w.picture(world().charas[0], 0);
    std::vector<float> lefts;
    w.engine()->Gfx_SetCaptureHook([&](const hgeQuad& q) {
      if (q.tex == picture && q.v[0].col == 0xFFFFFFFF) lefts.push_back(q.v[0].x);
    });
    w.render();
    w.engine()->Gfx_SetCaptureHook(nullptr);
    std::sort(lefts.begin(), lefts.end());
    return lefts;
  }
};

TEST_F(FirstFrame, ObjectsOfANewSceneAreDrawnWhereTheyStandBeforeTheyFirstMove) {
  addPlayer(100, 400);
  ASSERT_TRUE(world().load("Street"));
  // Nothing has moved yet: no update ran since the scene was read.
  const std::vector<float> lefts = fighterQuads();
  // The player at 100, the enemy at 500 and the prop at 700, each 40 wide, centred.
  EXPECT_EQ(lefts, (std::vector<float>{80, 480, 680}));
}

TEST_F(FirstFrame, AfterADoorThePlayerAndTheCameraAreInTheNewScene) {
  Chara* p = addPlayer(0, 0);
  world().width = 3000;
  p->x = 1639;
  world().followCamera();
  world().update();  // the player's screen place is now from the old scene
  ASSERT_GT(world().cameraX, 1000);
  ASSERT_TRUE(world().changeScene("Street", 120, 400));
  EXPECT_EQ(world().cameraX, 0);
  const std::vector<float> lefts = fighterQuads();
  EXPECT_EQ(lefts, (std::vector<float>{100, 480, 680}));
  // The next frame draws them at the same places (nobody moves on their own).
  world().update();
  EXPECT_EQ(fighterQuads(), lefts);
}

TEST_F(FirstFrame, ASparkIsDrawnAtItsPlaceInTheFrameItAppears) {
  addPlayer(100, 400);
  world().cameraX = 300;
  Obj* spark = world().createObj("prop", 0, 0, 0, 0, 820, 0, 410);
  ASSERT_NE(spark, nullptr);
  EXPECT_EQ(spark->sx, 520);
  EXPECT_EQ(spark->sz, 410);
}

}  // namespace
}  // namespace worldtest
