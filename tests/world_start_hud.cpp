// Starting the world (and refusing to start without a player or a first
// scene), and the bars of the heads-up display.
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include "WorldHelpers.h"
#include "base/DataPath.h"
#include "base/FileBytes.h"

namespace worldtest {
namespace {

class Start : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    ResourceCatalog catalog;
    catalog.entries.push_back(ResourceEntry{"set", {}, {}});
    writeBytes("data/res.dat", writeResourceCatalog(catalog));
    writeBytes("data/system.dat", std::vector<uint8_t>{2, 0, 0, 0, 2, 'o', 'k', 0});
    SceneFile test = sceneNamed("first", 1000, 500);
    test.charas.push_back({"guai01", 600, 300, 0});
    writeScene("Test", test);
  }
  static void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
};

TEST_F(Start, BuildsThePlayerTheHudAndTheFirstScene) {
  Scene scene(w.engine());
  ASSERT_TRUE(scene.ready()) << scene.startError;
  ASSERT_EQ(scene.charas.size(), 2u);
  Chara* p = scene.charas[0];
  EXPECT_EQ(p->id(), "c_morivane");
  EXPECT_EQ(p->x, 100);
  EXPECT_EQ(p->z, 400);
  EXPECT_EQ(p->team, 0);
  EXPECT_EQ(scene.charas[1]->team, 1);
  EXPECT_EQ(scene.name, "first");
  EXPECT_EQ(scene.boxes.size(), 4u);
  ASSERT_TRUE(scene.hud);
  EXPECT_EQ(scene.hud->player, p);
  EXPECT_EQ(scene.hud->power, 90);
  EXPECT_EQ(scene.systemStrings, (std::vector<std::string>{"ok", ""}));
  ASSERT_TRUE(scene.systemObj);
  EXPECT_EQ(scene.systemObj->id(), "system");
  EXPECT_EQ(scene.effectVolume, 50);
  EXPECT_FALSE(scene.gameOver);
  EXPECT_EQ(scene.cameraX, 0);
  scene.update();
  scene.render();
}

TEST_F(Start, AMissingPlayerFileStopsTheStartAndSaysWhy) {
  std::filesystem::remove(charaFilePath("c_morivane"));
  Scene scene(w.engine());
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
  Scene scene(w.engine());
  EXPECT_FALSE(scene.ready());
  EXPECT_NE(scene.startError.find("data/chara/c_morivane.dat: offset "), std::string::npos) << scene.startError;
}

TEST_F(Start, AMissingFirstSceneStopsTheStart) {
  std::filesystem::remove(sceneFilePath("Test"));
  Scene scene(w.engine());
  EXPECT_FALSE(scene.ready());
  EXPECT_EQ(scene.startError.rfind("cannot start: data/scene/Test.dat: ", 0), 0u) << scene.startError;
}

TEST_F(Start, TheScoreLineIsBlackAndEndsAtTheRightEdge) {
  // A font of 10-pixel glyphs for every character the line uses.
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 256, 16, 32, SDL_PIXELFORMAT_ARGB8888);
  ASSERT_NE(s, nullptr);
  SDL_FillRect(s, nullptr, 0xFFFFFFFF);
  ASSERT_EQ(IMG_SavePNG(s, "font1.png"), 0);
  SDL_FreeSurface(s);
  {
    std::ofstream fnt("font1.fnt");
    fnt << "[HGEFONT]\nBitmap=font1.png\n";
    int x = 0;
    for (const char* c = "Score=0123456789 "; *c; ++c, x += 10) {
      char code[8];
      std::snprintf(code, sizeof code, "%02X", static_cast<unsigned char>(*c));
      fnt << "Char=" << code << "," << x << ",0,10,16,0,0\n";
    }
  }
  Scene scene(w.engine());
  ASSERT_TRUE(scene.ready()) << scene.startError;
  scene.hud->score = 120;
  std::vector<hgeQuad> quads;
  w.engine()->Gfx_SetCaptureHook([&quads](const hgeQuad& q) { quads.push_back(q); });
  scene.render();
  w.engine()->Gfx_SetCaptureHook(nullptr);
  // "Score = 120  " is 13 glyphs after everything else of the frame.
  ASSERT_GE(quads.size(), 13u);
  const std::vector<hgeQuad> line(quads.end() - 13, quads.end());
  EXPECT_FLOAT_EQ(line.front().v[0].x, 800 - 130);
  EXPECT_FLOAT_EQ(line.front().v[0].y, 0);
  EXPECT_FLOAT_EQ(line.back().v[1].x, 800);
  for (const hgeQuad& q : line) EXPECT_EQ(q.v[0].col, 0xFF000000u);
}

