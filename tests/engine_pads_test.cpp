// Pads through SDL's game controller API, driven by SDL's virtual joysticks in
// a window on the offscreen video driver: buttons, the d-pad, the left stick
// past its dead zone and the triggers are raw keys; pads come and go while the
// game runs, and one unplugged mid-press leaves nothing held.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/sdl/SdlPads.h"
#include "engine_support.h"

namespace {

// A game controller as SDL's virtual joystick: every button and axis of SDL's layout.
int attachPad(const char* name) {
  SDL_VirtualJoystickDesc d{};
  d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  d.naxes = SDL_CONTROLLER_AXIS_MAX;
  d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  d.name = name;
  return SDL_JoystickAttachVirtualEx(&d);
}

// The virtual pad at device index `index`, opened for setting its buttons.
SDL_Joystick* openForSetting(int index) { return SDL_JoystickOpen(index); }

// A windowed engine on the offscreen driver whose pads' events arrive without
// the window's focus (the offscreen window never has it).
struct PadRun {
  SystemLeaksIgnored leaksIgnored;
  ScratchDir dir;
  InDirectory in{dir.path()};
  ScopedEnv video{"SDL_VIDEODRIVER", "offscreen"};
  ScopedEnv background{"SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1"};
  ScopedEnv config{"XDG_CONFIG_HOME", dir.file("config")};
  TestEngine engine{false};
  PadRun() { engine->System_SetState(HGE_LOGFILE, "log.txt"); }
  std::string log() const { return readFile(dir.file("log.txt")); }

  // Runs `frames` frames; `act(frame)` works the pads in the frame callback
  // (their events are read at the start of the next frame); `look(frame)` is
  // called first in each frame callback.
  void run(int frames, const std::function<void(int)>& look, const std::function<void(int)>& act) {
    HGE* hge = engine.get();
    hge->System_SetState(HGE_MAXFRAMES, frames);
    hge->System_SetState(HGE_FRAMEFUNC, [hge, look, act] {
      look(hge->System_GetFrame());
      act(hge->System_GetFrame());
      return false;
    });
    hge->System_Start();
  }
};

TEST(Pads, ButtonsTheDpadAndTheStickPastItsDeadZoneAreKeysThatPressTheGameKeys) {
  PadRun r;
  HGE* hge = r.engine.get();
  hge->Input_SetBindings({{HGEK_PAD_X, HGEK_J}, {HGEK_PAD_RIGHT, HGEK_D}, {HGEK_STICK_RIGHT, HGEK_D},
                          {HGEK_PAD_LT, HGEK_U}});
  if (!hge->System_Initiate()) GTEST_SKIP() << "no offscreen video here";
  const int index = attachPad("Test Pad");
  ASSERT_GE(index, 0) << SDL_GetError();
  SDL_Joystick* pad = openForSetting(index);
  ASSERT_NE(pad, nullptr);
  std::map<int, bool> punch, punchHeld, right, rawX, rawStick, extra;
  std::vector<std::string> pads;
  int added = 0;
  r.run(
      16,
      [&](int f) {
        punch[f] = hge->Input_StepKeyDown(HGEK_J);
        punchHeld[f] = hge->Input_GameKeyState(HGEK_J);
        right[f] = hge->Input_GameKeyState(HGEK_D);
        rawX[f] = hge->Input_RawKeyState(HGEK_PAD_X);
        rawStick[f] = hge->Input_RawKeyState(HGEK_STICK_RIGHT);
        extra[f] = hge->Input_GameKeyState(HGEK_U);
        if (hge->Input_GetEvents() & HGEINPUT_PADADDED) ++added;
        if (f == 2) pads = hge->Input_GetPads();
      },
      [&](int f) {
        if (f == 2) SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_X, 1);
        if (f == 3) SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_X, 0);
        if (f == 4) SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
        if (f == 5) SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0);
        if (f == 6) SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 9000);    // inside the dead zone
        if (f == 7) SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 26000);   // out of it
        if (f == 8) SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 14000);   // eased back, not yet in
        if (f == 9) SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 5000);    // back in
        if (f == 10) SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 30000);
        // A virtual joystick's trigger spans the whole axis: its lowest value is the trigger at rest.
        if (f == 11) SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
      });
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(index);
  EXPECT_EQ(added, 1);
  EXPECT_EQ(pads, (std::vector<std::string>{"Test Pad"}));
  EXPECT_TRUE(punch[3]);
  EXPECT_TRUE(punchHeld[3]);
  EXPECT_TRUE(rawX[3]);
  EXPECT_FALSE(punch[4]);
  EXPECT_FALSE(punchHeld[4]);
  EXPECT_TRUE(right[5]) << "the d-pad";
  EXPECT_FALSE(right[6]);
  EXPECT_FALSE(right[7]) << "a stick inside its dead zone is still";
  EXPECT_TRUE(right[8]);
  EXPECT_TRUE(rawStick[8]);
  EXPECT_TRUE(right[9]) << "a stick easing back holds until it is well inside";
  EXPECT_FALSE(right[10]);
  EXPECT_TRUE(extra[11]) << "a trigger";
  EXPECT_FALSE(extra[12]);
  EXPECT_NE(r.log().find("Pad plugged in: Test Pad"), std::string::npos) << r.log();
}

