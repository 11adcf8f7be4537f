// `tervalen-data dump`: the parsed record as JSON, through the game's readers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Dump.h"
#include "Json.h"
#include "data_bytes.h"
#include "data_folder.h"

using testdata::Bytes;
using testdata::DataFolder;
using testdata::hex;

TEST(DataDump, KindComesFromThePath) {
  EXPECT_EQ(dataKindFromPath("data/chara/guai01.dat"), DataKind::Chara);
  EXPECT_EQ(dataKindFromPath("/x/game/data/chara/system.dat"), DataKind::Chara);  // the shared effects
  EXPECT_EQ(dataKindFromPath("data/scene/Test.dat"), DataKind::Scene);
  EXPECT_EQ(dataKindFromPath("data/res.dat"), DataKind::Res);
  EXPECT_EQ(dataKindFromPath("res.dat"), DataKind::Res);
  EXPECT_EQ(dataKindFromPath("build/game/data/system.dat"), DataKind::System);
  EXPECT_EQ(dataKindFromPath("font1.fnt"), DataKind::Font);
  EXPECT_EQ(dataKindFromPath("data/other.dat"), std::nullopt);
  EXPECT_EQ(dataKindFromPath("notes.txt"), std::nullopt);
  EXPECT_EQ(dataKindFromName("scene"), DataKind::Scene);
  EXPECT_EQ(dataKindFromName("Scene"), std::nullopt);
}

