// The two layers of keys: raw keys (keyboard and pads) press the game's keys
// through the bindings; the game reads, and recordings hold, only the game's
// keys; menus read the raw keys.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/InputLayers.h"
#include "engine/KeyMap.h"
#include "engine/KeyNames.h"
#include "engine_support.h"

namespace {

// Up: W or the arrow key; punch: J; nothing else.
const std::vector<hgeBinding> kTwoKeysForUp = {{HGEK_W, HGEK_W}, {HGEK_UP, HGEK_W}, {HGEK_J, HGEK_J}};

TEST(KeyBindings, EitherOfTwoKeysHoldsTheGameKeyUntilBothAreUp) {
  InputLayers in;
  in.setBindings(kTwoKeysForUp);
  in.beginFrame();
  in.raw().press(HGEK_UP);
  EXPECT_TRUE(in.game().wentDown(HGEK_W));
  EXPECT_TRUE(in.game().held(HGEK_W));
  EXPECT_FALSE(in.game().held(HGEK_UP)) << "the arrow key is no game key of its own";

  in.beginFrame();
  in.raw().press(HGEK_W);  // the second key while the first is held: no new press
  EXPECT_FALSE(in.game().wentDown(HGEK_W));
  EXPECT_TRUE(in.raw().wentDown(HGEK_W));
  in.raw().release(HGEK_UP);  // one of the two let go: still held
  EXPECT_TRUE(in.game().held(HGEK_W));

  in.beginFrame();
  in.raw().release(HGEK_W);
  EXPECT_FALSE(in.game().held(HGEK_W));
  in.beginFrame();
  in.raw().press(HGEK_W);  // a new press of either is a new press
  EXPECT_TRUE(in.game().wentDown(HGEK_W));
}

TEST(KeyBindings, AKeyBoundToNothingNeverReachesTheGame) {
  InputLayers in;
  // The player moved punch from J to L: J does nothing in the game any more.
  in.setBindings({{'L', HGEK_J}});
  in.beginFrame();
  in.raw().press(HGEK_J);
  in.raw().press('Q');
  EXPECT_TRUE(in.raw().held(HGEK_J));
  EXPECT_FALSE(in.game().held(HGEK_J));
  EXPECT_FALSE(in.game().wentDown(HGEK_J));
  EXPECT_FALSE(in.game().held('Q'));
  in.raw().press('L');
  EXPECT_TRUE(in.game().wentDown(HGEK_J));
  EXPECT_FALSE(in.game().held('L'));
}

TEST(KeyBindings, UntilBindingsAreSetEveryKeyIsItsOwnGameKey) {
  InputLayers in;
  in.beginFrame();
  in.raw().press(HGEK_K);
  in.raw().press(HGEK_PAD_A);
  EXPECT_TRUE(in.game().wentDown(HGEK_K));
  EXPECT_TRUE(in.game().held(HGEK_PAD_A));
}

TEST(KeyBindings, ATapWithinOneFrameIsOnePressOfTheGameKey) {
  InputLayers in;
  in.setBindings(kTwoKeysForUp);
  std::vector<std::pair<int, bool>> changes;
  in.game().setListener([&](int key, bool down, bool) { changes.emplace_back(key, down); });
  in.beginFrame();
  in.raw().press(HGEK_J);
  in.raw().release(HGEK_J);
  EXPECT_TRUE(in.game().wentDown(HGEK_J));
  EXPECT_FALSE(in.game().held(HGEK_J));
  EXPECT_EQ(changes, (std::vector<std::pair<int, bool>>{{HGEK_J, true}, {HGEK_J, false}}));
}

TEST(KeyBindings, NewBindingsLetGoOfTheOldGameKeysAndHoldTheNewOnesWithoutAPress) {
  InputLayers in;
  in.setBindings(kTwoKeysForUp);
  in.beginFrame();
  in.raw().press(HGEK_UP);
  in.game().press(HGEK_K);  // pressed by a replay, not by any raw key
  in.beginFrame();
  in.setBindings({{HGEK_UP, HGEK_S}});  // the arrow key now means down
  EXPECT_FALSE(in.game().held(HGEK_W));
  EXPECT_TRUE(in.game().held(HGEK_S));
  EXPECT_FALSE(in.game().wentDown(HGEK_S)) << "held, not pressed";
  EXPECT_TRUE(in.game().held(HGEK_K)) << "keys pressed directly stay as they are";
  in.raw().release(HGEK_UP);
  EXPECT_FALSE(in.game().held(HGEK_S));
}

TEST(KeyBindings, OneKeyMayPressSeveralGameKeysAndCodesOutsideTheTableAreLeftOut) {
  InputLayers in;
  in.setBindings({{HGEK_SPACE, HGEK_J}, {HGEK_SPACE, HGEK_K}, {0, HGEK_J}, {HGEK_COUNT, HGEK_J}, {HGEK_A, -1}});
  in.beginFrame();
  in.raw().press(HGEK_SPACE);
  EXPECT_TRUE(in.game().wentDown(HGEK_J));
  EXPECT_TRUE(in.game().wentDown(HGEK_K));
  in.raw().press(HGEK_A);
  EXPECT_FALSE(in.game().held(HGEK_A));
}

// A headless run of `frames` frames: `raw(frame)` presses raw keys where the
// keyboard's events would (before the clock); the frame callback notes what
// the game sees of `gameKey` and what the raw layer says of `rawKey`.
struct Seen {
  std::map<int, bool> gamePressed, gameHeld, rawDown, eitherDown;
};
Seen runRaw(HGE* hge, int frames, const std::function<void(int frame)>& raw, int gameKey, int rawKey) {
  Seen seen;
  hge->System_SetState(HGE_MAXFRAMES, frames);
  hge->System_SetState(HGE_CLOCKFUNC, [hge, &raw] {
    raw(hge->System_GetFrame());
    return true;
  });
  hge->System_SetState(HGE_FRAMEFUNC, [&] {
    const int f = hge->System_GetFrame();
    seen.gamePressed[f] = hge->Input_StepKeyDown(gameKey);
    seen.gameHeld[f] = hge->Input_GameKeyState(gameKey);
    seen.rawDown[f] = hge->Input_RawKeyDown(rawKey);
    seen.eitherDown[f] = hge->Input_KeyDown(rawKey);
    return false;
  });
  EXPECT_TRUE(hge->System_Initiate()) << hge->System_GetErrorMessage();
  EXPECT_TRUE(hge->System_Start());
  hge->System_Shutdown();
  hge->System_SetState(HGE_CLOCKFUNC, hgeCallback{});
  return seen;
}

TEST(KeyBindings, ARecordingHoldsTheGameKeysAndReplaysThemWhateverTheBindings) {
  ScratchDir dir;
  const std::string rec = dir.file("arrows.rep");
  {
    TestEngine engine;
    engine->System_SetState(HGE_RECORDFILE, rec.c_str());
    engine->Random_SetSeed(3);
    engine->Input_SetBindings(kTwoKeysForUp);
    // The arrow key held from frame 2 to 5, W tapped at 4 and 8, and the
    // unbound F tapped at 6: the game sees its W, never F.
    const Seen seen = runRaw(engine.get(), 9, [&](int frame) {
      HGE* hge = engine.get();
      if (frame == 2) hge->Input_InjectRawKey(HGEK_UP, true);
      if (frame == 4) hge->Input_InjectRawKey(HGEK_W, true);
      if (frame == 5) hge->Input_InjectRawKey(HGEK_UP, false);
      if (frame == 6) {
        hge->Input_InjectRawKey(HGEK_W, false);
        hge->Input_InjectRawKey('F', true);
        hge->Input_InjectRawKey('F', false);
      }
      if (frame == 8) hge->Input_InjectRawKey(HGEK_W, true);
    }, HGEK_W, HGEK_UP);
    EXPECT_TRUE(seen.gamePressed.at(2));
    EXPECT_FALSE(seen.gamePressed.at(4)) << "W went down while the arrow held up";
    EXPECT_TRUE(seen.gameHeld.at(5)) << "the arrow let go while W holds up";
    EXPECT_FALSE(seen.gameHeld.at(6));
    EXPECT_TRUE(seen.gamePressed.at(8));
    EXPECT_TRUE(seen.rawDown.at(2));
    EXPECT_TRUE(seen.eitherDown.at(2));
    EXPECT_FALSE(seen.rawDown.at(3));
  }
  EXPECT_EQ(readFile(rec), "seed 3\n2 down W\n6 up W\n8 down W\n")
      << "the game's keys, never the arrow, nor F which is bound to nothing";

  // Played back with other bindings (W bound to nothing), the game sees the same W.
  TestEngine engine;
  engine->System_SetState(HGE_REPLAYFILE, rec.c_str());
  engine->Input_SetBindings({{HGEK_I, HGEK_W}});
  const Seen replayed = runRaw(engine.get(), 9, [](int) {}, HGEK_W, HGEK_UP);
  for (int f = 1; f <= 9; ++f) {
    EXPECT_EQ(replayed.gamePressed.at(f), f == 2 || f == 8) << "frame " << f;
    EXPECT_EQ(replayed.gameHeld.at(f), (f >= 2 && f <= 5) || f >= 8) << "frame " << f;
    EXPECT_FALSE(replayed.rawDown.at(f)) << "a replay presses no raw key";
  }
}

TEST(KeyBindings, ArrowKeysFromTheWindowPressTheirGameKey) {
  SystemLeaksIgnored leaksIgnored;
  ScopedEnv video("SDL_VIDEODRIVER", "offscreen");
  ScratchDir dir;
  InDirectory in(dir.path());
  TestEngine engine(false);
  HGE* hge = engine.get();
  hge->System_SetState(HGE_LOGFILE, "log.txt");
  hge->Input_SetBindings(kTwoKeysForUp);
  if (!hge->System_Initiate()) GTEST_SKIP() << "no offscreen video here";
  std::map<int, bool> up, w;
  hge->System_SetState(HGE_MAXFRAMES, 4);
  hge->System_SetState(HGE_FRAMEFUNC, [&] {
    const int f = hge->System_GetFrame();
    up[f] = hge->Input_GameKeyState(HGEK_W);
    w[f] = hge->Input_RawKeyState(HGEK_W);
    if (f == 1) {
      SDL_Event e{};
      e.type = SDL_KEYDOWN;
      e.key.state = SDL_PRESSED;
      e.key.keysym.scancode = SDL_SCANCODE_UP;
      e.key.keysym.sym = SDLK_UP;
      SDL_PushEvent(&e);
    }
    return false;
  });
  ASSERT_TRUE(hge->System_Start());
  EXPECT_FALSE(up[1]);
  EXPECT_TRUE(up[2]);
  EXPECT_FALSE(w[2]) << "the W key itself is not held";
}

TEST(KeyNames, EveryKeyTheKeyboardOrAPadPressesHasOneNameThatReadsBack) {
  int named = 0;
  for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
    const int key = virtualKeyFromScancode(static_cast<SDL_Scancode>(sc));
    if (!key) continue;
    const char* name = keyName(key);
    ASSERT_NE(name, nullptr) << "scancode " << sc << " gives key " << key << " without a name";
    EXPECT_EQ(keyFromName(name), key) << name;
    EXPECT_FALSE(isPadKey(key)) << name;
    ++named;
  }
  EXPECT_GT(named, 90);
  for (int key = HGEK_PAD_A; key <= HGEK_STICK_LEFT; ++key) {
    ASSERT_NE(keyName(key), nullptr) << key;
    EXPECT_EQ(keyFromName(keyName(key)), key);
    EXPECT_TRUE(isPadKey(key));
  }
  EXPECT_EQ(keyFromName("up"), HGEK_UP);
  EXPECT_EQ(keyFromName("PADA"), HGEK_PAD_A);
  EXPECT_EQ(keyFromName("Hyper"), 0);
  EXPECT_EQ(keyFromName(""), 0);
  EXPECT_EQ(keyName(0), nullptr);
  EXPECT_EQ(keyName(HGEK_COUNT), nullptr);
}

}  // namespace
