// The title menu in the default game, driven as a person does: raw keys of
// the keyboard and a pad's buttons, and the other seats' own keys. From the
// title through the hero select to play, the ending and back; two seats
// picking heroes; a run that enters the high scores and its name; the demo
// after 20 seconds untouched, and any key ending it.
#include <gtest/gtest.h>

#include "app/ScoresFile.h"
#include "app/SettingsFile.h"
#include "played_game.h"

namespace {

using namespace playedgame;

#define NEED_GAME() \
  if (!haveGame()) GTEST_SKIP() << "no game laid out in " TERVALEN_BINARY_DIR "/game"

// Taps `key` (a raw key, or with `seat` a seat's game key) in the clock callback of `frame`.
struct Tap {
  int frame, key, seat = 0;
};
std::function<void(HGE*, int)> taps(std::vector<Tap> list) {
  return [list](HGE* hge, int frame) {
    for (const Tap& t : list) {
      if (t.seat == 0) {
        if (frame == t.frame) hge->Input_InjectRawKey(t.key, true);
        if (frame == t.frame + 2) hge->Input_InjectRawKey(t.key, false);
      } else {
        if (frame == t.frame) hge->Input_InjectKey(hgeSeatKey(t.key, t.seat), true);
        if (frame == t.frame + 2) hge->Input_InjectKey(hgeSeatKey(t.key, t.seat), false);
      }
    }
  };
}

TEST(TitleMenuGame, TitleToPlayToEndingAndBackWithKeysAndAPad) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup s;
  s.frames = 20000;
  s.titleMenu = true;
  s.settingsFile = dir.path() / "settings.ini";
  // Down twice to Difficulty, Right: hard; the pad's d-pad up twice to Play;
  // Enter: the heroes; Right: Kaelin; the pad's A: ready, and play. Nobody
  // plays on, the thugs win; after the ending Enter goes back to the title.
  const auto menuKeys = taps({{10, HGEK_DOWN}, {15, HGEK_DOWN}, {20, HGEK_RIGHT}, {25, HGEK_PAD_UP},
                               {30, HGEK_PAD_UP}, {35, HGEK_ENTER}, {40, HGEK_RIGHT}, {45, HGEK_PAD_A}});
  int endingAt = 0, titleAgainAt = 0;
  s.beforeClock = [&](HGE* hge, int frame) {
    menuKeys(hge, frame);
    if (endingAt && frame == endingAt + 10) hge->Input_InjectRawKey(HGEK_ENTER, true);
    if (endingAt && frame == endingAt + 12) hge->Input_InjectRawKey(HGEK_ENTER, false);
  };
  std::string hero;
  bool seenHeroes = false;
  s.afterFrame = [&](HGE*, int frame, const ScreenFlow& flow, const PauseMenu&) {
    const TitleMenu* t = flow.titleMenu();
    if (frame == 36) seenHeroes = t->page() == TitleMenu::HEROES;
    if (frame == 50 && flow.world()) hero = flow.world()->seat(1).hud.player->id();
    if (!endingAt && flow.state() == ScreenFlow::ENDING) endingAt = frame;
    if (endingAt && !titleAgainAt && flow.state() == ScreenFlow::TITLE) titleAgainAt = frame;
  };
  const Played p = play(s, dir);
  ASSERT_TRUE(p.started);
  EXPECT_TRUE(seenHeroes);
  EXPECT_EQ(hero, "c_kaelin");
  ASSERT_GT(endingAt, 50) << "the idle hero fell";
  EXPECT_EQ(titleAgainAt, endingAt + 10) << "Enter on the ending: the title";
  EXPECT_EQ(loadSettings(s.settingsFile, [](const std::string&) {}).difficulty, Difficulty::Hard) << "kept";
}

TEST(TitleMenuGame, TwoSeatsJoinAndEachPicksItsHero) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup s;
  s.frames = 120;
  s.titleMenu = true;
  // Play together; seat 3 joins and leaves, seat 2 joins at the keyboard with
  // its punch (the full stop); Enter: the heroes; seat 1 ready on Morivane
  // with Enter; seat 2 Right (its arrow), then punch.
  s.beforeClock = taps({{10, HGEK_DOWN},
                        {15, HGEK_ENTER},
                        {20, HGEK_J, 3},
                        {25, HGEK_K, 3},
                        {30, HGEK_PERIOD},
                        {35, HGEK_ENTER},
                        {40, HGEK_ENTER},
                        {45, HGEK_RIGHT},
                        {50, HGEK_PERIOD}});
  bool seat1ReadyAlone = false;
  std::string hero1, hero2;
  bool seat3Playing = true;
  s.afterFrame = [&](HGE*, int frame, const ScreenFlow& flow, const PauseMenu&) {
    const TitleMenu* t = flow.titleMenu();
    if (frame == 46) seat1ReadyAlone = t->page() == TitleMenu::HEROES && t->ready(1) && !t->ready(2);
    if (frame == 60 && flow.world()) {
      hero1 = flow.world()->seat(1).hud.player->id();
      const Chara* second = flow.world()->seat(2).hud.player;
      hero2 = second ? second->id() : "";
      seat3Playing = flow.world()->seat(3).state == Seat::PLAYING;
    }
  };
  const Played p = play(s, dir);
  ASSERT_TRUE(p.started);
  EXPECT_TRUE(seat1ReadyAlone);
  EXPECT_EQ(hero1, "c_morivane");
  EXPECT_EQ(hero2, "c_kaelin");
  EXPECT_FALSE(seat3Playing) << "seat 3 left before the heroes";
}

