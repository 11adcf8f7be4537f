// The default game reads its pack on the loader's thread only: the pictures
// of the first scene, those loaded ahead for the scenes to come, and none of
// them twice.
#include <gtest/gtest.h>

#include "played_game.h"

using namespace playedgame;

TEST(PackReadsInPlay, NoEntryIsReadOnTheThreadThatRunsTheFrames) {
  if (!haveGame()) GTEST_SKIP() << "no game laid out in " TERVALEN_BINARY_DIR "/game";
  ScratchDir dir;
  GameSetup s;
  s.frames = 2000;
  s.seed = 1;
  const Played played = play(s, dir);
  ASSERT_TRUE(played.started) << played.log;
  EXPECT_EQ(played.frames, 2000);
  // 2,000 frames load ahead well over a hundred files.
  EXPECT_GT(played.packReads, 100) << played.log;
  EXPECT_EQ(played.packMainReads, 0);
}