class HudBars : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    // The display's pictures, each larger than the rectangle the display shows of it.
    std::filesystem::create_directories("pak/ui/hta");
    for (const char* name : {"base", "hp", "sp", "cp", "m_hp"})
      objtest::ObjectWorld::writePng(std::string("pak/ui/hta/") + name + ".png", 400, 200, 0xFF808080u);
  }
  Hud& hud() { return *world().hud; }
};

TEST_F(HudBars, LargerPicturesAreCutToTheDisplaysFixedRectangles) {
  addPlayer(100, 100);
  std::vector<hgeQuad> quads;
  w.engine()->Gfx_SetCaptureHook([&quads](const hgeQuad& q) { quads.push_back(q); });
  hud().draw();
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
  hud().draw();
  hud().draw();
  w.engine()->Gfx_SetCaptureHook(nullptr);
  EXPECT_EQ(quads.size(), 6u);  // frame, player bar and gauge, twice; never a white block
  EXPECT_EQ(w.logCount("The display's picture pak/ui/hta/sp.png is missing"), 1u) << w.log();
}

TEST_F(HudBars, ThePlayerBarIsHitPointsOverFullTimes169) {
  Chara* p = addPlayer(100, 100);
  hud().draw();
  EXPECT_FLOAT_EQ(hud().hp.width(), 169);
  EXPECT_FLOAT_EQ(hud().hp.height(), 7);
  p->hp = 0;
  hud().draw();
  EXPECT_FLOAT_EQ(hud().hp.width(), 0);
  w.writeChara("three", fighter("three", 3));
  Chara* t = world().createChara("three", 0, 0, 0);
  hud().player = t;
  t->hp = 1;
  hud().draw();
  EXPECT_FLOAT_EQ(hud().hp.width(), 169.0f / 3);
}

TEST_F(HudBars, NoFullHitPointsDrawsAnEmptyBar) {
  w.writeChara("hollow", fighter("hollow", 0));
  Chara* p = world().createChara("hollow", 0, 0, 0);
  hud().player = p;
  p->hp = 5;
  hud().target = p;
  hud().draw();
  EXPECT_EQ(hud().hp.width(), 0);
  EXPECT_EQ(hud().mhp.width(), 0);
}

TEST_F(HudBars, ThePowerGaugeIs64AtFullAnd42Point667At60) {
  addPlayer(100, 100);
  hud().draw();
  EXPECT_FLOAT_EQ(hud().cp.width(), 64);
  hud().power = 60;
  hud().draw();
  EXPECT_NEAR(hud().cp.width(), 42.667, 0.001);
}

TEST_F(HudBars, TheTargetBarIsDrawnOnlyWithATarget) {
  addPlayer(100, 100);
  Chara* e = world().createChara("guai01", 1, 300, 100);
  e->hp = 15;
  std::vector<hgeQuad> quads;
  w.engine()->Gfx_SetCaptureHook([&quads](const hgeQuad& q) { quads.push_back(q); });
  hud().draw();
  const size_t without = quads.size();
  quads.clear();
  hud().target = e;
  hud().draw();
  w.engine()->Gfx_SetCaptureHook(nullptr);
  EXPECT_EQ(quads.size(), without + 1);
  EXPECT_FLOAT_EQ(hud().mhp.width(), 84.5f);
  EXPECT_FLOAT_EQ(hud().mhp.height(), 10);
}

}  // namespace
}  // namespace worldtest