TEST(TitleMenuGame, TheDemoStartsAfterTwentySecondsAndAnyKeyEndsIt) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup s;
  s.frames = 2400;
  s.titleMenu = true;
  s.beforeClock = taps({{100, HGEK_DOWN}, {2300, 'Q'}});  // the wait begins again at 100
  std::vector<int> states(2401, -1);
  std::vector<bool> demo(2401, false);
  s.afterFrame = [&](HGE*, int frame, const ScreenFlow& flow, const PauseMenu&) {
    states[static_cast<size_t>(frame)] = flow.state();
    demo[static_cast<size_t>(frame)] = flow.inDemo();
  };
  const Played p = play(s, dir);
  ASSERT_TRUE(p.started);
  EXPECT_EQ(states[2099], ScreenFlow::TITLE) << "20 seconds after the last key";
  EXPECT_EQ(states[2101], ScreenFlow::PLAYING);
  EXPECT_TRUE(demo[2101]);
  EXPECT_TRUE(demo[2299]);
  EXPECT_EQ(states[2300], ScreenFlow::TITLE) << "any key ends the demo";
  EXPECT_FALSE(demo[2300]);
}

TEST(TitleMenuGame, ARunThatEntersTheTableGetsANameAndIsKept) {
  NEED_GAME();
  ScratchDir dir;
  GameSetup s;
  s.frames = 80000;
  s.titleMenu = true;
  s.scoresFile = dir.path() / "state" / "scores.txt";
  // Hard (Down, Down, Right, Up, Up), Play with Morivane (Enter twice); the
  // built-in player mashes punch until the thugs win.
  s.autoplay = true;
  std::vector<Tap> list = {{5, HGEK_DOWN}, {10, HGEK_DOWN}, {15, HGEK_RIGHT}, {20, HGEK_UP},
                           {25, HGEK_UP},  {30, HGEK_ENTER}, {35, HGEK_ENTER}};
  const auto playKeys = taps(list);
  int endingAt = 0, score = 0;
  // Enter leaves the ending; Up (B), Right, Enter, Enter: the name "BAA".
  const int nameKeys[] = {HGEK_ENTER, HGEK_UP, HGEK_RIGHT, HGEK_ENTER, HGEK_ENTER};
  s.beforeClock = [&](HGE* hge, int frame) {
    playKeys(hge, frame);
    for (int i = 0; i < 5 && endingAt; ++i) {
      if (frame == endingAt + 10 + 5 * i) hge->Input_InjectRawKey(nameKeys[i], true);
      if (frame == endingAt + 12 + 5 * i) hge->Input_InjectRawKey(nameKeys[i], false);
    }
  };
  TitleMenu::Page pageAfter = TitleMenu::MAIN;
  std::string name;
  s.afterFrame = [&](HGE*, int frame, const ScreenFlow& flow, const PauseMenu&) {
    if (flow.state() == ScreenFlow::PLAYING) score = flow.world()->hud.score;
    if (!endingAt && flow.state() == ScreenFlow::ENDING) endingAt = frame;
    if (endingAt && frame == endingAt + 40) {
      pageAfter = flow.titleMenu()->page();
      name = flow.titleMenu()->nameSoFar();
    }
  };
  const Played p = play(s, dir);
  ASSERT_TRUE(p.started);
  ASSERT_GT(endingAt, 0) << p.result;
  ASSERT_GT(score, 0) << "ended at " << endingAt << ": " << p.result;
  EXPECT_EQ(pageAfter, TitleMenu::SCORES);
  EXPECT_EQ(name, "BAA");
  const HighScores kept = loadHighScores(s.scoresFile, [](const std::string& line) { ADD_FAILURE() << line; });
  ASSERT_EQ(kept.runs().size(), 1u);
  EXPECT_EQ(kept.runs()[0].score, score);
  EXPECT_EQ(kept.runs()[0].name, "BAA");
  EXPECT_EQ(kept.runs()[0].heroes, "c_morivane");
  EXPECT_EQ(kept.runs()[0].difficulty, "hard");
}

}  // namespace
