// Names from data files that become file names, and how data files are read
// from disk: plain names only, regular files only, never without bound.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/DataPath.h"
#include "base/FileBytes.h"

namespace {

const std::string kSecondStageGbk = "\xB5\xDA\xB6\xFE\xB9\xD8";  // 第二关

TEST(PlainNames, OrdinaryIdsAreAccepted) {
  for (const std::string id : {"guai01", "c_morivane", "system", "Test", "zd", "a.b", "-x", "x y"})
    EXPECT_EQ(plainNameProblem(id), "") << id;
  EXPECT_EQ(plainNameProblem(std::string(127, 'a')), "");
  EXPECT_EQ(plainNameProblem(kSecondStageGbk), "");
  // 乗 is 81 5C in GBK: its second byte is the byte of '\', but it names no folder.
  EXPECT_EQ(plainNameProblem("\x81\x5C"), "");
}

TEST(PlainNames, AnythingThatCouldLeaveTheFolderIsRefused) {
  EXPECT_EQ(plainNameProblem(""), "it is empty");
  EXPECT_EQ(plainNameProblem("../guai01"), "it holds a folder separator");
  EXPECT_EQ(plainNameProblem("../../dev/zero"), "it holds a folder separator");
  EXPECT_EQ(plainNameProblem("/etc/passwd"), "it holds a folder separator");
  EXPECT_EQ(plainNameProblem("a\\b"), "it holds a folder separator");
  EXPECT_EQ(plainNameProblem("."), "it names a folder");
  EXPECT_EQ(plainNameProblem(".."), "it names a folder");
  EXPECT_EQ(plainNameProblem(std::string("guai\0../x", 9)), "it holds a NUL byte");
  EXPECT_EQ(plainNameProblem("guai\x01"), "it holds a control character");
  EXPECT_EQ(plainNameProblem("guai\n01"), "it holds a control character");
  EXPECT_EQ(plainNameProblem("guai\x7F"), "it holds a control character");
  EXPECT_EQ(plainNameProblem(std::string(128, 'a')), "it is 128 bytes long (at most 127)");
  EXPECT_EQ(plainNameProblem("\x81"), "it is not valid GBK text");
  EXPECT_EQ(plainNameProblem("\xFF\xFF"), "it is not valid GBK text");
}

TEST(PlainNames, PathsAreUtf8AndTheSameForEveryKind) {
  auto chara = dataFilePath(DataFileKind::Chara, "guai01");
  ASSERT_TRUE(chara);
  EXPECT_EQ(*chara, "data/chara/guai01.dat");
  auto scene = dataFilePath(DataFileKind::Scene, kSecondStageGbk);
  ASSERT_TRUE(scene);
  EXPECT_EQ(*scene, "data/scene/\u7B2C\u4E8C\u5173.dat");
  auto enemy = dataFilePath(DataFileKind::Chara, kSecondStageGbk);
  ASSERT_TRUE(enemy);
  EXPECT_EQ(*enemy, "data/chara/\u7B2C\u4E8C\u5173.dat");

  auto refused = dataFilePath(DataFileKind::Scene, "../../dev/zero");
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().file, "\"../../dev/zero\"");
  EXPECT_EQ(refused.error().what, "not a plain name: it holds a folder separator");
  EXPECT_EQ(sceneFilePath("../x"), "data/scene/\"../x\".dat");
  EXPECT_EQ(charaFilePath("guai01"), "data/chara/guai01.dat");
}

TEST(PlainNames, EscapedNamesStayReadableOnOneLine) {
  EXPECT_EQ(escapedName("guai01"), "guai01");
  EXPECT_EQ(escapedName(kSecondStageGbk), "\u7B2C\u4E8C\u5173");
  EXPECT_EQ(escapedName(std::string("a\0b\n\"\\", 6)), "a\\x00b\\x0A\\\"\\\\");
  EXPECT_EQ(escapedName("\xFF"), "\\xFF");
  const std::string longName(10000, 'x');
  EXPECT_EQ(escapedName(longName), std::string(64, 'x') + "...");
}

class FileReading : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("tervalen-files-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::filesystem::path dir;
};

TEST_F(FileReading, ARegularFileIsReadWhole) {
  const std::string path = (dir / "x.dat").string();
  std::ofstream(path, std::ios::binary) << std::string("ab\0\r\ncd", 7);
  auto bytes = readFileBytes(path);
  ASSERT_TRUE(bytes) << bytes.error().message();
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), std::string("ab\0\r\ncd", 7));
  std::ofstream(dir / "empty.dat", std::ios::binary);
  auto empty = readFileBytes((dir / "empty.dat").string());
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());
}

TEST_F(FileReading, DevicesFifosAndFoldersAreRefusedAtOnce) {
  // A link to /dev/zero would be read forever; a FIFO without a writer would block.
  std::filesystem::create_symlink("/dev/zero", dir / "zero.dat");
  auto zero = readFileBytes((dir / "zero.dat").string());
  ASSERT_FALSE(zero);
  EXPECT_EQ(zero.error().what, "not a regular file");

  ASSERT_EQ(::mkfifo((dir / "fifo.dat").c_str(), 0600), 0);
  auto fifo = readFileBytes((dir / "fifo.dat").string());
  ASSERT_FALSE(fifo);
  EXPECT_EQ(fifo.error().what, "not a regular file");

  auto folder = readFileBytes(dir.string());
  ASSERT_FALSE(folder);
  EXPECT_EQ(folder.error().what, "not a regular file");

  auto missing = readFileBytes((dir / "missing.dat").string());
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().what, "cannot open: No such file or directory");
}

TEST_F(FileReading, ALinkToARegularFileIsFollowed) {
  std::ofstream(dir / "real.dat", std::ios::binary) << "xyz";
  std::filesystem::create_symlink(dir / "real.dat", dir / "link.dat");
  auto bytes = readFileBytes((dir / "link.dat").string());
  ASSERT_TRUE(bytes) << bytes.error().message();
  EXPECT_EQ(bytes->size(), 3u);
}

TEST_F(FileReading, FilesAboveTheBoundAreRefusedWithoutReadingThem) {
  const std::string path = (dir / "big.dat").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << "0123456789";
  }
  auto small = readFileBytes(path, 9);
  ASSERT_FALSE(small);
  EXPECT_EQ(small.error().what, "larger than 9 bytes (10 bytes)");
  // A sparse file past the game's bound costs nothing to make and must not be read.
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kMaxFileBytes + 1)), 0);
  auto big = readFileBytes(path);
  ASSERT_FALSE(big);
  EXPECT_EQ(big.error().what, "larger than 256 MiB (268435457 bytes)");
}

}  // namespace
