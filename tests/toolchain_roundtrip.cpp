// compile(decompile(f)) == f for every well-formed binary file, and the text a
// file decompiles to is already canonical: compiling and decompiling it again
// gives the same text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "DataText.h"
#include "base/FileBytes.h"
#include "toolchain_random.h"

namespace fs = std::filesystem;
using namespace toolchain_random;

namespace {

// Decompiles, compiles back and compares; on a mismatch reports the text.
void expectRoundTrip(const std::vector<uint8_t>& file, DataKind kind, const std::string& label) {
  Expected<std::string> text = decompileData(file, label, kind);
  ASSERT_TRUE(text.ok()) << label << ": " << text.error().message();
  std::vector<uint8_t> back;
  TextError error;
  ASSERT_TRUE(compileDataText(*text, kind, back, error))
      << label << ": " << error.pos.line << ":" << error.pos.column << ": " << error.message << "\n" << *text;
  ASSERT_EQ(back, file) << label << ": the compiled text differs from the original file\n" << *text;
  Expected<std::string> again = decompileData(back, label, kind);
  ASSERT_TRUE(again.ok());
  ASSERT_EQ(*again, *text) << label;
}

template <class MakeFile>
void roundTripMany(DataKind kind, MakeFile make, int files, uint64_t seed) {
  Gen g(seed);
  for (int i = 0; i < files; ++i) {
    std::vector<uint8_t> file = make(g);
    expectRoundTrip(file, kind, std::string(textKindName(kind)) + " file #" + std::to_string(i));
    if (testing::Test::HasFatalFailure()) return;
  }
}

TEST(ToolchainRoundTrip, RandomCharacterFilesComeBackByteForByte) {
  roundTripMany(DataKind::Chara, randomCharaFile, 2000, 1);
}

TEST(ToolchainRoundTrip, RandomSceneFilesComeBackByteForByte) {
  roundTripMany(DataKind::Scene, randomSceneFile, 1000, 2);
}

TEST(ToolchainRoundTrip, RandomResourceListsComeBackByteForByte) {
  roundTripMany(DataKind::Res, randomResFile, 1000, 3);
}

TEST(ToolchainRoundTrip, RandomSystemDataFilesComeBackByteForByte) {
  roundTripMany(DataKind::System, randomSystemFile, 1000, 4);
}

TEST(ToolchainRoundTrip, EveryByteValueInANameSurvives) {
  // All 256 byte values, and every lead byte followed by every trail byte.
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::vector<std::string> names;
  for (size_t at = 0; at < all.size(); at += 127) names.push_back(all.substr(at, 127));
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    std::string s;
    for (int trail = 0; trail < 256 && s.size() + 2 <= 126; trail += 4) {
      s += static_cast<char>(lead);
      s += static_cast<char>(trail);
    }
    names.push_back(s);
  }
  SystemData d;
  d.strings = names;
  d.trailing = all;
  expectRoundTrip(writeSystemData(d), DataKind::System, "all bytes");
}

TEST(ToolchainRoundTrip, ReservedSceneAndSpriteValuesSurvive) {
  SceneFile s;
  s.name = "r";
  s.reserved[0] = -7;
  s.reserved[1] = 2147483647;
  SceneFile::SpriteEntry e;
  e.reserved[0] = 1;
  e.reserved[4] = -2147483647 - 1;
  s.middle.push_back(e);
  s.charas.push_back({"guai01", 5, 6, 99});
  std::vector<uint8_t> bytes = writeSceneFile(s);
  expectRoundTrip(bytes, DataKind::Scene, "reserved values");
  Expected<std::string> text = decompileData(bytes, "r", DataKind::Scene);
  ASSERT_TRUE(text.ok());
  EXPECT_NE(text->find("reserved -7 2147483647"), std::string::npos) << *text;
  EXPECT_NE(text->find("reserved=(1, 0, 0, 0, -2147483648)"), std::string::npos) << *text;
  EXPECT_NE(text->find("reserved=99"), std::string::npos) << *text;
}

// Every data file of the default game: the compiled files in the game folder,
// and the text sources they come from.
TEST(ToolchainRoundTrip, EveryFileOfTheDefaultGame) {
  int checked = 0;
  fs::path data = fs::path(TERVALEN_BINARY_DIR) / "game" / "data";
  if (fs::exists(data)) {
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(data)) {
      if (!e.is_regular_file() || e.path().extension() != ".dat") continue;
      std::optional<DataKind> kind = dataKindFromPath(e.path().string());
      ASSERT_TRUE(kind) << e.path();
      Expected<std::vector<uint8_t>> bytes = readFileBytes(e.path().string());
      ASSERT_TRUE(bytes.ok()) << bytes.error().message();
      expectRoundTrip(*bytes, *kind, e.path().string());
      ++checked;
    }
  }
  fs::path content = fs::path(TERVALEN_SOURCE_DIR) / "content";
  if (fs::exists(content)) {
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(content)) {
      if (!e.is_regular_file() || e.path().extension() != ".txt") continue;
      // The rules file is read by the game as it is, not compiled.
      if (e.path() == content / "rules.txt") continue;
      std::ifstream in(e.path(), std::ios::binary);
      std::stringstream ss;
      ss << in.rdbuf();
      std::string source = ss.str();
      std::vector<uint8_t> bytes;
      TextError error;
      DataKind kind = DataKind::Chara;
      ASSERT_TRUE(compileDataText(source, std::nullopt, bytes, error, &kind))
          << e.path() << ":" << error.pos.line << ":" << error.pos.column << ": " << error.message;
      expectRoundTrip(bytes, kind, e.path().string());
      ++checked;
    }
  }
  if (checked == 0) GTEST_SKIP() << "no default game data yet (content/ and the game folder are empty)";
}

}  // namespace
