// Key presses: once per press, in the frame the key went down.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "engine/KeyMap.h"
#include "engine/Keyboard.h"
#include "engine_support.h"

namespace {

TEST(KeyLatch, APressAndReleaseBetweenTwoFramesStillCountsOnce) {
  Keyboard k;
  k.beginFrame();
  k.press(HGEK_J);
  k.release(HGEK_J);
  EXPECT_TRUE(k.wentDown(HGEK_J));
  EXPECT_FALSE(k.held(HGEK_J));
  k.beginFrame();
  EXPECT_FALSE(k.wentDown(HGEK_J));
}

TEST(KeyLatch, EveryTapOfAFrameIsCountedButNotAutoRepeats) {
  Keyboard k;
  k.beginFrame();
  for (int i = 0; i < 3; ++i) {
    k.press(HGEK_DOWN);
    k.press(HGEK_DOWN);  // auto-repeat: not a tap
    k.release(HGEK_DOWN);
  }
  EXPECT_EQ(k.pressesThisFrame(HGEK_DOWN), 3);
  EXPECT_EQ(k.pressesThisFrame(HGEK_UP), 0);
  k.beginFrame();
  EXPECT_EQ(k.pressesThisFrame(HGEK_DOWN), 0);
  for (int i = 0; i < 300; ++i) {
    k.press(HGEK_DOWN);
    k.release(HGEK_DOWN);
  }
  EXPECT_EQ(k.pressesThisFrame(HGEK_DOWN), 255) << "the count stops at its top";
}

TEST(KeyLatch, AHeldKeyGoesDownOnlyInItsFirstFrame) {
  Keyboard k;
  k.beginFrame();
  k.press(HGEK_A);
  EXPECT_TRUE(k.wentDown(HGEK_A));
  k.beginFrame();
  k.press(HGEK_A);  // auto-repeat while held
  EXPECT_FALSE(k.wentDown(HGEK_A));
  EXPECT_TRUE(k.held(HGEK_A));
  k.release(HGEK_A);
  k.beginFrame();
  k.press(HGEK_A);  // a new press
  EXPECT_TRUE(k.wentDown(HGEK_A));
}

TEST(KeyLatch, RepeatsAndReleasesOfKeysNotHeldAreNotReported) {
  Keyboard k;
  std::vector<std::pair<int, bool>> changes;
  k.setListener([&](int key, bool down, bool) { changes.emplace_back(key, down); });
  k.press(HGEK_K);
  k.press(HGEK_K);
  k.release(HGEK_K);
  k.release(HGEK_K);
  k.release(HGEK_U);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0], std::make_pair(HGEK_K, true));
  EXPECT_EQ(changes[1], std::make_pair(HGEK_K, false));
}

TEST(KeyLatch, CodesOutsideTheTableAreIgnored) {
  Keyboard k;
  k.press(0);
  k.press(-5);
  k.press(HGEK_KEYSPACE + 3);
  EXPECT_FALSE(k.wentDown(0));
  EXPECT_FALSE(k.held(HGEK_KEYSPACE + 3));
}

TEST(KeyCodes, KeysAreTakenByPositionAsWindowsVirtualKeys) {
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_W), HGEK_W);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_A), 0x41);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_Z), 0x5A);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_ESCAPE), 27);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_0), 0x30);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_9), 0x39);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_RETURN), HGEK_ENTER);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_LEFT), HGEK_LEFT);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_F11), HGEK_F11);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_RSHIFT), HGEK_SHIFT);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_UNKNOWN), 0);
}

// Runs `frames` headless frames; `inject(frame)` may press keys in the input
// callback; returns, per frame, whether J went down and whether it was held.
struct FrameKeys {
  bool down, held;
};
std::map<int, FrameKeys> runWithInput(int frames, const std::function<void(HGE*, int)>& inject, int key) {
  TestEngine engine;
  std::map<int, FrameKeys> seen;
  HGE* hge = engine.get();
  hge->System_SetState(HGE_MAXFRAMES, frames);
  hge->System_SetState(HGE_INPUTFUNC, [&] {
    inject(hge, hge->System_GetFrame());
    return false;
  });
  hge->System_SetState(HGE_FRAMEFUNC, [&] {
    seen[hge->System_GetFrame()] = {hge->Input_KeyDown(key), hge->Input_GetKeyState(key)};
    return false;
  });
  EXPECT_TRUE(hge->System_Initiate());
  EXPECT_TRUE(hge->System_Start());
  return seen;
}

