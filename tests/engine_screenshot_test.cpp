// Pictures of frames: headless software drawing into a PNG, and the blend modes.
#include <gtest/gtest.h>

#include "engine_support.h"

namespace {

hgeQuad rect(float x0, float y0, float x1, float y1, uint32_t colour, HTEXTURE tex, int blend) {
  hgeQuad q;
  q.v[0].x = x0, q.v[0].y = y0, q.v[0].tx = 0, q.v[0].ty = 0;
  q.v[1].x = x1, q.v[1].y = y0, q.v[1].tx = 1, q.v[1].ty = 0;
  q.v[2].x = x1, q.v[2].y = y1, q.v[2].tx = 1, q.v[2].ty = 1;
  q.v[3].x = x0, q.v[3].y = y1, q.v[3].tx = 0, q.v[3].ty = 1;
  for (hgeVertex& v : q.v) v.col = colour;
  q.tex = tex;
  q.blend = blend;
  return q;
}

void expectNear(Rgb got, Rgb want, const char* where) {
  SCOPED_TRACE(where);
  EXPECT_NEAR(got.r, want.r, 2);
  EXPECT_NEAR(got.g, want.g, 2);
  EXPECT_NEAR(got.b, want.b, 2);
}

TEST(Screenshots, AHeadlessFrameIsDrawnInSoftwareAndSavedAsPng) {
  ScratchDir dir;
  ASSERT_TRUE(writeSolidPng(dir.file("blue.png"), 4, 4, 0x0000FF));
  TestEngine engine;
  HGE* hge = engine.get();
  HTEXTURE blue = hge->Texture_Load(dir.file("blue.png").c_str());
  ASSERT_NE(blue, 0u);
  hge->System_SetState(HGE_MAXFRAMES, 3);
  hge->System_AddScreenshot(2, dir.file("frame2.png").c_str());
  hge->System_SetState(HGE_FRAMEFUNC, [] { return false; });
  hge->System_SetState(HGE_RENDERFUNC, [&] {
    hge->Gfx_BeginScene();
    hge->Gfx_Clear(0xFF102030);
    hgeQuad red = rect(100, 100, 200, 150, 0xFFFF0000, 0, BLEND_ALPHABLEND);
    hgeQuad halfGreenAdded = rect(150, 100, 250, 150, 0x8000FF00, 0, BLEND_ALPHAADD);
    hgeQuad halfWhite = rect(400, 100, 500, 150, 0x80FFFFFF, 0, BLEND_ALPHABLEND);
    hgeQuad textured = rect(300, 300, 340, 340, 0xFFFFFFFF, blue, BLEND_ALPHABLEND);
    hgeQuad tinted = rect(600, 300, 640, 340, 0xFFFF0000, blue, BLEND_ALPHABLEND);  // blue times red: black
    for (const hgeQuad* q : {&red, &halfGreenAdded, &halfWhite, &textured, &tinted}) hge->Gfx_RenderQuad(q);
    hge->Gfx_EndScene();
    return false;
  });
  ASSERT_TRUE(hge->System_Initiate());
  ASSERT_TRUE(hge->System_Start());
  EXPECT_EQ(hge->Gfx_GetQuadCount(), 15u);  // every frame's quads are counted, drawn or not
  EXPECT_FALSE(std::filesystem::exists(dir.file("frame1.png")));

  SDL_Surface* shot = IMG_Load(dir.file("frame2.png").c_str());
  ASSERT_NE(shot, nullptr) << IMG_GetError();
  EXPECT_EQ(shot->w, 800);
  EXPECT_EQ(shot->h, 480);
  expectNear(pixelAt(shot, 10, 10), {0x10, 0x20, 0x30}, "cleared background");
  expectNear(pixelAt(shot, 120, 125), {255, 0, 0}, "texture 0 fills with the corner colour");
  expectNear(pixelAt(shot, 175, 125), {255, 128, 0}, "additive half green over red");
  expectNear(pixelAt(shot, 225, 125), {0x10, 0x20 + 128, 0x30}, "additive half green over the background");
  expectNear(pixelAt(shot, 450, 125), {(0x10 + 255) / 2, (0x20 + 255) / 2, (0x30 + 255) / 2}, "alpha blend");
  expectNear(pixelAt(shot, 320, 320), {0, 0, 255}, "textured quad");
  expectNear(pixelAt(shot, 620, 320), {0, 0, 0}, "texture multiplied by the corner colour");
  SDL_FreeSurface(shot);
}

// A texture freed in the middle of drawing: the quads already drawn with it
// stay in the picture (they are batched, not yet handed to the renderer).
TEST(Screenshots, QuadsDrawnBeforeTheirTextureIsFreedStayInThePicture) {
  ScratchDir dir;
  ASSERT_TRUE(writeSolidPng(dir.file("blue.png"), 4, 4, 0x0000FF));
  ASSERT_TRUE(writeSolidPng(dir.file("green.png"), 4, 4, 0x00FF00));
  TestEngine engine;
  HGE* hge = engine.get();
  HTEXTURE blue = hge->Texture_Load(dir.file("blue.png").c_str());
  HTEXTURE green = hge->Texture_Load(dir.file("green.png").c_str());
  ASSERT_NE(blue, 0u);
  ASSERT_NE(green, 0u);
  hge->System_SetState(HGE_MAXFRAMES, 1);
  hge->System_AddScreenshot(1, dir.file("frame1.png").c_str());
  hge->System_SetState(HGE_FRAMEFUNC, [] { return false; });
  hge->System_SetState(HGE_RENDERFUNC, [&] {
    hge->Gfx_BeginScene();
    hge->Gfx_Clear(0xFF000000);
    hgeQuad first = rect(100, 100, 200, 200, 0xFFFFFFFF, blue, BLEND_ALPHABLEND);
    hge->Gfx_RenderQuad(&first);
    hge->Texture_Free(blue);
    hgeQuad second = rect(300, 100, 400, 200, 0xFFFFFFFF, green, BLEND_ALPHABLEND);
    hge->Gfx_RenderQuad(&second);
    hge->Gfx_EndScene();
    return false;
  });
  ASSERT_TRUE(hge->System_Initiate());
  ASSERT_TRUE(hge->System_Start());
  EXPECT_EQ(hge->Texture_GetWidth(blue), 0) << "the freed handle is gone";
  SDL_Surface* shot = IMG_Load(dir.file("frame1.png").c_str());
  ASSERT_NE(shot, nullptr) << IMG_GetError();
  expectNear(pixelAt(shot, 150, 150), {0, 0, 255}, "drawn before its texture was freed");
  expectNear(pixelAt(shot, 350, 150), {0, 255, 0}, "drawn after");
  SDL_FreeSurface(shot);
}

TEST(Screenshots, AFrameThatIsNeverReachedIsLoggedNotWritten) {
  ScratchDir dir;
  {
    TestEngine engine;
    HGE* hge = engine.get();
    hge->System_SetState(HGE_LOGFILE, dir.file("log.txt").c_str());
    hge->System_SetState(HGE_MAXFRAMES, 2);
    hge->System_AddScreenshot(50, dir.file("late.png").c_str());
    hge->System_SetState(HGE_FRAMEFUNC, [] { return false; });
    ASSERT_TRUE(hge->System_Initiate());
    hge->System_Start();
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("late.png")));
  EXPECT_NE(readFile(dir.file("log.txt")).find("late.png"), std::string::npos);
}