TEST(Pads, AnUnpluggedPadLetsGoOfWhatItHeldAndSaysSo) {
  PadRun r;
  HGE* hge = r.engine.get();
  hge->Input_SetBindings({{HGEK_PAD_A, HGEK_K}, {HGEK_STICK_LEFT, HGEK_A}});
  if (!hge->System_Initiate()) GTEST_SKIP() << "no offscreen video here";
  const int index = attachPad("Going Pad");
  ASSERT_GE(index, 0) << SDL_GetError();
  SDL_Joystick* pad = openForSetting(index);
  std::map<int, bool> jump, left, anyRaw;
  std::map<int, int> events;
  std::map<int, size_t> padCount;
  r.run(
      8,
      [&](int f) {
        jump[f] = hge->Input_GameKeyState(HGEK_K);
        left[f] = hge->Input_GameKeyState(HGEK_A);
        events[f] = hge->Input_GetEvents();
        padCount[f] = hge->Input_GetPads().size();
        bool any = false;
        for (int k = HGEK_PAD_A; k <= HGEK_STICK_LEFT; ++k) any = any || hge->Input_RawKeyState(k);
        anyRaw[f] = any;
      },
      [&](int f) {
        if (f == 2) {
          SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
          SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -32768);
        }
        if (f == 4) {  // pulled out with the button and the stick held
          SDL_JoystickClose(pad);
          SDL_JoystickDetachVirtual(index);
        }
      });
  EXPECT_TRUE(jump[3]);
  EXPECT_TRUE(left[3]);
  EXPECT_EQ(padCount[3], 1u);
  EXPECT_EQ(events[5] & HGEINPUT_PADREMOVED, HGEINPUT_PADREMOVED);
  for (int f = 5; f <= 8; ++f) {
    EXPECT_FALSE(jump[f]) << "frame " << f;
    EXPECT_FALSE(left[f]) << "frame " << f;
    EXPECT_FALSE(anyRaw[f]) << "frame " << f;
    EXPECT_EQ(padCount[f], 0u) << "frame " << f;
  }
  EXPECT_NE(r.log().find("Pad unplugged: Going Pad"), std::string::npos) << r.log();
}

TEST(Pads, PressesFasterThanFramesCountOnceEachFrameAndLeaveNothingHeld) {
  PadRun r;
  HGE* hge = r.engine.get();
  hge->Input_SetBindings({{HGEK_PAD_X, HGEK_J}});
  if (!hge->System_Initiate()) GTEST_SKIP() << "no offscreen video here";
  const int index = attachPad("Busy Pad");
  ASSERT_GE(index, 0) << SDL_GetError();
  SDL_Joystick* pad = openForSetting(index);
  std::map<int, bool> pressed, held;
  int changes = 0;
  r.run(
      6,
      [&](int f) {
        pressed[f] = hge->Input_StepKeyDown(HGEK_J);
        held[f] = hge->Input_GameKeyState(HGEK_J);
      },
      [&](int f) {
        if (f != 2) return;
        // Fifty presses and releases, each reaching SDL's queue, before the next frame.
        for (int i = 0; i < 50; ++i) {
          SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_X, 1);
          SDL_JoystickUpdate();
          SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_X, 0);
          SDL_JoystickUpdate();
          ++changes;
        }
      });
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(index);
  EXPECT_EQ(changes, 50);
  EXPECT_TRUE(pressed[3]);
  EXPECT_FALSE(held[3]);
  EXPECT_FALSE(pressed[4]);
  EXPECT_FALSE(held[5]);
}

