// The engine's smaller services: random numbers, text conversion and the log.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "engine/EngineLog.h"
#include "base/Random.h"
#include "base/TextCodec.h"
#include "engine_support.h"

namespace {

TEST(RandomNumbers, MatchTheReferencePcg32Sequence) {
  // The published first outputs of PCG32 seeded with 42 on stream 54.
  Random r(42, 54);
  const uint32_t expected[] = {0xa15c02b7, 0x7b47f409, 0xba1d3330, 0x83d2f293, 0xbfa4784b, 0xcbed606e};
  for (uint32_t e : expected) EXPECT_EQ(r.next(), e);
}

TEST(RandomNumbers, IncludeBothBoundsAndNothingOutside) {
  Random r(7);
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    int v = r.range(-2, 2);
    ASSERT_GE(v, -2);
    ASSERT_LE(v, 2);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 5u);
  EXPECT_EQ(r.range(9, 9), 9);
  int swapped = r.range(10, 1);
  EXPECT_GE(swapped, 1);
  EXPECT_LE(swapped, 10);
  int wide = r.range(INT32_MIN, INT32_MAX);  // the whole range does not overflow
  (void)wide;
}

TEST(RandomNumbers, AreRoughlyUniform) {
  Random r(12345);
  int counts[6] = {};
  const int n = 60000;
  for (int i = 0; i < n; ++i) ++counts[r.range(1, 6) - 1];
  for (int c : counts) EXPECT_NEAR(c, n / 6, n / 60);
}

TEST(RandomNumbers, TheSameSeedGivesTheSameRunThroughTheEngine) {
  std::vector<int> first, second;
  for (auto* out : {&first, &second}) {
    TestEngine engine;
    engine->Random_Seed(99);
    for (int i = 0; i < 20; ++i) out->push_back(engine->Random_Int(0, 1000));
  }
  EXPECT_EQ(first, second);
  TestEngine engine;
  engine->Random_Seed(100);
  std::vector<int> other;
  for (int i = 0; i < 20; ++i) other.push_back(engine->Random_Int(0, 1000));
  EXPECT_NE(first, other);
}

TEST(TextConversion, GbkAndUtf8RoundTrip) {
  const std::string utf8 = "游戏开始 Kills";
  std::string gbk;
  ASSERT_TRUE(utf8ToGbk(utf8, gbk));
  EXPECT_EQ(gbk, std::string("\xD3\xCE\xCF\xB7\xBF\xAA\xCA\xBC Kills"));
  EXPECT_EQ(gbkToUtf8(gbk), utf8);
  EXPECT_EQ(gbkToUtf8("plain ascii"), "plain ascii");
}

TEST(TextConversion, BrokenGbkBecomesReplacementCharacters) {
  // A lead byte with nothing after it, then a stray byte.
  std::string out = gbkToUtf8(std::string("ok\xD3", 3));
  EXPECT_EQ(out, "ok\xEF\xBF\xBD");
  EXPECT_TRUE(isValidUtf8(gbkToUtf8(std::string("\xFF\xFF\x80", 3))));
  std::string gbk;
  EXPECT_FALSE(utf8ToGbk("emoji \xF0\x9F\x98\x80", gbk));  // GBK has no emoji
  EXPECT_FALSE(utf8ToGbk("\xC3", gbk));                     // cut UTF-8
}

TEST(EngineLogFile, WritesOneUtf8LinePerMessage) {
  ScratchDir dir;
  {
    TestEngine engine;
    engine->System_SetState(HGE_LOGFILE, dir.file("log.txt").c_str());
    engine->System_Log("游戏开始");
    std::string gbkText;
    ASSERT_TRUE(utf8ToGbk("创建角色失败", gbkText));
    engine->System_Log("%s", gbkText.c_str());
    engine->System_Log("Font %s has incorrect format.", "font1.fnt");
    engine->System_Log("two\nlines %d\n", 2);
    engine->System_Log("%s", std::string(2000, 'w').c_str());
    // Flushed at once: readable before the engine goes.
    EXPECT_NE(readFile(dir.file("log.txt")).find("游戏开始\n"), std::string::npos);
  }
  std::string log = readFile(dir.file("log.txt"));
  EXPECT_EQ(log, "游戏开始\n创建角色失败\nFont font1.fnt has incorrect format.\ntwo lines 2\n" +
                     std::string(2000, 'w') + "\n");
}

TEST(EngineLogFile, GoesToTheUserDataFolderWhenTheGameFolderIsNotWritable) {
  ScratchDir dir;
  const char* old = std::getenv("XDG_DATA_HOME");
  std::string saved = old ? old : "";
  setenv("XDG_DATA_HOME", dir.file("xdg").c_str(), 1);
  std::string where;
  {
    // A log file name in a folder that cannot be written (it does not exist).
    EngineLog log;
    log.setFileName(dir.file("no-such-folder/log.txt"));
    log.write("a line");
    log.write("another");
    where = log.path();
  }
  if (old)
    setenv("XDG_DATA_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(where, dir.file("xdg/tervalen/log.txt"));
  EXPECT_EQ(readFile(dir.file("xdg/tervalen/log.txt")), "a line\nanother\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("no-such-folder")));
}

}  // namespace