TEST(Textures, SizesAreKnownHeadlessAndBadPicturesGiveNoHandle) {
  ScratchDir dir;
  ASSERT_TRUE(writeSolidPng(dir.file("pic.png"), 37, 21, 0xFFFFFF));
  writeFile(dir.file("broken.png"), "\x89PNG\r\n\x1a\n not really");
  TestEngine engine;
  HTEXTURE t = engine->Texture_Load(dir.file("pic.png").c_str());
  ASSERT_NE(t, 0u);
  EXPECT_EQ(engine->Texture_GetWidth(t), 37);
  EXPECT_EQ(engine->Texture_GetHeight(t), 21);
  EXPECT_EQ(engine->Texture_Load(dir.file("broken.png").c_str()), 0u);
  EXPECT_EQ(engine->Texture_Load(dir.file("absent.png").c_str()), 0u);
  engine->Texture_Free(t);
  EXPECT_EQ(engine->Texture_GetWidth(t), 0);
  // A picture handed over in memory.
  std::string bytes = readFile(dir.file("pic.png"));
  HTEXTURE m = engine->Texture_Load(bytes.data(), static_cast<uint32_t>(bytes.size()));
  EXPECT_EQ(engine->Texture_GetHeight(m), 21);
}

// Loading reads a picture's header only; the picture is decoded when first
// drawn. One whose data is damaged behind a sound header keeps its size, is
// reported once when drawn, and draws as an untextured quad.
TEST(Textures, APictureIsDecodedWhenFirstDrawnAndADamagedOneIsReportedThen) {
  ScratchDir dir;
  ASSERT_TRUE(writeSolidPng(dir.file("blue.png"), 8, 8, 0x0000FF));
  ASSERT_TRUE(writeSolidPng(dir.file("damaged.png"), 16, 12, 0x00FF00));
  std::string damaged = readFile(dir.file("damaged.png"));
  damaged.resize(40);  // the signature and the header, then nothing
  writeFile(dir.file("damaged.png"), damaged);
  TestEngine engine;
  HGE* hge = engine.get();
  hge->System_SetState(HGE_LOGFILE, dir.file("log.txt").c_str());
  ASSERT_TRUE(hge->System_Initiate());
  const HTEXTURE blue = hge->Texture_Load(dir.file("blue.png").c_str());
  const HTEXTURE bad = hge->Texture_Load(dir.file("damaged.png").c_str());
  ASSERT_NE(blue, 0u);
  ASSERT_NE(bad, 0u);
  EXPECT_EQ(hge->Texture_GetWidth(bad), 16);
  EXPECT_EQ(hge->Texture_GetHeight(bad), 12);
  EXPECT_EQ(readFile(dir.file("log.txt")).find("Cannot decode"), std::string::npos);
  for (int frame = 1; frame <= 3; ++frame) hge->System_AddScreenshot(frame, dir.file("f" + std::to_string(frame) + ".png").c_str());
  hge->System_SetState(HGE_MAXFRAMES, 3);
  hge->System_SetState(HGE_FRAMEFUNC, [] { return false; });
  hge->System_SetState(HGE_RENDERFUNC, [&] {
    hge->Gfx_BeginScene();
    hge->Gfx_Clear(0xFF000000);
    hgeQuad a = rect(100, 100, 140, 140, 0xFFFFFFFF, blue, BLEND_ALPHABLEND);
    hgeQuad b = rect(300, 100, 340, 140, 0xFFFF0000, bad, BLEND_ALPHABLEND);
    hge->Gfx_RenderQuad(&a);
    hge->Gfx_RenderQuad(&b);
    hge->Gfx_EndScene();
    return false;
  });
  ASSERT_TRUE(hge->System_Start());
  const std::string log = readFile(dir.file("log.txt"));
  const size_t first = log.find("Cannot decode the texture " + dir.file("damaged.png"));
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find("Cannot decode", first + 1), std::string::npos) << "reported more than once";
  SDL_Surface* shot = IMG_Load(dir.file("f3.png").c_str());
  ASSERT_NE(shot, nullptr) << IMG_GetError();
  expectNear(pixelAt(shot, 120, 120), {0, 0, 255}, "the picture, decoded when first drawn");
  expectNear(pixelAt(shot, 320, 120), {255, 0, 0}, "the damaged picture draws as its corner colour");
  SDL_FreeSurface(shot);
}

