// The heads-up display and the score line as the renderer draws them.
#include "RenderedWorld.h"
#include "TestFont.h"
#include "WorldHelpers.h"

namespace worldtest {
namespace {

class StartDrawn : public WorldTestOf<objtest::RenderedWorld> {
 protected:
  void SetUp() override {
    WorldTestOf::SetUp();
    writeStartableGameFolder();
  }
  // The game's world in the test folder, logging through the engine.
  std::unique_ptr<World> start() {
    WorldServices services;
    HGE* engine = w.engine();
    services.log = [engine](const std::string& line) { engine->System_Log("%s", line.c_str()); };
    services.random = [engine](int lo, int hi) { return engine->Random_Int(lo, hi); };
    return std::make_unique<World>(GameRules{}, std::move(services));
  }
};


TEST_F(StartDrawn, TheScoreLineIsBlackAndEndsAtTheRightEdge) {
  ASSERT_TRUE(writeTestFont("Score=0123456789 ", 10));  // 10-pixel glyphs for the line's characters
  std::unique_ptr<World> made = start();
  World& scene = *made;
  ASSERT_TRUE(scene.ready()) << scene.startError;
  scene.hud.score = 120;
  std::vector<hgeQuad> quads;
  WorldRenderer renderer(w.engine(), scene.catalog);
  w.engine()->Gfx_SetCaptureHook([&quads](const hgeQuad& q) { quads.push_back(q); });
  renderer.draw(scene);
  w.engine()->Gfx_SetCaptureHook(nullptr);
  // "Score = 120  " is 13 glyphs after everything else of the frame.
  ASSERT_GE(quads.size(), 13u);
  const std::vector<hgeQuad> line(quads.end() - 13, quads.end());
  EXPECT_FLOAT_EQ(line.front().v[0].x, 800 - 130);
  EXPECT_FLOAT_EQ(line.front().v[0].y, 0);
  EXPECT_FLOAT_EQ(line.back().v[1].x, 800);
  for (const hgeQuad& q : line) EXPECT_EQ(q.v[0].col, 0xFF000000u);
}

class HudBars : public WorldTestOf<objtest::RenderedWorld> {
 protected:
  void SetUp() override {
    WorldTestOf::SetUp();
    // The display's pictures, each larger than the rectangle the display shows of it.
    std::filesystem::create_directories("pak/ui/hta");
    for (const char* name : {"base", "hp", "sp", "cp", "m_hp"})
      objtest::RenderedWorld::writePng(std::string("pak/ui/hta/") + name + ".png", 400, 200, 0xFF808080u);
  }
  Hud& hud() { return world().hud; }
  HudDrawer& drawer() { return w.renderer().hud(); }
};

TEST_F(HudBars, LargerPicturesAreCutToTheDisplaysFixedRectangles) {
  addPlayer(100, 100);
  std::vector<hgeQuad> quads;
  w.engine()->Gfx_SetCaptureHook([&quads](const hgeQuad& q) { quads.push_back(q); });
  drawer().draw(hud());
  w.engine()->Gfx_SetCaptureHook(nullptr);
  ASSERT_EQ(quads.size(), 4u);  // frame, player bar, second bar, gauge (no target)
  const hgeQuad& frame = quads[0];
  EXPECT_FLOAT_EQ(frame.v[2].x - frame.v[0].x, 362);
  EXPECT_FLOAT_EQ(frame.v[2].y - frame.v[0].y, 178);
  EXPECT_FLOAT_EQ(frame.v[2].tx, 362.0f / 400);
  EXPECT_FLOAT_EQ(frame.v[2].ty, 178.0f / 200);
  const hgeQuad& second = quads[2];
  EXPECT_FLOAT_EQ(second.v[0].x, 125);
  EXPECT_FLOAT_EQ(second.v[2].x - second.v[0].x, 169);
  EXPECT_FLOAT_EQ(second.v[2].y - second.v[0].y, 5);
}

TEST_F(HudBars, AMissingPictureIsLoggedAndLeftOut) {
  std::filesystem::remove("pak/ui/hta/sp.png");
  addPlayer(100, 100);
  std::vector<hgeQuad> quads;
  w.engine()->Gfx_SetCaptureHook([&quads](const hgeQuad& q) { quads.push_back(q); });
  drawer().draw(hud());
  drawer().draw(hud());
  w.engine()->Gfx_SetCaptureHook(nullptr);
  EXPECT_EQ(quads.size(), 6u);  // frame, player bar and gauge, twice; never a white block
  EXPECT_EQ(w.logCount("The display's picture pak/ui/hta/sp.png is missing"), 1u) << w.log();
}

TEST_F(HudBars, ThePlayerBarIsHitPointsOverFullTimes169) {
  Chara* p = addPlayer(100, 100);
  drawer().draw(hud());
  EXPECT_FLOAT_EQ(drawer().hp.width(), 169);
  EXPECT_FLOAT_EQ(drawer().hp.height(), 7);
  p->hp = 0;
  drawer().draw(hud());
  EXPECT_FLOAT_EQ(drawer().hp.width(), 0);
  w.writeChara("three", fighter("three", 3));
  Chara* t = world().createChara("three", 0, 0, 0);
  hud().player = t;
  t->hp = 1;
  drawer().draw(hud());
  EXPECT_FLOAT_EQ(drawer().hp.width(), 169.0f / 3);
}

TEST_F(HudBars, NoFullHitPointsDrawsAnEmptyBar) {
  w.writeChara("hollow", fighter("hollow", 0));
  Chara* p = world().createChara("hollow", 0, 0, 0);
  hud().player = p;
  p->hp = 5;
  hud().target = p;
  drawer().draw(hud());
  EXPECT_EQ(drawer().hp.width(), 0);
  EXPECT_EQ(drawer().mhp.width(), 0);
}

TEST_F(HudBars, ThePowerGaugeIs64AtFullAnd42Point667At60) {
  addPlayer(100, 100);
  drawer().draw(hud());
  EXPECT_FLOAT_EQ(drawer().cp.width(), 64);
  hud().power = 60;
  drawer().draw(hud());
  EXPECT_NEAR(drawer().cp.width(), 42.667, 0.001);
}

TEST_F(HudBars, TheTargetBarIsDrawnOnlyWithATarget) {
  addPlayer(100, 100);
  Chara* e = world().createChara("guai01", 1, 300, 100);
  e->hp = 15;
  std::vector<hgeQuad> quads;
  w.engine()->Gfx_SetCaptureHook([&quads](const hgeQuad& q) { quads.push_back(q); });
  drawer().draw(hud());
  const size_t without = quads.size();
  quads.clear();
  hud().target = e;
  drawer().draw(hud());
  w.engine()->Gfx_SetCaptureHook(nullptr);
  EXPECT_EQ(quads.size(), without + 1);
  EXPECT_FLOAT_EQ(drawer().mhp.width(), 84.5f);
  EXPECT_FLOAT_EQ(drawer().mhp.height(), 10);
}

}  // namespace
}  // namespace worldtest
