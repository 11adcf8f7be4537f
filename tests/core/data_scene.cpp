// Reading scene files: every field in its place, negative counts, and damage.
#include <gtest/gtest.h>

#include "data_bytes.h"
#include "base/DataPath.h"
#include "format/SceneFile.h"

using testdata::Bytes;

namespace {

// A scene with one entry in every list; values chosen so that swapped fields show.
Bytes fullScene() {
  Bytes f;
  f.str("Test").i32(800).i32(200).i32(4).str("prop01").i32(2).i32(-5).i32(-6);
  f.i32(1).i32(10).i32(20).i32(3).i32(91).i32(92).i32(93).i32(94).i32(95);  // far
  f.i32(0);                                                                 // middle
  f.i32(2);                                                                 // near
  f.i32(30).i32(40).i32(5).i32(0).i32(0).i32(0).i32(0).i32(0);
  f.i32(31).i32(41).i32(6).i32(1).i32(2).i32(3).i32(4).i32(5);
  f.i32(1).i32(100).i32(150).i32(-20).i32(1);                               // prop: x z y action
  f.i32(2).str("guai01").i32(500).i32(120).i32(7).str("guai02").i32(600).i32(130).i32(8);
  f.i32(1).i32(300).i32(50).i32(60).i32(70).i32(80);                        // wall: x z w d h
  f.i32(1).str("zd").i32(790).i32(100).i32(20).i32(110);                    // door
  return f;
}

}  // namespace

TEST(SceneFileReading, EveryFieldLandsWhereTheLayoutPutsIt) {
  Expected<SceneFile> s = parseSceneFile(fullScene().b, "data/scene/Test.dat");
  ASSERT_TRUE(s) << s.error().message();
  EXPECT_EQ(s->name, "Test");
  EXPECT_EQ(s->width, 800);
  EXPECT_EQ(s->depth, 200);
  EXPECT_EQ(s->pictureSet, 4);
  EXPECT_EQ(s->propId, "prop01");
  EXPECT_EQ(s->backgroundTexture, 2);
  EXPECT_EQ(s->reserved[0], -5);
  EXPECT_EQ(s->reserved[1], -6);
  ASSERT_EQ(s->far.size(), 1u);
  EXPECT_EQ(s->far[0].x, 10);
  EXPECT_EQ(s->far[0].y, 20);
  EXPECT_EQ(s->far[0].texture, 3);
  EXPECT_EQ(std::vector<int32_t>(s->far[0].reserved, s->far[0].reserved + 5),
            (std::vector<int32_t>{91, 92, 93, 94, 95}));
  EXPECT_TRUE(s->middle.empty());
  ASSERT_EQ(s->near.size(), 2u);
  EXPECT_EQ(s->near[1].x, 31);
  EXPECT_EQ(s->near[1].texture, 6);
  EXPECT_EQ(s->near[1].reserved[4], 5);
  ASSERT_EQ(s->props.size(), 1u);
  EXPECT_EQ(s->props[0].x, 100);
  EXPECT_EQ(s->props[0].z, 150);  // second value is z
  EXPECT_EQ(s->props[0].y, -20);  // third is y: above the ground
  EXPECT_EQ(s->props[0].action, 1);
  ASSERT_EQ(s->charas.size(), 2u);
  EXPECT_EQ(s->charas[0].id, "guai01");
  EXPECT_EQ(s->charas[0].x, 500);
  EXPECT_EQ(s->charas[0].z, 120);
  EXPECT_EQ(s->charas[0].reserved, 7);
  EXPECT_EQ(s->charas[1].id, "guai02");
  ASSERT_EQ(s->walls.size(), 1u);
  EXPECT_EQ(s->walls[0].x, 300);
  EXPECT_EQ(s->walls[0].z, 50);
  EXPECT_EQ(s->walls[0].width, 60);
  EXPECT_EQ(s->walls[0].depth, 70);
  EXPECT_EQ(s->walls[0].height, 80);
  ASSERT_EQ(s->doors.size(), 1u);
  EXPECT_EQ(s->doors[0].targetScene, "zd");
  EXPECT_EQ(s->doors[0].x, 790);
  EXPECT_EQ(s->doors[0].z, 100);
  EXPECT_EQ(s->doors[0].entryX, 20);
  EXPECT_EQ(s->doors[0].entryZ, 110);
  EXPECT_EQ(writeSceneFile(*s), fullScene().b);
}

TEST(SceneFileReading, CountOfMinusOneReadsAsNoEntriesAndTheNextFieldFollows) {
  Bytes f;
  f.str("e").i32(801).i32(201).i32(0).str("").i32(0).i32(0).i32(0);
  f.i32(-1).i32(0).i32(-2).i32(-1).i32(0).i32(-1).i32(1).str("a").i32(1).i32(2).i32(3).i32(4);
  CountLog log;
  Expected<SceneFile> s = parseSceneFile(f.b, "data/scene/e.dat", &log);
  ASSERT_TRUE(s) << s.error().message();
  EXPECT_TRUE(s->far.empty() && s->middle.empty() && s->near.empty());
  EXPECT_TRUE(s->props.empty() && s->charas.empty() && s->walls.empty());
  ASSERT_EQ(s->doors.size(), 1u);
  EXPECT_EQ(s->doors[0].targetScene, "a");
  EXPECT_EQ(s->doors[0].entryZ, 4);
  EXPECT_EQ(log.values, (std::vector<int32_t>{-1, 0, -2, -1, 0, -1, 1}));
  EXPECT_EQ(writeSceneFile(*s, &log), f.b);
}

TEST(SceneFileReading, DamagedFilesGiveOneErrorWithOffsetAndNoRecord) {
  const std::vector<uint8_t> full = fullScene().b;
  for (size_t cut = 0; cut < full.size(); ++cut) {
    Expected<SceneFile> s = parseSceneFile(std::span(full.data(), cut), "data/scene/Test.dat");
    ASSERT_FALSE(s) << "cut at " << cut;
    EXPECT_LE(s.error().offset, cut);
    EXPECT_EQ(s.error().file, "data/scene/Test.dat");
  }
  std::vector<uint8_t> trailing = full;
  trailing.insert(trailing.end(), {1, 2, 3});
  Expected<SceneFile> t = parseSceneFile(trailing, "data/scene/Test.dat");
  ASSERT_TRUE(t) << t.error().message();
  EXPECT_EQ(t->trailing, "\x01\x02\x03");
  EXPECT_EQ(writeSceneFile(*t), trailing);

  Bytes huge;
  huge.str("x").i32(1).i32(1).i32(0).str("").i32(0).i32(0).i32(0).i32(2000000000).i32(0);
  Expected<SceneFile> h = parseSceneFile(huge.b, "data/scene/x.dat");
  ASSERT_FALSE(h);
  EXPECT_EQ(h.error().offset, 27u);
  EXPECT_EQ(h.error().what, "far layer sprite count: 2000000000 entries of at least 32 bytes, but only 4 bytes left");

  Bytes negative;
  negative.str("x").i32(1).i32(1).i32(0).byte(0xF0);
  Expected<SceneFile> n = parseSceneFile(negative.b, "data/scene/x.dat");
  ASSERT_FALSE(n);
  EXPECT_EQ(n.error().offset, 14u);
  EXPECT_EQ(n.error().what, "prop id: length byte -16 is negative (0 to 127 expected)");
}

