// The sprite's quad, as the engine receives it through the capture hook.
#include <gtest/gtest.h>

#include <vector>

#include "engine_support.h"
#include "gfx/SpriteQuad.h"

namespace {

class SpriteGeometry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(writeSolidPng(dir.file("tex.png"), 64, 32, 0x336699));
    texture = engine->Texture_Load(dir.file("tex.png").c_str());
    ASSERT_NE(texture, 0u);
    engine->Gfx_SetCaptureHook([this](const hgeQuad& q) { drawn.push_back(q); });
  }
  void TearDown() override { engine->Gfx_SetCaptureHook(nullptr); }

  // The last quad drawn.
  const hgeQuad& last() { return drawn.back(); }

  ScratchDir dir;
  TestEngine engine;
  HTEXTURE texture = 0;
  std::vector<hgeQuad> drawn;
};

void expectCorner(const hgeQuad& q, int i, float x, float y, float u, float v) {
  SCOPED_TRACE("corner " + std::to_string(i));
  EXPECT_FLOAT_EQ(q.v[i].x, x);
  EXPECT_FLOAT_EQ(q.v[i].y, y);
  EXPECT_FLOAT_EQ(q.v[i].tx, u);
  EXPECT_FLOAT_EQ(q.v[i].ty, v);
}

TEST_F(SpriteGeometry, ARegionIsDrawnByItsTopLeftCornerWithItsTextureCoordinates) {
  SpriteQuad s(engine.get(), texture, 16, 8, 32, 16);
  s.draw(10, 20);
  ASSERT_EQ(drawn.size(), 1u);
  expectCorner(last(), 0, 10, 20, 0.25f, 0.25f);
  expectCorner(last(), 1, 42, 20, 0.75f, 0.25f);
  expectCorner(last(), 2, 42, 36, 0.75f, 0.75f);
  expectCorner(last(), 3, 10, 36, 0.25f, 0.75f);
  EXPECT_EQ(last().tex, texture);
  EXPECT_EQ(last().blend, BLEND_ALPHABLEND);
  for (const hgeVertex& v : last().v) {
    EXPECT_FLOAT_EQ(v.z, 0.5f);
    EXPECT_EQ(v.col, 0xFFFFFFFFu);
  }
}

TEST_F(SpriteGeometry, EachDrawIsOneEngineCall) {
  SpriteQuad s(engine.get(), texture, 0, 0, 64, 32);
  uint64_t before = engine->Gfx_GetQuadCount();
  s.draw(0, 0);
  s.draw(5, 5);
  EXPECT_EQ(drawn.size(), 2u);
  EXPECT_EQ(engine->Gfx_GetQuadCount() - before, 2u);
}

TEST_F(SpriteGeometry, WithoutATextureTheCoordinatesArePixelsAndTheQuadHasNoTexture) {
  SpriteQuad s(engine.get(), 0, 3, 4, 10, 20);
  s.setColor(0xFF00FF00);
  s.draw(1, 2);
  expectCorner(last(), 0, 1, 2, 3, 4);
  expectCorner(last(), 2, 11, 22, 13, 24);
  EXPECT_EQ(last().tex, 0u);
  for (const hgeVertex& v : last().v) EXPECT_EQ(v.col, 0xFF00FF00u);
}

TEST_F(SpriteGeometry, ScaledDrawingKeepsTheTopLeftCornerInPlace) {
  SpriteQuad s(engine.get(), texture, 0, 0, 100, 50);
  s.drawScaled(5, 7, 1, 0.2f);
  expectCorner(last(), 0, 5, 7, 0, 0);
  EXPECT_FLOAT_EQ(last().v[1].x, 105);
  EXPECT_FLOAT_EQ(last().v[1].y, 7);
  EXPECT_FLOAT_EQ(last().v[2].x, 105);
  EXPECT_FLOAT_EQ(last().v[2].y, 17);
  EXPECT_FLOAT_EQ(last().v[3].x, 5);
  EXPECT_FLOAT_EQ(last().v[3].y, 17);
  // The sprite's own size is unchanged by a scaled draw.
  EXPECT_FLOAT_EQ(s.width(), 100);
  EXPECT_FLOAT_EQ(s.height(), 50);
}

TEST_F(SpriteGeometry, MirroringLeftRightSwapsTheColumnsButNotThePositions) {
  SpriteQuad s(engine.get(), texture, 16, 8, 32, 16);
  s.setFlip(true, false);
  s.draw(0, 0);
  expectCorner(last(), 0, 0, 0, 0.75f, 0.25f);
  expectCorner(last(), 1, 32, 0, 0.25f, 0.25f);
  expectCorner(last(), 2, 32, 16, 0.25f, 0.75f);
  expectCorner(last(), 3, 0, 16, 0.75f, 0.75f);
  EXPECT_TRUE(s.flipX());
}

