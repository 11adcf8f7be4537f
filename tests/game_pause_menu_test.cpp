// The pause menu in the default game, its keys pressed as the keyboard would
// (raw keys, before the clock): Esc stops the world (no step, no random
// number) and Resume carries on exactly where it stood; the key that closed
// the menu never reaches the game; the menu's volumes, keys and Quit act at
// once and are kept; Esc on the ending screen still quits.
#include <gtest/gtest.h>

#include <sstream>

#include "app/SettingsFile.h"
#include "engine/Replay.h"
#include "played_game.h"

namespace {

using namespace playedgame;

const std::string kKeys = TERVALEN_SOURCE_DIR "/tests/golden/random-keys-a.keys";

#define NEED_GAME() \
  if (!haveGame()) GTEST_SKIP() << "no game laid out in " TERVALEN_BINARY_DIR "/game"

TEST(PauseMenuGame, EscapeStopsTheWorldAndResumeCarriesOnExactly) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup straight;
  straight.frames = 3000;
  straight.replay = kKeys;
  const Played expected = play(straight, dir);
  ASSERT_TRUE(expected.started);

  // Esc at frame 1200, in a fight; Enter on Resume at 1500, held for 6 frames.
  GameSetup paused = straight;
  paused.record = dir.file("paused.rep");
  paused.frames = 3000 + 306;
  paused.beforeClock = Taps{{{1200, HGEK_ESCAPE}, {1500, HGEK_ENTER}}, 6};
  bool openSeen = false;
  paused.afterFrame = [&](HGE*, int frame, const ScreenFlow&, const PauseMenu& menu) {
    if (frame == 1300) openSeen = menu.isOpen();
  };
  const Played live = play(paused, dir);
  EXPECT_TRUE(openSeen);
  EXPECT_EQ(live.steps, 3000);
  // Frames 1200 to 1505 are no steps (the game waits for Enter to come up) and draw nothing.
  EXPECT_EQ(live.stepAtFrame[1198], 1199);
  EXPECT_EQ(live.stepAtFrame[1505 - 1], 1199);
  EXPECT_EQ(live.stepAtFrame[1506 - 1], 1200);
  EXPECT_EQ(live.drawsAtFrame[1505 - 1], live.drawsAtFrame[1198]) << "no random number while paused";
  EXPECT_EQ(live.randomDraws, expected.randomDraws);
  EXPECT_EQ(live.result, expected.result);
  ASSERT_EQ(live.trace.size(), expected.trace.size());
  EXPECT_TRUE(live.trace == expected.trace) << "the paused game went another way";
  // Neither Esc nor Enter reached the recording, which replays to the same game.
  const std::string recording = readFile(dir.file("paused.rep"));
  EXPECT_EQ(recording.find("ESC"), std::string::npos);
  GameSetup replay = straight;
  replay.replay = dir.file("paused.rep");
  const Played replayed = play(replay, dir);
  EXPECT_TRUE(replayed.trace == expected.trace);
  EXPECT_EQ(replayed.log.find("diverged"), std::string::npos);
}

TEST(PauseMenuGame, APadButtonThatClosesTheMenuNeverReachesTheGame) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup s;
  s.frames = 400;
  s.record = dir.file("pad.rep");
  // Start pauses at 100; A (jump) on Resume at 200, held for 40 frames.
  s.beforeClock = [](HGE* hge, int frame) {
    if (frame == 100) hge->Input_InjectRawKey(HGEK_PAD_START, true);
    if (frame == 101) hge->Input_InjectRawKey(HGEK_PAD_START, false);
    if (frame == 200) hge->Input_InjectRawKey(HGEK_PAD_A, true);
    if (frame == 240) hge->Input_InjectRawKey(HGEK_PAD_A, false);
  };
  std::vector<bool> jumpHeld(401);
  s.afterFrame = [&](HGE* hge, int frame, const ScreenFlow&, const PauseMenu&) {
    jumpHeld[static_cast<size_t>(frame)] = hge->Input_GameKeyState(HGEK_K);
  };
  const Played p = play(s, dir);
  ASSERT_TRUE(p.started);
  EXPECT_EQ(p.stepAtFrame[239 - 1], 99) << "still paused while A is held";
  EXPECT_EQ(p.stepAtFrame[240 - 1], 100) << "going on once it is up";
  EXPECT_FALSE(jumpHeld[241]);
  const std::string rec = readFile(dir.file("pad.rep"));
  EXPECT_EQ(rec.find(" K"), std::string::npos) << rec;
  EXPECT_EQ(rec.find("ESC"), std::string::npos) << rec;
}

