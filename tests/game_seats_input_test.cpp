// People joining and leaving the default game from the keyboard and from
// pads: the second set of keys at the keyboard joins seat 2 mid-scene and
// takes the arrow keys from seat 1; leaving through the pause menu is a key of
// the seat in the recording, which replays to the same trace; pads join with
// Start in the order they are used, and four pulled out at once leave no key
// of any seat held.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "played_game.h"

namespace {

using namespace playedgame;

#define NEED_GAME() \
  if (!haveGame()) GTEST_SKIP() << "no game laid out in " TERVALEN_BINARY_DIR "/game"

// Raw keys: each goes down at its frame and up `hold` frames later.
struct Presses {
  std::vector<std::tuple<int, int, int>> keys;  // frame, key, hold
  void operator()(HGE* hge, int frame) const {
    for (const auto& [at, key, hold] : keys) {
      if (frame == at) hge->Input_InjectRawKey(key, true);
      if (frame == at + hold) hge->Input_InjectRawKey(key, false);
    }
  }
};

bool seatKeyHeld(HGE* hge, int key, int seat) { return hge->Input_GameKeyState(hgeSeatKey(key, seat)); }

TEST(SeatsAtTheKeyboard, TheSecondSetJoinsSeatTwoAndLeavingReplaysToTheSameTrace) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup s;
  s.frames = 700;
  s.record = dir.file("two.rep");
  // Period joins seat 2 at 150; the Right arrow then walks seat 2. At 300 the
  // menu: down to "Leave game", Right to seat 2, Enter. Then the arrow is seat 1's again.
  Presses keys{{{150, HGEK_PERIOD, 3}, {200, HGEK_RIGHT, 60}, {300, HGEK_ESCAPE, 2}}};
  for (int i = 0; i < 5; ++i) keys.keys.emplace_back(310 + 4 * i, HGEK_DOWN, 2);
  keys.keys.emplace_back(340, HGEK_RIGHT, 2);
  keys.keys.emplace_back(346, HGEK_ENTER, 2);
  keys.keys.emplace_back(450, HGEK_RIGHT, 40);
  s.beforeClock = keys;
  std::map<int, int> seat2State;
  std::map<int, bool> seat1Right, seat2Right;
  int leaving = 0;
  s.afterFrame = [&](HGE* hge, int f, const ScreenFlow& flow, const PauseMenu& menu) {
    if (flow.world()) seat2State[f] = flow.world()->seat(2).state;
    seat1Right[f] = seatKeyHeld(hge, HGEK_D, 1);
    seat2Right[f] = seatKeyHeld(hge, HGEK_D, 2);
    if (f == 344) leaving = menu.leavingSeat();
  };
  const Played live = play(s, dir);
  ASSERT_TRUE(live.started);
  EXPECT_EQ(seat2State[149], Seat::FREE);
  EXPECT_EQ(seat2State[151], Seat::PLAYING) << "seat 2 dropped in on its punch";
  EXPECT_TRUE(seat2Right[230]);
  EXPECT_FALSE(seat1Right[230]) << "the arrow is seat 2's while seat 2 is at the keyboard";
  EXPECT_EQ(leaving, 2);
  EXPECT_EQ(seat2State[440], Seat::FREE) << "seat 2 left";
  EXPECT_TRUE(seat1Right[470]) << "the arrow is seat 1's again";
  EXPECT_FALSE(seat2Right[470]);
  const std::string recording = readFile(dir.file("two.rep"));
  EXPECT_NE(recording.find(" down J 2\n"), std::string::npos) << recording;
  EXPECT_NE(recording.find(" down LEAVE 2\n"), std::string::npos) << recording;
  EXPECT_EQ(recording.find("LEAVE 1"), std::string::npos) << recording;

  GameSetup again;
  again.frames = live.steps;
  again.replay = dir.file("two.rep");
  const Played replayed = play(again, dir);
  EXPECT_EQ(replayed.steps, live.steps);
  EXPECT_TRUE(replayed.trace == live.trace) << "the replay went another way";
  EXPECT_EQ(replayed.log.find("diverged"), std::string::npos);
}

// Four virtual pads in a window on the offscreen driver.
struct FourPads {
  SystemLeaksIgnored leaksIgnored;
  ScratchDir dir;
  ScopedEnv video{"SDL_VIDEODRIVER", "offscreen"};
  ScopedEnv background{"SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1"};
  ScopedEnv config{"XDG_CONFIG_HOME", dir.file("config")};
  std::vector<int> index;
  std::vector<SDL_Joystick*> pads;