TEST(DataDump, ExampleCharacterFile) {
  DataFolder folder;
  folder.write("data/chara/ab.dat",
               hex("02 61 62 64 00 00 00 03 00 00 00 01 00 00 00 01 78 01 00 00 00 00 00 00 00 04 00 00 00"
                   "00 00 00 00 00 00 00 00 00 00 00 00 00 00 14 40 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                   "00 00 00 00 00 00 00 00"));
  Expected<std::string> json = dumpFile("data/chara/ab.dat", DataKind::Chara);
  ASSERT_TRUE(json) << json.error().message();
  EXPECT_EQ(*json,
            "{\n"
            "  \"name\": \"ab\",\n"
            "  \"maxHp\": 100,\n"
            "  \"pictureSet\": 3,\n"
            "  \"actions\": [\n"
            "    {\n"
            "      \"name\": \"x\",\n"
            "      \"codes\": [\n"
            "        {\n"
            "          \"opcode\": 0,\n"
            "          \"args\": [0, 5, 0, 0]\n"
            "        }\n"
            "      ]\n"
            "    }\n"
            "  ],\n"
            "  \"reactions\": [],\n"
            "  \"aiRules\": []\n"
            "}\n");
}

TEST(DataDump, AiRulesAndGbkNames) {
  Bytes f;
  f.str("\xB9\xD6\xCE\xEF").i32(80).i32(2).i32(0).i32(2).i32(6).i32(7);  // "怪物"
  f.i32(1).i32(-50).i32(50).i32(-5).i32(5).i32(40).i32(1).i32(0).i32(13);
  Expected<CharaData> data = parseCharaFile(f.b, "x.dat");
  ASSERT_TRUE(data) << data.error().message();
  const std::string json = charaToJson(*data);
  EXPECT_NE(json.find("\"name\": \"怪物\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"reactions\": [6, 7]"), std::string::npos) << json;
  EXPECT_NE(json.find("\"minDx\": -50,\n      \"maxDx\": 50,\n      \"minDz\": -5,\n      \"maxDz\": 5,\n"
                      "      \"chance\": 40,\n      \"flagA\": 1,\n      \"flagB\": 0,\n      \"action\": 13"),
            std::string::npos)
      << json;
}

TEST(DataDump, ResourceListSystemFileAndFont) {
  DataFolder folder;
  folder.write("data/res.dat",
               hex("00 00 00 00 04 68 65 72 6F 01 00 00 00 05 61 2E 70 6E 67 05 62 2E 70 6E 67 FF FF FF FF"));
  folder.write("data/system.dat", hex("02 00 00 00 02 6F 6B 00"));
  folder.write("font1.fnt", std::string("[HGEFONT]\nBitmap = glyphs.png\nChar=41,0,0,12,16,0,1\n"
                                        "Char=20,12,0,6,16,0,0\nChar=41,1,2,3,4,-5,6\n"));
  Expected<std::string> res = dumpFile("data/res.dat", DataKind::Res);
  ASSERT_TRUE(res) << res.error().message();
  EXPECT_EQ(*res,
            "{\n  \"entries\": [\n    {\n      \"name\": \"hero\",\n      \"pictures\": [\n        \"a.png\",\n"
            "        \"b.png\"\n      ],\n      \"sounds\": []\n    }\n  ]\n}\n");
  Expected<std::string> sys = dumpFile("data/system.dat", DataKind::System);
  ASSERT_TRUE(sys) << sys.error().message();
  EXPECT_EQ(*sys, "{\n  \"strings\": [\n    \"ok\",\n    \"\"\n  ]\n}\n");
  Expected<std::string> font = dumpFile("font1.fnt", DataKind::Font);
  ASSERT_TRUE(font) << font.error().message();
  EXPECT_EQ(*font,
            "{\n  \"bitmaps\": [\n    \"glyphs.png\"\n  ],\n  \"lineHeight\": 16,\n  \"glyphs\": {\n"
            "    \"32\": {\n      \"x\": 12,\n      \"y\": 0,\n      \"w\": 6,\n      \"h\": 16,\n      \"pre\": 0,\n"
            "      \"post\": 0\n    },\n"
            "    \"65\": {\n      \"x\": 1,\n      \"y\": 2,\n      \"w\": 3,\n      \"h\": 4,\n      \"pre\": -5,\n"
            "      \"post\": 6\n    }\n  }\n}\n");
}

TEST(DataDump, SceneFieldsInTheirNamedPlaces) {
  SceneFile s;
  s.name = "Test";
  s.width = 800;
  s.depth = 200;
  s.pictureSet = 1;
  s.propId = "prop";
  s.backgroundTexture = 2;
  s.reserved[0] = 7;
  s.near.push_back({1, 2, 3, {4, 5, 6, 7, 8}});
  s.props.push_back({10, 20, -30, 1});
  s.charas.push_back({"guai01", 500, 100, 0});
  s.walls.push_back({1, 2, 3, 4, 5});
  s.doors.push_back({"zd", 790, 100, 20, 110});
  const std::string json = sceneToJson(s);
  for (const char* part : {"\"name\": \"Test\"", "\"width\": 800", "\"depth\": 200", "\"pictureSet\": 1",
                           "\"propId\": \"prop\"", "\"backgroundTexture\": 2", "\"reserved\": [7, 0]",
                           "\"layers\": {\n    \"far\": [],\n    \"middle\": [],\n    \"near\": [\n      {\n"
                           "        \"x\": 1,\n        \"y\": 2,\n        \"texture\": 3,\n"
                           "        \"reserved\": [4, 5, 6, 7, 8]",
                           "\"x\": 10,\n      \"z\": 20,\n      \"y\": -30,\n      \"action\": 1",
                           "\"id\": \"guai01\",\n      \"x\": 500,\n      \"z\": 100,\n      \"reserved\": 0",
                           "\"x\": 1,\n      \"z\": 2,\n      \"width\": 3,\n      \"depth\": 4,\n      \"height\": 5",
                           "\"targetScene\": \"zd\",\n      \"x\": 790,\n      \"z\": 100,\n      \"entryX\": 20,\n"
                           "      \"entryZ\": 110"})
    EXPECT_NE(json.find(part), std::string::npos) << part << "\nin\n" << json;
}

TEST(DataDump, NumbersReadBackExactly) {
  const double values[] = {0.1, -0.0, 1e300, 5e-324, 1.0 / 3, 123456789.125, -2.5};
  for (double v : values) {
    const std::string text = shortestDouble(v);
    EXPECT_EQ(testdata::bitsOf(std::strtod(text.c_str(), nullptr)), testdata::bitsOf(v)) << text;
  }
  EXPECT_EQ(shortestDouble(0.1), "0.1");
  EXPECT_EQ(shortestDouble(-0.0), "-0");
  EXPECT_EQ(shortestDouble(1e300), "1e+300");

  JsonWriter j;
  j.beginArray(true);
  j.value(std::numeric_limits<double>::infinity());
  j.value(-std::numeric_limits<double>::infinity());
  double nan;
  const uint64_t bits = 0x7FF0000000000123ull;
  std::memcpy(&nan, &bits, 8);
  j.value(nan);
  j.value("tab\there \"q\" \x01");
  j.endArray();
  EXPECT_EQ(j.text(), "[\"Infinity\", \"-Infinity\", \"NaN(0x7ff0000000000123)\", \"tab\\there \\\"q\\\" \\u0001\"]\n");
}

TEST(DataDump, ReaderErrorsExitWithOneAndUsageErrorsWithTwo) {
  DataFolder folder;
  folder.write("data/chara/cut.dat", Bytes().str("ab").byte(1).b);
  Expected<std::string> cut = dumpFile("data/chara/cut.dat", DataKind::Chara);
  ASSERT_FALSE(cut);
  EXPECT_EQ(cut.error().message(), "data/chara/cut.dat: offset 3: hit points: 4 bytes expected, 1 byte left");
  folder.write("bad.fnt", std::string("HGEFONT\n"));
  EXPECT_FALSE(dumpFile("bad.fnt", DataKind::Font));

  testing::internal::CaptureStderr();
  EXPECT_EQ(runDump({"data/chara/cut.dat"}), 1);
  EXPECT_EQ(runDump({"data/chara/none.dat"}), 1);
  // Usage errors exit with 2, as with every other command.
  EXPECT_EQ(runDump({"data/unknown.dat"}), 2);
  EXPECT_EQ(runDump({"--kind", "weird", "x.dat"}), 2);
  EXPECT_EQ(runDump({"--kind"}), 2);
  EXPECT_EQ(runDump({"--verbose", "data/chara/cut.dat"}), 2);
  EXPECT_EQ(runDump({"data/chara/cut.dat", "data/chara/none.dat"}), 2);
  EXPECT_EQ(runDump({}), 2);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("data/chara/cut.dat: offset 3: hit points"), std::string::npos) << err;
  EXPECT_NE(err.find("data/chara/none.dat: offset 0: cannot open"), std::string::npos) << err;
  EXPECT_NE(err.find("--kind"), std::string::npos) << err;

  // --kind overrides the path.
  folder.write("anything.bin", hex("01 00 00 00 02 6F 6B"));
  testing::internal::CaptureStdout();
  EXPECT_EQ(runDump({"--kind", "system", "anything.bin"}), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "{\n  \"strings\": [\n    \"ok\"\n  ]\n}\n");
}
