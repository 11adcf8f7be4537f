// The world's library: character files parsed once per id, failures logged
// once and remembered.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "data_bytes.h"
#include "base/FileBytes.h"
#include "object/Library.h"

using testdata::Bytes;

namespace {

std::vector<uint8_t> charaBytes(const std::string& name, int32_t hp, int32_t set) {
  return Bytes().str(name).i32(hp).i32(set).i32(1).str("stand").i32(1).i32(0).i32(2).f64(0).f64(10).i32(0).i32(0).b;
}

// A scratch game folder for the test's files; the working folder while it lives.
class Folder {
 public:
  Folder() {
    char pattern[] = "/tmp/tervalen-library-XXXXXX";
    dir_ = mkdtemp(pattern);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    std::filesystem::create_directories("data/chara");
  }
  ~Folder() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  void write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
  }

 private:
  std::string dir_;
  std::filesystem::path previous_;
};

// A library whose log lines are collected.
struct LoggedLibrary {
  std::vector<std::string> lines;
  Library library{[this](const std::string& line) { lines.push_back(line); }};
  size_t count(const std::string& text) const {
    size_t n = 0;
    for (const std::string& l : lines) n += l.find(text) != std::string::npos;
    return n;
  }
};

}  // namespace

TEST(Library, LoadsACharacterOnceAndSharesIt) {
  Folder folder;
  folder.write("data/chara/one.dat", charaBytes("one", 100, 0));
  folder.write("data/chara/two.dat", charaBytes("two", 60, 0));
  LoggedLibrary l;

  const CharaData* one = l.library.findOrLoad("one");
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->id, "one");
  EXPECT_EQ(one->name, "one");
  EXPECT_EQ(one->maxHp, 100);
  EXPECT_EQ(one->pictureSet, 0);
  EXPECT_EQ(one->standAction, 0);
  EXPECT_EQ(one->airAction, 4);

  // A second request is the same record; the file is not read again.
  std::filesystem::remove("data/chara/one.dat");
  EXPECT_EQ(l.library.findOrLoad("one"), one);
  const CharaData* two = l.library.findOrLoad("two");
  ASSERT_NE(two, nullptr);
  EXPECT_NE(two, one);
  EXPECT_EQ(l.library.charaData.size(), 2u);
  EXPECT_TRUE(l.lines.empty());
}

TEST(Library, UnreadableCharacterFileIsLoggedOnceAndGivesNoRecord) {
  Folder folder;
  // Cut short inside the hit points.
  folder.write("data/chara/broken.dat", Bytes().str("ab").byte(1).byte(2).b);
  LoggedLibrary l;

  EXPECT_EQ(l.library.findOrLoad("broken"), nullptr);
  EXPECT_EQ(l.library.findOrLoad("broken"), nullptr);
  EXPECT_EQ(l.library.findOrLoad("missing"), nullptr);
  EXPECT_EQ(l.library.findOrLoad("missing"), nullptr);
  EXPECT_EQ(l.library.findOrLoad("../escape"), nullptr);
  EXPECT_TRUE(l.library.charaData.empty());
  EXPECT_EQ(l.library.failedIds, (std::vector<std::string>{"broken", "missing", "../escape"}));
  EXPECT_EQ(l.count("data/chara/broken.dat: offset 3: hit points: 4 bytes expected, 2 bytes left"), 1u);
  EXPECT_EQ(l.count("data/chara/missing.dat: offset 0: cannot open: No such file or directory"), 1u);
  EXPECT_EQ(l.count("character id \"../escape\": not a plain name: it holds a folder separator"), 1u);
  EXPECT_EQ(l.lines.size(), 3u);

  // A fixed file is still not read again in this run: the failure is remembered.
  folder.write("data/chara/broken.dat", Bytes().str("ab").i32(1).i32(0).i32(0).i32(0).i32(0).b);
  EXPECT_EQ(l.library.findOrLoad("broken"), nullptr);
}

TEST(Library, BytesAfterTheLastRecordAreIgnoredWithOneWarning) {
  Folder folder;
  std::vector<uint8_t> bytes = charaBytes("one", 100, 0);
  bytes.push_back(7);
  folder.write("data/chara/one.dat", bytes);
  LoggedLibrary l;
  const CharaData* one = l.library.findOrLoad("one");
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->maxHp, 100);
  ASSERT_EQ(l.lines.size(), 1u);
  EXPECT_EQ(l.lines[0], "data/chara/one.dat: offset " + std::to_string(bytes.size() - 1) +
                            ": 1 byte after the last record is ignored");
}

TEST(Library, IdsAreComparedByteForByte) {
  Folder folder;
  folder.write("data/chara/Guai.dat", charaBytes("upper", 1, 1));
  folder.write("data/chara/guai.dat", charaBytes("lower", 2, 1));
  LoggedLibrary l;
  const CharaData* upper = l.library.findOrLoad("Guai");
  const CharaData* lower = l.library.findOrLoad("guai");
  ASSERT_NE(upper, nullptr);
  ASSERT_NE(lower, nullptr);
  EXPECT_NE(upper, lower);
  EXPECT_EQ(upper->name, "upper");
  EXPECT_EQ(lower->name, "lower");
}

TEST(FileBytes, ReadsEveryByteWithoutLineEndTranslation) {
  Folder folder;
  const std::vector<uint8_t> bytes = {13, 10, 26, 0, 13, 13, 10, 255};
  folder.write("raw.dat", bytes);
  Expected<std::vector<uint8_t>> read = readFileBytes("raw.dat");
  ASSERT_TRUE(read) << read.error().message();
  EXPECT_EQ(*read, bytes);
  Expected<std::vector<uint8_t>> dir = readFileBytes(".");
  EXPECT_FALSE(dir);
}