  void attach() {
    for (int i = 0; i < 4; ++i) {
      SDL_VirtualJoystickDesc d{};
      d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
      d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
      d.naxes = SDL_CONTROLLER_AXIS_MAX;
      d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
      d.name = "Test Pad";
      const int at = SDL_JoystickAttachVirtualEx(&d);
      index.push_back(at);
      pads.push_back(at >= 0 ? SDL_JoystickOpen(at) : nullptr);
    }
  }
  void button(size_t pad, SDL_GameControllerButton b, bool down) {
    if (pad < pads.size() && pads[pad]) SDL_JoystickSetVirtualButton(pads[pad], b, down ? 1 : 0);
  }
  void detachAll() {
    for (SDL_Joystick* p : pads)
      if (p) SDL_JoystickClose(p);
    // Detaching shifts the device indexes: the last first.
    for (auto i = index.rbegin(); i != index.rend(); ++i)
      if (*i >= 0) SDL_JoystickDetachVirtual(*i);
    pads.clear();
    index.clear();
  }
  ~FourPads() { detachAll(); }
};

TEST(SeatsOnPads, PadsJoinInTheOrderTheyAreUsedAndFourPulledOutAtOnceHoldNothing) {
  NEED_GAME();
  FourPads p;
  GameSetup s;
  s.window = true;
  s.frames = 200;
  std::map<int, std::array<int, 5>> states;  // frame -> seat states 1-4
  std::map<int, std::array<bool, 5>> right;   // frame -> seats 1-4 holding right
  bool menuOpenOnStart = false;
  bool anyHeldAfter = false, ready = true;
  s.afterFrame = [&](HGE* hge, int f, const ScreenFlow& flow, const PauseMenu& menu) {
    if (flow.world())
      for (int seat = 1; seat <= 4; ++seat) states[f][static_cast<size_t>(seat)] = flow.world()->seat(seat).state;
    for (int seat = 1; seat <= 4; ++seat) right[f][static_cast<size_t>(seat)] = seatKeyHeld(hge, HGEK_D, seat);
    if (f >= 41 && f <= 70) menuOpenOnStart = menuOpenOnStart || menu.isOpen();
    if (f > 100)
      for (int seat = 1; seat <= 4; ++seat)
        for (int key : {HGEK_W, HGEK_S, HGEK_A, HGEK_D, HGEK_J, HGEK_K, HGEK_U, HGEK_I})
          anyHeldAfter = anyHeldAfter || seatKeyHeld(hge, key, seat);
    if (f == 1) {
      p.attach();
      ready = p.pads.size() == 4 && p.pads[3] != nullptr;
    }
    // The first pad used plays seat 1; Start on the others joins seats 2, 3, 4.
    if (f == 20) p.button(0, SDL_CONTROLLER_BUTTON_X, true);
    if (f == 22) p.button(0, SDL_CONTROLLER_BUTTON_X, false);
    for (size_t pad = 1; pad < 4; ++pad) {
      if (f == 30 + 10 * static_cast<int>(pad)) p.button(pad, SDL_CONTROLLER_BUTTON_START, true);
      if (f == 32 + 10 * static_cast<int>(pad)) p.button(pad, SDL_CONTROLLER_BUTTON_START, false);
    }
    if (f == 80)
      for (size_t pad = 0; pad < 4; ++pad) {
        p.button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
        p.button(pad, SDL_CONTROLLER_BUTTON_A, true);
      }
    if (f == 90) p.detachAll();  // pulled out with buttons held
  };
  const Played run = play(s, p.dir);
  if (!run.started) GTEST_SKIP() << "no offscreen video here";
  ASSERT_TRUE(ready) << SDL_GetError();
  EXPECT_EQ(states[38], (std::array<int, 5>{0, Seat::PLAYING, Seat::FREE, Seat::FREE, Seat::FREE}))
      << "the first pad's punch is seat 1's, not a join";
  EXPECT_EQ(states[75], (std::array<int, 5>{0, Seat::PLAYING, Seat::PLAYING, Seat::PLAYING, Seat::PLAYING}));
  EXPECT_FALSE(menuOpenOnStart) << "a Start that joins does not pause";
  EXPECT_EQ(right[85], (std::array<bool, 5>{false, true, true, true, true})) << "each pad walks its own seat";
  EXPECT_FALSE(anyHeldAfter) << "a key of some seat stayed down";
}

}  // namespace
