// The game window, driven through SDL's offscreen video driver (no display
// needed): F11 and Alt+Enter in and out of fullscreen, and closing the window.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "engine_support.h"

namespace {

// The window goes to SDL's offscreen driver: no display needed.
class OffscreenVideo : public ScopedEnv {
 public:
  OffscreenVideo() : ScopedEnv("SDL_VIDEODRIVER", "offscreen") {}
};

// The engine's window (the newest one SDL knows of).
SDL_Window* engineWindow() {
  SDL_Window* found = nullptr;
  for (Uint32 id = 1; id < 1000; ++id)
    if (SDL_Window* w = SDL_GetWindowFromID(id)) found = w;
  return found;
}

void pushKey(SDL_Scancode code, Uint16 mod) {
  for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = code;
    e.key.keysym.sym = SDL_GetKeyFromScancode(code);
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
  }
}

hgeQuad square(float x0, float y0, float x1, float y1, uint32_t colour) {
  hgeQuad q;
  q.v[0].x = x0, q.v[0].y = y0;
  q.v[1].x = x1, q.v[1].y = y0;
  q.v[2].x = x1, q.v[2].y = y1;
  q.v[3].x = x0, q.v[3].y = y1;
  for (hgeVertex& v : q.v) v.col = colour;
  q.tex = 0;
  return q;
}

struct ToggleRun {
  bool opened = false;
  bool fullscreenAfterFirst = false;
  bool fullscreenAtEnd = true;
  int width = 0, height = 0;
  SDL_Surface* picture = nullptr;  // the last frame; the caller frees it
};

// Presses the toggle at frame 2 and again at frame 6, and takes a picture of
// frame 10: a blue screen with a red square in its top-left corner.
ToggleRun toggleTwice(SDL_Scancode key, Uint16 mod) {
  ToggleRun run;
  SystemLeaksIgnored leaksIgnored;
  ScratchDir dir;
  InDirectory in(dir.path());
  OffscreenVideo offscreen;
  TestEngine engine(false);
  engine->System_SetState(HGE_LOGFILE, "log.txt");
  engine->System_SetState(HGE_MAXFRAMES, 10);
  engine->System_AddScreenshot(10, "shot.png");
  HGE* hge = engine.get();
  engine->System_SetState(HGE_FRAMEFUNC, [&] {
    int frame = hge->System_GetFrame();
    if (frame == 2 || frame == 6) pushKey(key, mod);
    if (frame == 4)
      run.fullscreenAfterFirst = (SDL_GetWindowFlags(engineWindow()) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    return false;
  });
  engine->System_SetState(HGE_RENDERFUNC, [&] {
    hge->Gfx_BeginScene(0);
    hge->Gfx_Clear(0xFF0000FF);
    hgeQuad q = square(0, 0, 100, 100, 0xFFFF0000);
    hge->Gfx_RenderQuad(&q);
    hge->Gfx_EndScene();
    return false;
  });
  if (!engine->System_Initiate()) return run;
  run.opened = true;
  engine->System_Start();
  SDL_Window* window = engineWindow();
  run.fullscreenAtEnd = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  SDL_GetWindowSize(window, &run.width, &run.height);
  run.picture = IMG_Load(dir.file("shot.png").c_str());
  return run;
}

void expectBackToTheWindow(const ToggleRun& run) {
  EXPECT_TRUE(run.fullscreenAfterFirst) << "the first press should go fullscreen";
  EXPECT_FALSE(run.fullscreenAtEnd) << "the second press should come back";
  EXPECT_EQ(run.width, 800);
  EXPECT_EQ(run.height, 480);
  ASSERT_NE(run.picture, nullptr);
  EXPECT_EQ(run.picture->w, 800);
  EXPECT_EQ(run.picture->h, 480);
  // The picture sits where it did before: red in the corner, blue beside it.
  Rgb corner = pixelAt(run.picture, 10, 10);
  Rgb beside = pixelAt(run.picture, 300, 300);
  EXPECT_GT(corner.r, 200);
  EXPECT_LT(corner.b, 50);
  EXPECT_GT(beside.b, 200);
  EXPECT_LT(beside.r, 50);
}

TEST(Window, F11TwiceComesBackToTheSameWindowAndPicture) {
  ToggleRun run = toggleTwice(SDL_SCANCODE_F11, KMOD_NONE);
  if (!run.opened) GTEST_SKIP() << "no offscreen video here";
  expectBackToTheWindow(run);
  SDL_FreeSurface(run.picture);
}

TEST(Window, AltEnterTwiceComesBackToTheSameWindowAndPicture) {
  ToggleRun run = toggleTwice(SDL_SCANCODE_RETURN, KMOD_LALT);
  if (!run.opened) GTEST_SKIP() << "no offscreen video here";
  expectBackToTheWindow(run);
  SDL_FreeSurface(run.picture);
}

TEST(Window, ClosingTheWindowEndsTheLoopBeforeTheNextFrame) {
  SystemLeaksIgnored leaksIgnored;
  ScratchDir dir;
  InDirectory in(dir.path());
  OffscreenVideo offscreen;
  TestEngine engine(false);
  engine->System_SetState(HGE_LOGFILE, "log.txt");
  engine->System_SetState(HGE_MAXFRAMES, 50);
  HGE* hge = engine.get();
  int framesRun = 0;
  engine->System_SetState(HGE_FRAMEFUNC, [&] {
    ++framesRun;
    if (hge->System_GetFrame() == 3) {
      SDL_Event e{};
      e.type = SDL_QUIT;
      SDL_PushEvent(&e);
    }
    return false;
  });
  if (!engine->System_Initiate()) GTEST_SKIP() << "no offscreen video here";
  EXPECT_TRUE(engine->System_Start());
  EXPECT_EQ(framesRun, 3);
  EXPECT_EQ(engine->System_GetFrame(), 3);
}

TEST(Window, ALateWindowSkipsPicturesNeverFramesAndDrawsAtLeastEveryFifth) {
  SystemLeaksIgnored leaksIgnored;
  ScratchDir dir;
  InDirectory in(dir.path());
  OffscreenVideo offscreen;
  TestEngine engine(false);
  engine->System_SetState(HGE_LOGFILE, "log.txt");
  engine->System_SetState(HGE_MAXFRAMES, 60);
  engine->System_AddScreenshot(45, "shot.png");
  HGE* hge = engine.get();
  std::vector<int> stepped, drawn;
  engine->System_SetState(HGE_FRAMEFUNC, [&] {
    stepped.push_back(hge->System_GetFrame());
    return false;
  });
  // Every picture takes three frames' time: the loop is always late.
  engine->System_SetState(HGE_RENDERFUNC, [&] {
    drawn.push_back(hge->System_GetFrame());
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    return false;
  });
  if (!engine->System_Initiate()) GTEST_SKIP() << "no offscreen video here";
  engine->System_Start();
  ASSERT_EQ(stepped.size(), 60u) << "every frame runs its frame callback";
  for (int i = 0; i < 60; ++i) EXPECT_EQ(stepped[static_cast<size_t>(i)], i + 1);
  EXPECT_LT(drawn.size(), 40u) << "pictures are skipped";
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.front(), 1);
  int previous = 0;
  for (int frame : drawn) {
    EXPECT_LE(frame - previous, 5) << "at most four frames in a row without a picture, before frame " << frame;
    previous = frame;
  }
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), 45), drawn.end()) << "a frame with a screenshot is drawn";
}

