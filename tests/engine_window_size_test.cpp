// The window the player's settings ask for, on SDL's offscreen driver: it
// opens at the size asked (never larger than the desktop), fullscreen can be
// switched while the game runs, and the windowed size is still known while
// fullscreen, so that it is what the settings keep.
#include <gtest/gtest.h>

#include <SDL.h>

#include "engine_support.h"

namespace {

struct WindowRun {
  SystemLeaksIgnored leaksIgnored;
  ScratchDir dir;
  InDirectory in{dir.path()};
  ScopedEnv video{"SDL_VIDEODRIVER", "offscreen"};
  TestEngine engine{false};
  WindowRun() { engine->System_SetState(HGE_LOGFILE, "log.txt"); }
};

TEST(WindowSize, TheWindowOpensAtTheSizeAskedAndKeepsItThroughFullscreen) {
  WindowRun run;
  HGE* hge = run.engine.get();
  hge->System_SetState(HGE_WINDOWWIDTH, 640);
  hge->System_SetState(HGE_WINDOWHEIGHT, 384);
  if (!hge->System_Initiate()) GTEST_SKIP() << "no offscreen video here: " << hge->System_GetErrorMessage();
  EXPECT_EQ(hge->System_GetState(HGE_WINDOWWIDTH), 640);
  EXPECT_EQ(hge->System_GetState(HGE_WINDOWHEIGHT), 384);
  EXPECT_TRUE(hge->System_GetState(HGE_WINDOWED));
  // Asked once the window is open, a size changes nothing: the player sizes the window.
  hge->System_SetState(HGE_WINDOWWIDTH, 700);
  EXPECT_EQ(hge->System_GetState(HGE_WINDOWWIDTH), 640);

  hge->System_SetState(HGE_WINDOWED, false);
  EXPECT_FALSE(hge->System_GetState(HGE_WINDOWED)) << "fullscreen at once";
  EXPECT_EQ(hge->System_GetState(HGE_WINDOWWIDTH), 640) << "the windowed size, kept while fullscreen";
  EXPECT_EQ(hge->System_GetState(HGE_WINDOWHEIGHT), 384);
  hge->System_SetState(HGE_WINDOWED, true);
  EXPECT_TRUE(hge->System_GetState(HGE_WINDOWED));
  EXPECT_EQ(hge->System_GetState(HGE_WINDOWWIDTH), 640);
}

TEST(WindowSize, AWindowLargerThanTheDesktopIsFittedToIt) {
  WindowRun run;
  HGE* hge = run.engine.get();
  hge->System_SetState(HGE_WINDOWWIDTH, 100000);
  hge->System_SetState(HGE_WINDOWHEIGHT, 60000);
  if (!hge->System_Initiate()) GTEST_SKIP() << "no offscreen video here: " << hge->System_GetErrorMessage();
  SDL_Rect usable{};
  ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0) << SDL_GetError();
  const int w = hge->System_GetState(HGE_WINDOWWIDTH), h = hge->System_GetState(HGE_WINDOWHEIGHT);
  EXPECT_GT(w, 0);
  EXPECT_GT(h, 0);
  EXPECT_LE(w, usable.w);
  EXPECT_LE(h, usable.h);
}

TEST(WindowSize, NoSizeMeansThePicturesSizeAndHeadlessHasNoWindowToChange) {
  {
    WindowRun run;
    HGE* hge = run.engine.get();
    if (!hge->System_Initiate()) GTEST_SKIP() << "no offscreen video here: " << hge->System_GetErrorMessage();
    EXPECT_EQ(hge->System_GetState(HGE_WINDOWWIDTH), 800);
    EXPECT_EQ(hge->System_GetState(HGE_WINDOWHEIGHT), 480);
  }
  TestEngine headless;
  headless->System_SetState(HGE_WINDOWWIDTH, 1024);
  ASSERT_TRUE(headless->System_Initiate());
  headless->System_SetState(HGE_WINDOWED, false);
  EXPECT_FALSE(headless->System_GetState(HGE_WINDOWED)) << "kept as asked";
  EXPECT_EQ(headless->System_GetState(HGE_WINDOWWIDTH), 1024);
}

}  // namespace
