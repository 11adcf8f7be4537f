// The scenery as the renderer draws it: a fixed background, the far layer at
// half the camera's scroll, the middle layer, the objects, the near layer.
#include "RenderedWorld.h"
#include "WorldHelpers.h"

namespace worldtest {
namespace {

class Scenery : public WorldTestOf<objtest::RenderedWorld> {};

TEST_F(Scenery, TheFarLayerScrollsAtHalfTheCameraSpeedAndTheNearLayerCoversTheObjects) {
  SceneFile s = sceneNamed("layers", 2000, 400);
  s.far.push_back({100, 30, 0, {}});
  s.middle.push_back({100, 40, 0, {}});
  s.near.push_back({100, 50, 0, {}});
  writeScene("Layers", s);
  ASSERT_TRUE(world().load("Layers"));
  world().createObj("system", 2, 0, 0, 0, 500, 0, 100);
  world().cameraX = 200;
  std::vector<hgeQuad> quads;
  w.engine()->Gfx_SetCaptureHook([&quads](const hgeQuad& q) { quads.push_back(q); });
  w.renderer().drawScenery(world(), false);
  const size_t back = quads.size();
  for (Obj* o : world().objects) w.renderer().drawObject(*o);
  const size_t withObjects = quads.size();
  w.renderer().drawScenery(world(), true);
  w.engine()->Gfx_SetCaptureHook(nullptr);
  ASSERT_EQ(back, 3u) << "background, far, middle";
  ASSERT_EQ(quads.size(), withObjects + 1) << "near";
  EXPECT_FLOAT_EQ(quads[0].v[0].x, 0) << "the background does not scroll";
  EXPECT_FLOAT_EQ(quads[0].v[0].y, 0);
  EXPECT_FLOAT_EQ(quads[1].v[0].x, 0) << "far: 100 - 200 / 2";
  EXPECT_FLOAT_EQ(quads[1].v[0].y, 30);
  EXPECT_FLOAT_EQ(quads[2].v[0].x, -100) << "middle: 100 - 200";
  EXPECT_FLOAT_EQ(quads[2].v[0].y, 40);
  EXPECT_FLOAT_EQ(quads.back().v[0].x, -100);
  EXPECT_FLOAT_EQ(quads.back().v[0].y, 50);
}

TEST_F(Scenery, StripsLandOnWholePixelsSoTwoThatMeetLeaveNoSeam) {
  SceneFile s = sceneNamed("strips", 2000, 400);
  s.far.push_back({0, 90, 0, {}});
  s.far.push_back({700, 90, 0, {}});
  s.middle.push_back({0, 286, 0, {}});
  s.middle.push_back({400, 286, 0, {}});
  s.near.push_back({350, 0, 0, {}});
  writeScene("Strips", s);
  ASSERT_TRUE(world().load("Strips"));
  world().cameraX = 123.25;  // the far layer at -61.625, the middle at -123.25
  std::vector<hgeQuad> quads;
  w.engine()->Gfx_SetCaptureHook([&quads](const hgeQuad& q) { quads.push_back(q); });
  w.renderer().drawScenery(world(), false);
  w.renderer().drawScenery(world(), true);
  w.engine()->Gfx_SetCaptureHook(nullptr);
  ASSERT_EQ(quads.size(), 6u) << "background, two far, two middle, near";
  EXPECT_FLOAT_EQ(quads[1].v[0].x, -62);
  EXPECT_FLOAT_EQ(quads[2].v[0].x, 700 - 62);
  EXPECT_FLOAT_EQ(quads[3].v[0].x, -124);
  EXPECT_FLOAT_EQ(quads[4].v[0].x, 400 - 124);
  EXPECT_FLOAT_EQ(quads[5].v[0].x, 350 - 124);
}

}  // namespace
}  // namespace worldtest