TEST_F(SpriteGeometry, MirroringTopBottomSwapsTheRows) {
  SpriteQuad s(engine.get(), texture, 16, 8, 32, 16);
  s.setFlip(false, true);
  s.draw(0, 0);
  expectCorner(last(), 0, 0, 0, 0.25f, 0.75f);
  expectCorner(last(), 1, 32, 0, 0.75f, 0.75f);
  expectCorner(last(), 2, 32, 16, 0.75f, 0.25f);
  expectCorner(last(), 3, 0, 16, 0.25f, 0.25f);
}

TEST_F(SpriteGeometry, MirroringTwiceInTheSameWayChangesNothingAndUnmirroringRestoresExactly) {
  SpriteQuad s(engine.get(), texture, 5, 3, 17, 11);
  hgeQuad before = s.quad();
  s.setFlip(true, false);
  hgeQuad once = s.quad();
  s.setFlip(true, false);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(s.quad().v[i].tx, once.v[i].tx);
    EXPECT_EQ(s.quad().v[i].ty, once.v[i].ty);
  }
  s.setFlip(true, true);
  s.setFlip(false, false);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(s.quad().v[i].tx, before.v[i].tx);  // exactly, not nearly
    EXPECT_EQ(s.quad().v[i].ty, before.v[i].ty);
  }
  EXPECT_FALSE(s.flipX());
  EXPECT_FALSE(s.flipY());
}

TEST_F(SpriteGeometry, ANewRegionOnAMirroredSpriteStaysMirrored) {
  SpriteQuad s(engine.get(), texture, 0, 0, 64, 32);
  s.setFlip(true, true);
  s.setRegion(16, 8, 32, 16);
  EXPECT_TRUE(s.flipX());
  EXPECT_TRUE(s.flipY());
  EXPECT_FLOAT_EQ(s.width(), 32);
  EXPECT_FLOAT_EQ(s.height(), 16);
  s.draw(0, 0);
  expectCorner(last(), 0, 0, 0, 0.75f, 0.75f);
  expectCorner(last(), 2, 32, 16, 0.25f, 0.25f);
}

TEST_F(SpriteGeometry, AZeroWidthRegionDrawsAZeroWidthQuad) {
  SpriteQuad s(engine.get(), texture, 0, 0, 64, 32);
  s.setRegion(0, 0, 0, 32);
  s.draw(50, 60);
  EXPECT_FLOAT_EQ(last().v[0].x, 50);
  EXPECT_FLOAT_EQ(last().v[1].x, 50);
  EXPECT_FLOAT_EQ(last().v[2].x, 50);
  EXPECT_FLOAT_EQ(last().v[2].y, 92);
}

TEST_F(SpriteGeometry, ANegativeWidthExtendsToTheLeft) {
  SpriteQuad s(engine.get(), texture, 32, 0, -16, 32);
  s.draw(100, 0);
  expectCorner(last(), 0, 100, 0, 0.5f, 0);
  expectCorner(last(), 1, 84, 0, 0.25f, 0);
}

TEST_F(SpriteGeometry, ChangingTextureThenRegionUsesTheNewTexturesSize) {
  ASSERT_TRUE(writeSolidPng(dir.file("wide.png"), 128, 16, 0x00FF00));
  HTEXTURE wide = engine->Texture_Load(dir.file("wide.png").c_str());
  SpriteQuad s(engine.get(), texture, 0, 0, 64, 32);
  s.setTexture(wide);
  s.setRegion(0, 0, 128, 16);
  s.draw(0, 0);
  EXPECT_EQ(last().tex, wide);
  expectCorner(last(), 2, 128, 16, 1, 1);
}

TEST_F(SpriteGeometry, ColourAndBlendModeReachTheQuad) {
  SpriteQuad s(engine.get(), texture, 0, 0, 64, 32);
  s.setColor(0x80FF0000);
  s.setBlendMode(BLEND_ALPHAADD);
  s.draw(0, 0);
  EXPECT_EQ(last().blend, BLEND_ALPHAADD);
  for (const hgeVertex& v : last().v) EXPECT_EQ(v.col, 0x80FF0000u);
}

TEST_F(SpriteGeometry, AnUnknownTextureHandleIsTreatedAsNoTexture) {
  SpriteQuad s(engine.get(), 9999, 2, 2, 4, 4);
  s.draw(0, 0);
  // Pixel coordinates, not a division by a zero size.
  expectCorner(last(), 0, 0, 0, 2, 2);
  expectCorner(last(), 2, 4, 4, 6, 6);
}

TEST(SpriteEngine, ASpriteDrawsThroughTheEngineItWasGivenAndCopiesShareIt) {
  TestEngine engine;
  ASSERT_TRUE(engine->System_Initiate());
  std::vector<hgeQuad> drawn;
  engine->Gfx_SetCaptureHook([&drawn](const hgeQuad& q) { drawn.push_back(q); });
  SpriteQuad sprite(engine.get(), 0, 0, 0, 1, 1);
  SpriteQuad copy(sprite);
  copy.draw(5, 6);
  sprite.draw(1, 2);
  engine->Gfx_SetCaptureHook(nullptr);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_FLOAT_EQ(drawn[0].v[0].x, 5);
  EXPECT_FLOAT_EQ(drawn[1].v[0].x, 1);
}

}  // namespace