TEST(KeyLatch, AnInjectedTapIsSeenInExactlyOneFrame) {
  auto seen = runWithInput(
      5,
      [](HGE* hge, int frame) {
        if (frame == 2) {
          hge->Input_InjectKey(HGEK_J, true);
          hge->Input_InjectKey(HGEK_J, false);
        }
      },
      HGEK_J);
  ASSERT_EQ(seen.size(), 5u);
  for (auto& [frame, keys] : seen) {
    EXPECT_EQ(keys.down, frame == 2) << "frame " << frame;
    EXPECT_FALSE(keys.held) << "frame " << frame;
  }
}

TEST(KeyLatch, AKeyHeldOverSeveralFramesIsHeldThroughoutAndDownOnce) {
  auto seen = runWithInput(
      7,
      [](HGE* hge, int frame) {
        if (frame == 3) hge->Input_InjectKey(HGEK_D, true);
        if (frame == 4) hge->Input_InjectKey(HGEK_D, true);  // a repeat
        if (frame == 6) hge->Input_InjectKey(HGEK_D, false);
      },
      HGEK_D);
  for (auto& [frame, keys] : seen) {
    EXPECT_EQ(keys.down, frame == 3) << "frame " << frame;
    EXPECT_EQ(keys.held, frame >= 3 && frame <= 5) << "frame " << frame;
  }
}

// Through the window's event path: SDL key events queued between two frames.
TEST(KeyLatch, KeyboardEventsInAWindowAreLatchedAndRepeatsIgnored) {
#if defined(__SANITIZE_ADDRESS__)
  // The system's display libraries keep a few allocations for the whole process.
  struct LeaksIgnored {
    LeaksIgnored() { __lsan_disable(); }
    ~LeaksIgnored() { __lsan_enable(); }
  } leaksIgnored;
#endif
  TestEngine engine(false);
  HGE* hge = engine.get();
  if (!hge->System_Initiate()) GTEST_SKIP() << "no video driver here: " << hge->System_GetErrorMessage();
  auto push = [](Uint32 type, SDL_Scancode code, SDL_Keycode sym, int repeat) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = static_cast<Uint8>(repeat);
    e.key.keysym.scancode = code;
    e.key.keysym.sym = sym;
    SDL_PushEvent(&e);
  };
  std::map<int, FrameKeys> w, j;
  hge->System_SetState(HGE_MAXFRAMES, 4);
  hge->System_SetState(HGE_FRAMEFUNC, [&] {
    int f = hge->System_GetFrame();
    w[f] = {hge->Input_KeyDown(HGEK_W), hge->Input_GetKeyState(HGEK_W)};
    j[f] = {hge->Input_KeyDown(HGEK_J), hge->Input_GetKeyState(HGEK_J)};
    if (f == 1) {
      // The key in W's place, labelled Z on this layout, tapped within one frame.
      push(SDL_KEYDOWN, SDL_SCANCODE_W, SDLK_z, 0);
      push(SDL_KEYUP, SDL_SCANCODE_W, SDLK_z, 0);
      push(SDL_KEYDOWN, SDL_SCANCODE_J, SDLK_j, 0);
    }
    if (f == 2) push(SDL_KEYDOWN, SDL_SCANCODE_J, SDLK_j, 1);  // auto-repeat
    return false;
  });
  hge->System_SetState(HGE_RENDERFUNC, [] { return false; });
  ASSERT_TRUE(hge->System_Start());
  EXPECT_FALSE(w[1].down);
  EXPECT_TRUE(w[2].down);
  EXPECT_FALSE(w[2].held);
  EXPECT_FALSE(w[3].down);
  EXPECT_TRUE(j[2].down);
  EXPECT_TRUE(j[2].held);
  EXPECT_FALSE(j[3].down);
  EXPECT_TRUE(j[3].held);
}

}  // namespace