TEST(Pads, AJoystickWithoutAMappingIsLeftAloneUntilTheConfigFolderGivesItOne) {
  SDL_VirtualJoystickDesc d{};
  d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  d.type = SDL_JOYSTICK_TYPE_UNKNOWN;
  d.naxes = 2;
  d.nbuttons = 4;
  d.vendor_id = 0x1234;
  d.product_id = 0x5678;
  d.name = "Odd Stick";
  std::string guid;  // learnt in the first run
  for (bool mapped : {false, true}) {
    PadRun r;
    HGE* hge = r.engine.get();
    hge->Input_SetBindings({{HGEK_PAD_A, HGEK_K}});
    if (mapped) {
      // A mapping for it among lines SDL cannot read, read when the engine starts.
      std::filesystem::create_directories(r.dir.path() / "config" / "tervalen");
      writeFile(r.dir.file("config/tervalen/gamecontrollerdb.txt"),
                "# pads\nnot a mapping at all\n\x01\x02\xff\n" + guid +
                    ",Odd Stick,a:b0,b:b1,x:b2,y:b3,leftx:a0,lefty:a1,platform:Linux,\n");
    }
    if (!hge->System_Initiate()) GTEST_SKIP() << "no offscreen video here";
    const int index = SDL_JoystickAttachVirtualEx(&d);
    ASSERT_GE(index, 0) << SDL_GetError();
    char text[64] = {};
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), text, sizeof text);
    guid = text;
    SDL_Joystick* stick = openForSetting(index);
    std::map<int, bool> jump;
    r.run(
        5, [&](int f) { jump[f] = hge->Input_GameKeyState(HGEK_K); },
        [&](int f) {
          if (f == 2) SDL_JoystickSetVirtualButton(stick, 0, 1);
        });
    SDL_JoystickClose(stick);
    SDL_JoystickDetachVirtual(index);
    if (!mapped) {
      EXPECT_FALSE(jump[4]) << "a joystick SDL cannot map presses nothing";
      EXPECT_NE(r.log().find("no pad mapping for is left alone: Odd Stick (" + guid + ")"), std::string::npos) << r.log();
    } else {
      EXPECT_TRUE(jump[4]) << "button 0 is A by the file's mapping";
      EXPECT_NE(r.log().find("Pad mappings: 1 from "), std::string::npos) << r.log();
    }
  }
}

TEST(Pads, SticksAndTriggersGoDownPastHalfwayAndUpWithinAThird) {
  EXPECT_FALSE(padAxisHolds(0, false));
  EXPECT_FALSE(padAxisHolds(16384, false));
  EXPECT_TRUE(padAxisHolds(16385, false));
  EXPECT_TRUE(padAxisHolds(12000, true));
  EXPECT_FALSE(padAxisHolds(10923, true));
  EXPECT_FALSE(padAxisHolds(-32768, true));
  EXPECT_TRUE(padAxisHolds(32768, false));  // the far end of the other direction, negated
  EXPECT_EQ(padKeyOfButton(SDL_CONTROLLER_BUTTON_A), HGEK_PAD_A);
  EXPECT_EQ(padKeyOfButton(SDL_CONTROLLER_BUTTON_START), HGEK_PAD_START);
  EXPECT_EQ(padKeyOfButton(SDL_CONTROLLER_BUTTON_GUIDE), 0);
  EXPECT_EQ(padKeyOfButton(-1), 0);
}

}  // namespace