// Drawing every headless frame in software (for benchmarks): the quads reach
// the software renderer without a screenshot asked for, and no file is
// written. A picture is decoded only when really drawn, which shows it.
TEST(Screenshots, DrawingAlwaysDrawsEveryFrameAndWritesNothing) {
  for (bool always : {false, true}) {
    SCOPED_TRACE(always ? "drawing always" : "counting only");
    ScratchDir dir;
    ASSERT_TRUE(writeSolidPng(dir.file("damaged.png"), 16, 12, 0x00FF00));
    std::string damaged = readFile(dir.file("damaged.png"));
    damaged.resize(40);
    writeFile(dir.file("damaged.png"), damaged);
    TestEngine engine;
    HGE* hge = engine.get();
    hge->System_SetState(HGE_LOGFILE, dir.file("log.txt").c_str());
    hge->System_SetState(HGE_DRAWALWAYS, always);
    EXPECT_EQ(hge->System_GetState(HGE_DRAWALWAYS), always);
    ASSERT_TRUE(hge->System_Initiate());
    const HTEXTURE bad = hge->Texture_Load(dir.file("damaged.png").c_str());
    ASSERT_NE(bad, 0u);
    hge->System_SetState(HGE_MAXFRAMES, 2);
    hge->System_SetState(HGE_FRAMEFUNC, [] { return false; });
    hge->System_SetState(HGE_RENDERFUNC, [&] {
      hge->Gfx_BeginScene();
      hgeQuad q = rect(0, 0, 16, 12, 0xFFFFFFFF, bad, BLEND_ALPHABLEND);
      hge->Gfx_RenderQuad(&q);
      hge->Gfx_EndScene();
      return false;
    });
    ASSERT_TRUE(hge->System_Start());
    const bool drawn = readFile(dir.file("log.txt")).find("Cannot decode the texture") != std::string::npos;
    EXPECT_EQ(drawn, always);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      const std::string name = entry.path().filename().string();
      EXPECT_TRUE(name == "damaged.png" || name == "log.txt") << name << " was written";
    }
  }
}

}  // namespace