// Over the network the menu cannot stop the other machines: it opens over the
// running game, and this machine's seats are kept from the keys until the
// key that closed it is up.
TEST(PauseMenuGame, OverTheNetworkTheMenuOpensOverTheRunningGame) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup s;
  s.frames = 400;
  s.menuStopsTheGame = false;
  s.beforeClock = [](HGE* hge, int frame) {
    if (frame == 100) hge->Input_InjectRawKey(HGEK_ESCAPE, true);
    if (frame == 101) hge->Input_InjectRawKey(HGEK_ESCAPE, false);
    if (frame == 200) hge->Input_InjectRawKey(HGEK_ENTER, true);  // Resume
    if (frame == 240) hge->Input_InjectRawKey(HGEK_ENTER, false);
  };
  std::vector<int> kept(401, -1), open(401, -1);
  s.afterFrame = [&](HGE*, int frame, const ScreenFlow&, const PauseMenu& menu) {
    kept[static_cast<size_t>(frame)] = menu.keysKeptFromTheGame();
    open[static_cast<size_t>(frame)] = menu.isOpen();
  };
  const Played p = play(s, dir);
  ASSERT_TRUE(p.started);
  EXPECT_EQ(p.steps, 400) << "no frame stood still";
  EXPECT_EQ(p.stepAtFrame[150 - 1], 150);
  EXPECT_EQ(p.stepAtFrame[230 - 1], 230);
  EXPECT_EQ(open[99], 0);
  EXPECT_EQ(open[150], 1);
  EXPECT_EQ(kept[150], 1);
  EXPECT_EQ(open[220], 0) << "Resume closed it";
  EXPECT_EQ(kept[220], 1) << "Enter is still down";
  EXPECT_EQ(kept[245], 0);
}

TEST(PauseMenuGame, PPausesAndPResumesOnceItIsUp) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup s;
  s.frames = 300;
  s.beforeClock = Taps{{{100, HGEK_P}, {150, HGEK_P}}, 2};
  std::vector<bool> open(301);
  s.afterFrame = [&](HGE*, int frame, const ScreenFlow&, const PauseMenu& menu) {
    open[static_cast<size_t>(frame)] = menu.isOpen();
  };
  const Played p = play(s, dir);
  ASSERT_TRUE(p.started);
  EXPECT_FALSE(open[99]);
  EXPECT_TRUE(open[100] && open[149]);
  EXPECT_FALSE(open[150]);
  const int before = p.stepAtFrame[99 - 1];
  EXPECT_EQ(p.stepAtFrame[100 - 1], before) << "P stops the world in the frame it goes down";
  EXPECT_EQ(p.stepAtFrame[151 - 1], before) << "still paused while the P that closed the menu is held";
  EXPECT_EQ(p.stepAtFrame[152 - 1], before + 1);
  EXPECT_EQ(p.steps, 300 - 52);
  EXPECT_EQ(p.drawsAtFrame[151 - 1], p.drawsAtFrame[99 - 1]) << "no random number while paused";
}

// Presses one raw key per entry, a few frames apart from `start`.
Taps sequence(int start, std::initializer_list<int> keys) {
  Taps t;
  int frame = start;
  for (int key : keys) {
    t.downs.emplace_back(frame, key);
    frame += 4;
  }
  t.holdFrames = 2;
  return t;
}

