// The engine reads pictures, sounds, music and other files from disk as
// regular files within the pack's bound: a link to a device or a FIFO is
// refused at once, with a log line naming the file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "engine/PackReader.h"
#include "base/TextCodec.h"
#include "engine_support.h"
#include "log_text.h"
#include "picture_files.h"

namespace {

class DiskFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_->System_SetState(HGE_LOGFILE, dir_.file("log.txt").c_str());
    ASSERT_TRUE(engine_->System_Initiate()) << engine_->System_GetErrorMessage();
  }
  std::string log() const { return readFile(dir_.file("log.txt")); }

  ScratchDir dir_;
  TestEngine engine_;
};

TEST_F(DiskFiles, ALinkToDevZeroOrAFifoIsRefusedAtOnceForEveryKindOfFile) {
  for (const char* name : {"zero.png", "zero.wav", "zero.mp3", "zero.dat"})
    ASSERT_EQ(symlink("/dev/zero", dir_.file(name).c_str()), 0);
  for (const char* name : {"fifo.png", "fifo.wav", "fifo.mp3", "fifo.dat"})
    ASSERT_EQ(mkfifo(dir_.file(name).c_str(), 0600), 0);

  const auto start = std::chrono::steady_clock::now();
  for (const char* kind : {"zero", "fifo"}) {
    const std::string base = dir_.file(kind);
    EXPECT_EQ(engine_->Texture_Load((base + ".png").c_str()), 0u);
    EXPECT_EQ(engine_->Effect_Load((base + ".wav").c_str()), 0u);
    EXPECT_EQ(engine_->Stream_Load((base + ".mp3").c_str()), 0u);
    uint32_t size = 99;
    EXPECT_EQ(engine_->Resource_Load((base + ".dat").c_str(), &size), nullptr);
    EXPECT_EQ(size, 0u);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

  const std::string text = log();
  for (const char* name : {"zero.png", "zero.wav", "zero.mp3", "zero.dat", "fifo.png", "fifo.wav", "fifo.mp3", "fifo.dat"})
    EXPECT_EQ(countOccurrences(text, dir_.file(name) + ": not a regular file"), 1u) << name << "\n" << text;
  EXPECT_NE(text.find("Cannot load the texture " + dir_.file("zero.png")), std::string::npos) << text;
  EXPECT_NE(text.find("Cannot load the sound " + dir_.file("fifo.wav")), std::string::npos) << text;
  EXPECT_NE(text.find("Cannot load the music " + dir_.file("zero.mp3")), std::string::npos) << text;
}

TEST_F(DiskFiles, AFileLargerThanThePacksBoundIsRefusedUnread) {
  // A sparse file one byte over the bound costs no disk space.
  const std::string big = dir_.file("big.png");
  {
    std::ofstream out(big, std::ios::binary);
  }
  ASSERT_EQ(truncate(big.c_str(), static_cast<off_t>(PackReader::kMaxEntrySize + 1)), 0);
  EXPECT_EQ(PackReader::kMaxEntrySize, kMaxFileBytes);
  EXPECT_EQ(engine_->Texture_Load(big.c_str()), 0u);
  EXPECT_NE(log().find(big + ": larger than 256 MiB"), std::string::npos) << log();
}

TEST_F(DiskFiles, GbkNamesAndBackslashesStillFindTheirFiles) {
  // The data names files in GBK and with '\'; the disk has UTF-8 names and '/'.
  std::filesystem::create_directories(dir_.path() / "图片");
  writeFile(dir_.file("图片/第二关.png"), picturefiles::blackPng(12, 7));
  std::string gbk;
  ASSERT_TRUE(utf8ToGbk(dir_.file("图片\\第二关.png"), gbk));
  const HTEXTURE t = engine_->Texture_Load(gbk.c_str());
  ASSERT_NE(t, 0u) << log();
  EXPECT_EQ(engine_->Texture_GetWidth(t), 12);

  // The same name for a FIFO is refused for what it is, not as a missing file.
  ASSERT_EQ(mkfifo(dir_.file("图片/管道.png").c_str(), 0600), 0);
  ASSERT_TRUE(utf8ToGbk(dir_.file("图片/管道.png"), gbk));
  EXPECT_EQ(engine_->Texture_Load(gbk.c_str()), 0u);
  EXPECT_NE(log().find("管道.png: not a regular file"), std::string::npos) << log();
}

}  // namespace
