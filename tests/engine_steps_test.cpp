// Steps: the frames in which the game runs. While the clock holds the game,
// no step passes: replays and recordings count steps, presses made while
// paused are forgotten when play resumes, and keys held then are recorded as
// held without a press, so a recording replays to the same keys step for step.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/Replay.h"
#include "engine_support.h"

namespace {

// What the game saw of one key in each step.
struct Seen {
  int step;
  bool pressed, held;
  bool operator==(const Seen& o) const { return step == o.step && pressed == o.pressed && held == o.held; }
};
std::ostream& operator<<(std::ostream& out, const Seen& s) {
  return out << "{" << s.step << (s.pressed ? " pressed" : "") << (s.held ? " held" : "") << "}";
}

// Runs `frames` frames; frames in `paused` are not steps; `input(frame)` may
// press keys (through the input callback on steps, or directly on paused frames,
// as a player at the pause menu would). Returns what the game saw of `key`.
std::vector<Seen> run(HGE* hge, int frames, const std::set<int>& paused, int key,
                      const std::function<void(HGE*, int)>& input) {
  std::vector<Seen> seen;
  hge->System_SetState(HGE_MAXFRAMES, frames);
  hge->System_SetState(HGE_CLOCKFUNC, [hge, paused, &input] {
    const int frame = hge->System_GetFrame();
    const bool runs = paused.count(frame) == 0;
    if (!runs) input(hge, frame);  // keys pressed at the pause menu
    return runs;
  });
  hge->System_SetState(HGE_INPUTFUNC, [hge, &input] {
    input(hge, hge->System_GetFrame());
    return false;
  });
  int lastStep = 0;
  hge->System_SetState(HGE_FRAMEFUNC, [&] {
    if (hge->System_GetStep() != lastStep) {
      lastStep = hge->System_GetStep();
      if (hge->Input_StepKeyDown(key) || hge->Input_GetKeyState(key))
        seen.push_back({lastStep, hge->Input_StepKeyDown(key), hge->Input_GetKeyState(key)});
    }
    return false;
  });
  EXPECT_TRUE(hge->System_Initiate()) << hge->System_GetErrorMessage();
  EXPECT_TRUE(hge->System_Start());
  hge->System_Shutdown();
  hge->System_SetState(HGE_CLOCKFUNC, hgeCallback{});
  hge->System_SetState(HGE_INPUTFUNC, hgeCallback{});
  return seen;
}

TEST(Steps, APauseStopsTheStepsAndForgetsItsPressesButNotWhatIsHeld) {
  ScratchDir dir;
  const std::string rec = dir.file("paused.rep");
  std::vector<Seen> live;
  {
    TestEngine engine;
    engine->System_SetState(HGE_RECORDFILE, rec.c_str());
    engine->Random_SetSeed(5);
    // Frames 4 to 8 are paused. J: tapped at frame 2 (a step), tapped during
    // the pause (forgotten), pressed during the pause and held on (held, not
    // pressed, when play resumes), released at frame 12 (step 7).
    live = run(engine.get(), 14, {4, 5, 6, 7, 8}, HGEK_J, [](HGE* hge, int frame) {
      if (frame == 2) hge->Input_InjectKey(HGEK_J, true);
      if (frame == 3) hge->Input_InjectKey(HGEK_J, false);
      if (frame == 5) hge->Input_InjectKey(HGEK_J, true);
      if (frame == 6) hge->Input_InjectKey(HGEK_J, false);
      if (frame == 7) hge->Input_InjectKey(HGEK_J, true);
      if (frame == 12) hge->Input_InjectKey(HGEK_J, false);
    });
    EXPECT_EQ(engine->System_GetFrame(), 14);
    EXPECT_EQ(engine->System_GetStep(), 9) << "five paused frames are no steps";
  }
  // Step 2 (frame 2): pressed and held; steps 4 to 6 (frames 9 to 11): held
  // from the pause, never pressed.
  EXPECT_EQ(live, (std::vector<Seen>{{2, true, true}, {4, false, true}, {5, false, true}, {6, false, true}}));
  EXPECT_EQ(readFile(rec), "seed 5\n2 down J\n3 up J\n4 hold J\n7 up J\n");

  // The recording, played with no pause at all, gives the game the same keys step for step.
  TestEngine engine;
  engine->System_SetState(HGE_REPLAYFILE, rec.c_str());
  const std::vector<Seen> replayed = run(engine.get(), 9, {}, HGEK_J, [](HGE*, int) {});
  EXPECT_EQ(replayed, live);
}

TEST(Steps, WithoutAClockEveryFrameIsAStep) {
  TestEngine engine;
  HGE* hge = engine.get();
  hge->System_SetState(HGE_MAXFRAMES, 6);
  std::vector<int> steps;
  hge->System_SetState(HGE_FRAMEFUNC, [&] {
    steps.push_back(hge->System_GetStep() * 100 + hge->System_GetFrame());
    return false;
  });
  ASSERT_TRUE(hge->System_Initiate());
  hge->System_Start();
  EXPECT_EQ(steps, (std::vector<int>{101, 202, 303, 404, 505, 606}));
}

TEST(Steps, HoldLinesReadAndWriteBack) {
  ReplayFile file;
  std::string error;
  ASSERT_TRUE(parseReplay("4 hold J\n6 up J\n", "x", file, error)) << error;
  ASSERT_EQ(file.events.size(), 2u);
  EXPECT_TRUE(file.events[0].down);
  EXPECT_TRUE(file.events[0].hold);
  EXPECT_EQ(formatReplayEvent(file.events[0]), "4 hold J");
  EXPECT_FALSE(parseReplay("4 grab J\n", "x", file, error));
  EXPECT_NE(error.find("neither down, up, hold nor check"), std::string::npos) << error;
}

}  // namespace