TEST(PauseMenuGame, TheMenusVolumesAndKeysActAtOnceAndAreKept) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup s;
  s.frames = 400;
  s.record = dir.file("keys.rep");
  s.settingsFile = dir.path() / "config" / "settings.ini";
  // Esc; Down to Music, Left twice (80); Down twice to Controls, Enter; Down four
  // times to Punch, Enter, L (punch is L now); Esc back; Esc resumes. Then L and J.
  Taps menu = sequence(20, {HGEK_ESCAPE, HGEK_DOWN, HGEK_LEFT, HGEK_LEFT, HGEK_DOWN, HGEK_DOWN, HGEK_ENTER, HGEK_DOWN,
                            HGEK_DOWN, HGEK_DOWN, HGEK_DOWN, HGEK_ENTER, 'L', HGEK_ESCAPE, HGEK_ESCAPE});
  menu.downs.emplace_back(200, 'L');
  menu.downs.emplace_back(300, HGEK_J);
  s.beforeClock = menu;
  int musicAt40 = -1;
  bool waitingAt66 = false;
  s.afterFrame = [&](HGE* hge, int frame, const ScreenFlow&, const PauseMenu& m) {
    if (frame == 40) musicAt40 = hge->System_GetState(HGE_MUSICVOLUME);
    if (frame == 66) waitingAt66 = m.waitingForKey() && m.page() == PauseMenu::CONTROLS && m.line() == KEY_J;
  };
  const Played p = play(s, dir);
  ASSERT_TRUE(p.started);
  EXPECT_EQ(musicAt40, 80) << "the volume changes at once";
  EXPECT_TRUE(waitingAt66);
  EXPECT_EQ(p.stepAtFrame[71 - 1], p.stepAtFrame[19 - 1]) << "paused while in the menu";
  EXPECT_GT(p.stepAtFrame[100 - 1], p.stepAtFrame[71 - 1]) << "and going on after it";
  // In play, L punches and J does nothing: the recording has J going down once.
  const std::string rec = readFile(dir.file("keys.rep"));
  ReplayFile file;
  std::string error;
  ASSERT_TRUE(parseReplay(rec, "keys.rep", file, error)) << error;
  int punches = 0;
  for (const ReplayEvent& e : file.events)
    if (e.key == HGEK_J && e.down) ++punches;
  EXPECT_EQ(punches, 1) << rec;
  EXPECT_EQ(rec.find(" L"), std::string::npos) << "the key as the game knows it, never L";
  // Kept: read back from the settings file.
  std::vector<std::string> log;
  const Settings kept = loadSettings(s.settingsFile, [&](const std::string& l) { log.push_back(l); });
  EXPECT_EQ(kept.musicVolume, 80);
  EXPECT_EQ(kept.bindings.keys[KEY_J].slots, (std::array<int, 3>{'L', 0, HGEK_PAD_X}));
  EXPECT_EQ(p.musicVolume, 80);
}

TEST(PauseMenuGame, EveryTapCountsEvenSeveralInOneFrame) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup s;
  s.frames = 60;
  // Esc at 20; at 30 three taps of Down that all come in between two frames;
  // at 40 Down and Up in one frame, which leave the line where it was.
  s.beforeClock = [](HGE* hge, int frame) {
    if (frame == 20) hge->Input_InjectRawKey(HGEK_ESCAPE, true);
    if (frame == 21) hge->Input_InjectRawKey(HGEK_ESCAPE, false);
    if (frame == 30)
      for (bool down : {true, false, true, false, true, false}) hge->Input_InjectRawKey(HGEK_DOWN, down);
    if (frame == 40)
      for (int key : {HGEK_DOWN, HGEK_UP}) {
        hge->Input_InjectRawKey(key, true);
        hge->Input_InjectRawKey(key, false);
      }
  };
  std::vector<int> line(61, -1);
  s.afterFrame = [&](HGE*, int frame, const ScreenFlow&, const PauseMenu& m) {
    line[static_cast<size_t>(frame)] = m.isOpen() ? m.line() : -1;
  };
  const Played p = play(s, dir);
  ASSERT_TRUE(p.started);
  EXPECT_EQ(line[29], PauseMenu::RESUME);
  EXPECT_EQ(line[30], PauseMenu::CONTROLS_LINE) << "three taps, three rows";
  EXPECT_EQ(line[40], PauseMenu::CONTROLS_LINE);
}

