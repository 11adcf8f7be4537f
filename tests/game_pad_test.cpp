// The default game played with a pad: SDL's virtual joystick in a window on
// the offscreen video driver. The pad walks and punches through the same path
// as the keyboard, so its recording replays headless to the same trace; a
// lost window focus and an unplugged pad pause the game.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "engine/Replay.h"
#include "object/Chara.h"
#include "played_game.h"

namespace {

using namespace playedgame;

#define NEED_GAME() \
  if (!haveGame()) GTEST_SKIP() << "no game laid out in " TERVALEN_BINARY_DIR "/game"

// The window on the offscreen driver; pads' events arrive without its focus
// (it never has it); the settings in a folder of the test's.
struct PadWindow {
  SystemLeaksIgnored leaksIgnored;
  ScratchDir dir;
  ScopedEnv video{"SDL_VIDEODRIVER", "offscreen"};
  ScopedEnv background{"SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1"};
  ScopedEnv config{"XDG_CONFIG_HOME", dir.file("config")};
  int index = -1;
  SDL_Joystick* pad = nullptr;

  void attach() {
    SDL_VirtualJoystickDesc d{};
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    d.naxes = SDL_CONTROLLER_AXIS_MAX;
    d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    d.name = "Test Pad";
    index = SDL_JoystickAttachVirtualEx(&d);
    pad = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
  }
  void detach() {
    if (pad) SDL_JoystickClose(pad);
    if (index >= 0) SDL_JoystickDetachVirtual(index);
    pad = nullptr;
    index = -1;
  }
  void button(SDL_GameControllerButton b, bool down) {
    if (pad) SDL_JoystickSetVirtualButton(pad, b, down ? 1 : 0);
  }
  void axis(SDL_GameControllerAxis a, int value) {
    if (pad) SDL_JoystickSetVirtualAxis(pad, a, static_cast<Sint16>(value));
  }
};

TEST(PadGame, APadWalksAndPunchesAndItsRecordingReplaysToTheSameTrace) {
  NEED_GAME();
  PadWindow w;
  GameSetup s;
  s.window = true;
  s.frames = 420;
  s.record = w.dir.file("pad.rep");
  s.settingsFile = w.dir.path() / "config" / "tervalen" / "settings.ini";
  // The pad's keys, not the rules, are on trial: walking into a thug must not
  // hold him (grabs), so the test plays by the rules without them.
  s.rulesFile = TERVALEN_SOURCE_DIR "/tests/golden/classic-rules.txt";
  std::map<int, double> x;
  std::set<int> actionsAfterX, actionsAfterA;
  bool padAdded = false;
  s.afterFrame = [&](HGE* hge, int f, const ScreenFlow& flow, const PauseMenu&) {
    padAdded = padAdded || (hge->Input_GetEvents() & HGEINPUT_PADADDED);
    if (flow.world() && !flow.world()->charas.empty()) {
      const Chara* player = flow.world()->charas[0];
      x[f] = player->x;
      if (f > 250 && f <= 290) actionsAfterX.insert(player->action);
      if (f > 320 && f <= 360) actionsAfterA.insert(player->action);
    }
    if (f == 1) w.attach();
    if (f == 20) w.button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    if (f == 120) w.button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    if (f == 150) w.axis(SDL_CONTROLLER_AXIS_LEFTX, -30000);
    if (f == 220) w.axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    if (f == 250) w.button(SDL_CONTROLLER_BUTTON_X, true);
    if (f == 253) w.button(SDL_CONTROLLER_BUTTON_X, false);
    if (f == 320) w.button(SDL_CONTROLLER_BUTTON_A, true);
    if (f == 323) w.button(SDL_CONTROLLER_BUTTON_A, false);
  };
  const Played live = play(s, w.dir);
  w.detach();
  if (!live.started) GTEST_SKIP() << "no offscreen video here";
  ASSERT_GE(w.index, -1);
  EXPECT_TRUE(padAdded);
  EXPECT_GT(x[121], x[20] + 50) << "the d-pad walks right";
  EXPECT_LT(x[221], x[150] - 50) << "the stick walks left";
  EXPECT_TRUE(actionsAfterX.count(13)) << "X punches";
  EXPECT_TRUE(actionsAfterA.count(2) || actionsAfterA.count(3)) << "A jumps";
  EXPECT_EQ(live.steps, 420) << "nothing paused the game";

  // The recording holds the game's keys only, and plays back headless, with no
  // pad, to the same game.
  const std::string rec = readFile(s.record);
  ReplayFile file;
  std::string error;
  ASSERT_TRUE(parseReplay(rec, "pad.rep", file, error)) << error;
  std::set<std::string> keys;
  for (const ReplayEvent& e : file.events) keys.insert(replayKeyName(e.key));
  EXPECT_EQ(keys, (std::set<std::string>{"A", "D", "J", "K"})) << rec;
  GameSetup replay;
  replay.frames = 420;
  replay.replay = s.record;
  replay.rulesFile = s.rulesFile;
  const Played replayed = play(replay, w.dir);
  ASSERT_EQ(replayed.trace.size(), live.trace.size());
  EXPECT_TRUE(replayed.trace == live.trace) << "the replay went another way";
  EXPECT_EQ(replayed.log.find("diverged"), std::string::npos);
}

TEST(PadGame, ALostWindowFocusAndAnUnpluggedPadPauseTheGame) {
  NEED_GAME();
  PadWindow w;
  GameSetup s;
  s.window = true;
  s.frames = 200;
  s.settingsFile = w.dir.path() / "config" / "tervalen" / "settings.ini";
  std::map<int, bool> open;
  std::map<int, int> step;
  s.afterFrame = [&](HGE* hge, int f, const ScreenFlow&, const PauseMenu& menu) {
    open[f] = menu.isOpen();
    step[f] = hge->System_GetStep();
    auto push = [](SDL_Event e) { SDL_PushEvent(&e); };
    if (f == 1) w.attach();
    if (f == 50) {
      SDL_Event e{};
      e.type = SDL_WINDOWEVENT;
      e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
      push(e);
    }
    if (f == 80 || f == 82) {
      SDL_Event e{};
      e.type = f == 80 ? SDL_KEYDOWN : SDL_KEYUP;
      e.key.state = f == 80 ? SDL_PRESSED : SDL_RELEASED;
      e.key.keysym.scancode = SDL_SCANCODE_RETURN;
      e.key.keysym.sym = SDLK_RETURN;
      push(e);
    }
    if (f == 120) w.button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    if (f == 130) w.detach();  // pulled out mid-press
  };
  const Played p = play(s, w.dir);
  if (!p.started) GTEST_SKIP() << "no offscreen video here";
  EXPECT_FALSE(open[50]);
  EXPECT_TRUE(open[51]) << "the focus went away";
  EXPECT_EQ(step[82], step[50]) << "no step while paused";
  EXPECT_FALSE(open[81]) << "Enter chose Resume";
  EXPECT_EQ(step[83], step[50] + 1) << "going on once Enter is up";
  EXPECT_FALSE(open[130]);
  EXPECT_TRUE(open[131]) << "the pad was unplugged";
  EXPECT_EQ(step[200], step[130]);
  EXPECT_NE(p.log.find("Pad unplugged: Test Pad"), std::string::npos) << p.log;
}

}  // namespace