// In a window, pictures are decoded ahead on the engine's decoding thread:
// many at once, some freed before they were ever drawn, the rest drawn in
// their own colours.
TEST(Window, PicturesDecodedAheadAreDrawnAndFreedOnesAreNot) {
  SystemLeaksIgnored leaksIgnored;
  ScratchDir dir;
  InDirectory in(dir.path());
  OffscreenVideo offscreen;
  TestEngine engine(false);
  engine->System_SetState(HGE_LOGFILE, "log.txt");
  engine->System_SetState(HGE_MAXFRAMES, 3);
  engine->System_AddScreenshot(3, "shot.png");
  HGE* hge = engine.get();
  if (!engine->System_Initiate()) GTEST_SKIP() << "no offscreen video here";
  const uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
  std::vector<HTEXTURE> kept;
  for (int i = 0; i < 40; ++i) {
    const std::string name = "p" + std::to_string(i) + ".png";
    ASSERT_TRUE(writeSolidPng(dir.file(name), 64 + i, 48, colours[i % 4]));
    const HTEXTURE t = hge->Texture_Load(name.c_str());
    ASSERT_NE(t, 0u);
    EXPECT_EQ(hge->Texture_GetWidth(t), 64 + i);
    if (i % 2 == 1) {
      hge->Texture_Free(t);  // most likely before its turn on the thread
    } else {
      kept.push_back(t);
    }
  }
  engine->System_SetState(HGE_FRAMEFUNC, [] { return false; });
  engine->System_SetState(HGE_RENDERFUNC, [&] {
    hge->Gfx_BeginScene(0);
    hge->Gfx_Clear(0xFF000000);
    for (size_t k = 0; k < kept.size(); ++k) {
      const float x = static_cast<float>(k * 40);
      hgeQuad q = square(x, 0, x + 30, 30, 0xFFFFFFFF);
      q.tex = kept[k];
      q.v[0].tx = 0, q.v[0].ty = 0;
      q.v[1].tx = 1, q.v[1].ty = 0;
      q.v[2].tx = 1, q.v[2].ty = 1;
      q.v[3].tx = 0, q.v[3].ty = 1;
      hge->Gfx_RenderQuad(&q);
    }
    hge->Gfx_EndScene();
    return false;
  });
  engine->System_Start();
  SDL_Surface* shot = IMG_Load(dir.file("shot.png").c_str());
  ASSERT_NE(shot, nullptr) << IMG_GetError();
  for (size_t k = 0; k < kept.size(); ++k) {
    const uint32_t want = colours[(k * 2) % 4];
    const Rgb got = pixelAt(shot, static_cast<int>(k * 40 + 15), 15);
    EXPECT_NEAR(got.r, (want >> 16) & 0xFF, 2) << "picture " << k * 2;
    EXPECT_NEAR(got.g, (want >> 8) & 0xFF, 2) << "picture " << k * 2;
    EXPECT_NEAR(got.b, want & 0xFF, 2) << "picture " << k * 2;
  }
  SDL_FreeSurface(shot);
}

}  // namespace