TEST(PauseMenuGame, QuitToDesktopEndsTheRun) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup s;
  s.frames = 1000;
  s.beforeClock = sequence(50, {HGEK_ESCAPE, HGEK_UP, HGEK_ENTER});  // Up from Resume wraps round to Quit
  const Played p = play(s, dir);
  ASSERT_TRUE(p.started);
  EXPECT_TRUE(p.quit);
  EXPECT_EQ(p.frames, 58);
  EXPECT_EQ(p.steps, 49);
  EXPECT_EQ(p.result.rfind("result=quit ", 0), 0u) << p.result;
}

TEST(PauseMenuGame, EscapeOnTheEndingScreenStillQuitsAndOpensNoMenu) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup s;
  s.frames = 60000;  // the golden run's own limit: the recorded game ends well before it
  s.seed = 1;
  s.replay = TERVALEN_SOURCE_DIR "/tests/golden/autoplay-seed1.keys";
  // The keys were recorded in the game as its rules stood then; they win that game.
  s.rulesFile = TERVALEN_SOURCE_DIR "/tests/golden/classic-rules.txt";
  // The recorded game ends on the ending screen with its own Esc; the
  // player's Esc comes first, in the ending's second frame.
  int endingFrame = 0;
  bool menuOpened = false;
  s.afterFrame = [&](HGE*, int frame, const ScreenFlow& flow, const PauseMenu& menu) {
    if (flow.state() == ScreenFlow::ENDING && !endingFrame) endingFrame = frame;
    menuOpened = menuOpened || menu.isOpen();
  };
  s.beforeClock = [&](HGE* hge, int frame) {
    if (endingFrame && frame == endingFrame + 1) hge->Input_InjectRawKey(HGEK_ESCAPE, true);
  };
  const Played p = play(s, dir);
  ASSERT_TRUE(p.started);
  ASSERT_GT(endingFrame, 0) << p.result;
  EXPECT_TRUE(p.quit);
  EXPECT_FALSE(menuOpened);
  EXPECT_EQ(p.frames, endingFrame + 1);
}

// A screenshot, read once.
class Picture {
 public:
  explicit Picture(const std::string& png) : surface_(IMG_Load(png.c_str())) {}
  ~Picture() {
    if (surface_) SDL_FreeSurface(surface_);
  }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  bool ok() const { return surface_ != nullptr; }
  Rgb at(int x, int y) const { return pixelAt(surface_, x, y); }

 private:
  SDL_Surface* surface_;
};

TEST(PauseMenuGame, TheMenuIsDrawnOverTheFrozenGameInTheDisplaysColours) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup s;
  s.frames = 130;
  s.screenshots = {{99, dir.file("play.png")}, {103, dir.file("menu.png")}, {125, dir.file("controls.png")}};
  s.beforeClock = sequence(100, {HGEK_ESCAPE, HGEK_DOWN, HGEK_DOWN, HGEK_DOWN, HGEK_ENTER});
  const Played p = play(s, dir);
  ASSERT_TRUE(p.started);
  const Picture before(dir.file("play.png")), menu(dir.file("menu.png")), controls(dir.file("controls.png"));
  ASSERT_TRUE(before.ok() && menu.ok() && controls.ok());
  // The main page's plate: its gold rim at the left edge, its steel face, the
  // chosen line's orange "Resume", and the game darkened around it.
  const Rgb rim = menu.at(168, 240);
  EXPECT_GT(rim.r, 120);
  EXPECT_GT(rim.r, rim.b + 40) << "gold";
  const Rgb face = menu.at(400, 400);
  EXPECT_LT(face.r, face.b) << "steel";
  const Rgb outside = menu.at(60, 400), outsideBefore = before.at(60, 400);
  EXPECT_LT(outside.r + outside.g + outside.b, (outsideBefore.r + outsideBefore.g + outsideBefore.b) / 2 + 1);
  int orange = 0;
  for (int x = 200; x < 300; ++x)
    for (int y = 128; y < 150; ++y) {
      const Rgb c = menu.at(x, y);
      if (c.r > 200 && c.g > 120 && c.b < 140) ++orange;
    }
  EXPECT_GT(orange, 30) << "the chosen line's text";
  // The controls page is another picture, wider than the main page.
  const Rgb controlsRim = controls.at(38, 240);
  EXPECT_GT(controlsRim.r, controlsRim.b + 40);
}

}  // namespace
