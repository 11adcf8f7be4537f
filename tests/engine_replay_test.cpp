// Replay files: reading them, recording a run, and feeding a run from one.
#include <gtest/gtest.h>

#include <map>

#include "engine/Replay.h"
#include "engine_support.h"

namespace {

TEST(ReplayParsing, ReadsEventsSkippingBlankLinesAndComments) {
  std::vector<ReplayEvent> events;
  std::string error;
  ASSERT_TRUE(parseReplay("# a short fight\n1 down J\r\n\n  3   up   J\n3 down ESC\n120 down Z", "fight.rep", events,
                          error))
      << error;
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].frame, 1);
  EXPECT_TRUE(events[0].down);
  EXPECT_EQ(events[0].key, HGEK_J);
  EXPECT_EQ(events[1].frame, 3);
  EXPECT_FALSE(events[1].down);
  EXPECT_EQ(events[2].key, HGEK_ESCAPE);
  EXPECT_EQ(events[3].frame, 120);
  EXPECT_EQ(events[3].key, HGEK_Z);
}

TEST(ReplayParsing, AMalformedLineIsNamedWithItsFileAndLine) {
  struct Case {
    const char* text;
    const char* expect;
  };
  const Case cases[] = {
      {"1 down J\n2 press J\n", "fight.rep:2:"},
      {"1 down J\n\n0 down J\n", "fight.rep:3:"},
      {"x down J\n", "fight.rep:1:"},
      {"5 down J\n4 up J\n", "fight.rep:2:"},
      {"1 down j\n", "fight.rep:1:"},
      {"1 down F1\n", "fight.rep:1:"},
      {"1 down\n", "fight.rep:1:"},
      {"1 down J extra\n", "fight.rep:1:"},
      {"99999999999 down J\n", "fight.rep:1:"},
      {"-3 down J\n", "fight.rep:1:"},
  };
  for (const Case& c : cases) {
    std::vector<ReplayEvent> events;
    std::string error;
    EXPECT_FALSE(parseReplay(c.text, "fight.rep", events, error)) << c.text;
    EXPECT_EQ(error.rfind(c.expect, 0), 0u) << "for \"" << c.text << "\": " << error;
  }
}

TEST(ReplayParsing, AMissingFileIsReported) {
  std::vector<ReplayEvent> events;
  std::string error;
  EXPECT_FALSE(loadReplay("/nonexistent/run.rep", events, error));
  EXPECT_NE(error.find("/nonexistent/run.rep"), std::string::npos);
}

TEST(ReplayParsing, EventsWriteAsTheyRead) {
  EXPECT_EQ(formatReplayEvent({12, true, HGEK_W}), "12 down W");
  EXPECT_EQ(formatReplayEvent({7, false, HGEK_ESCAPE}), "7 up ESC");
  EXPECT_EQ(replayKeyName(HGEK_SPACE), nullptr);
}

// Frames in which `key` went down during a headless run of `frames` frames.
std::vector<int> framesDown(HGE* hge, int frames, int key) {
  std::vector<int> downs;
  hge->System_SetState(HGE_MAXFRAMES, frames);
  hge->System_SetState(HGE_FRAMEFUNC, [&] {
    if (hge->Input_KeyDown(key)) downs.push_back(hge->System_GetFrame());
    return false;
  });
  EXPECT_TRUE(hge->System_Initiate()) << hge->System_GetErrorMessage();
  EXPECT_TRUE(hge->System_Start());
  hge->System_Shutdown();
  return downs;
}

TEST(ReplayRun, AKeyListedAtFrameFGoesDownDuringFrameF) {
  ScratchDir dir;
  writeFile(dir.file("run.rep"), "3 down J\n3 up J\n6 down J\n9 up J\n");
  TestEngine engine;
  engine->System_SetState(HGE_REPLAYFILE, dir.file("run.rep").c_str());
  EXPECT_EQ(framesDown(engine.get(), 10, HGEK_J), (std::vector<int>{3, 6}));
}

TEST(ReplayRun, AMalformedReplayStopsTheEngineFromStarting) {
  ScratchDir dir;
  writeFile(dir.file("bad.rep"), "1 down J\nnonsense\n");
  TestEngine engine;
  engine->System_SetState(HGE_REPLAYFILE, dir.file("bad.rep").c_str());
  EXPECT_FALSE(engine->System_Initiate());
  EXPECT_NE(engine->System_GetErrorMessage().find("bad.rep:2:"), std::string::npos)
      << engine->System_GetErrorMessage();
}

TEST(ReplayRun, ARecordedRunReplaysToTheSameKeys) {
  ScratchDir dir;
  std::vector<int> original;
  {
    TestEngine engine;
    HGE* hge = engine.get();
    engine->System_SetState(HGE_RECORDFILE, dir.file("rec.rep").c_str());
    hge->System_SetState(HGE_INPUTFUNC, [hge] {
      int f = hge->System_GetFrame();
      if (f == 2 || f == 5) hge->Input_InjectKey(HGEK_K, true);
      if (f == 2 || f == 8) hge->Input_InjectKey(HGEK_K, false);
      if (f == 4) hge->Input_InjectKey(HGEK_SPACE, true);  // not a replay key: not recorded
      return false;
    });
    original = framesDown(hge, 10, HGEK_K);
  }
  EXPECT_EQ(original, (std::vector<int>{2, 5}));
  EXPECT_EQ(readFile(dir.file("rec.rep")), "2 down K\n2 up K\n5 down K\n8 up K\n");
  TestEngine engine;
  engine->System_SetState(HGE_REPLAYFILE, dir.file("rec.rep").c_str());
  EXPECT_EQ(framesDown(engine.get(), 10, HGEK_K), original);
}

}  // namespace
