// Reading the resource pack: both kinds of zip encryption, names in GBK, and
// archives that are damaged, locked with another password or claim too much.
#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <cstring>

#include "engine/PackReader.h"
#include "base/TextCodec.h"
#include "engine_support.h"

namespace {

std::string text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// An archive written with Info-ZIP's `zip -P` (traditional PKWARE encryption).
std::string makeInfoZipPack(const ScratchDir& dir, const std::string& password) {
  std::filesystem::create_directories(dir.path() / "src" / "pak" / "ui");
  writeFile(dir.file("src/pak/ui/hello.txt"), "hello from the pack");
  writeFile(dir.file("src/readme.txt"), std::string(5000, 'x'));
  std::string cmd = "cd '" + dir.file("src") + "' && zip -q -r -P '" + password + "' ../pack.zip . >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) return "";
  return dir.file("pack.zip");
}

// An archive written with libzip; each entry encrypted with `method` (or not).
bool writeLibzipPack(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries,
                     uint16_t method, const char* password, bool store = false) {
  int err = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  if (!za) return false;
  for (const auto& [name, content] : entries) {
    void* copy = std::malloc(content.size() + 1);
    std::memcpy(copy, content.data(), content.size());
    zip_source_t* src = zip_source_buffer(za, copy, content.size(), 1);
    zip_int64_t index = zip_file_add(za, name.c_str(), src, ZIP_FL_ENC_RAW);
    if (index < 0) {
      zip_source_free(src);
      zip_discard(za);
      return false;
    }
    if (method != ZIP_EM_NONE) zip_file_set_encryption(za, static_cast<zip_uint64_t>(index), method, password);
    if (store) zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
  }
  return zip_close(za) == 0;
}

TEST(PackReading, ReadsEntriesEncryptedByInfoZip) {
  ScratchDir dir;
  std::string pack = makeInfoZipPack(dir, "s3cret");
  ASSERT_FALSE(pack.empty()) << "the zip command failed";
  std::string error;
  auto reader = PackReader::open(pack, "s3cret", error);
  ASSERT_TRUE(reader) << error;
  std::vector<uint8_t> out;
  ASSERT_TRUE(reader->read("pak/ui/hello.txt", out, error)) << error;
  EXPECT_EQ(text(out), "hello from the pack");
  ASSERT_TRUE(reader->read("readme.txt", out, error)) << error;
  EXPECT_EQ(out.size(), 5000u);
  // Windows-style separators and another case still find the entry.
  ASSERT_TRUE(reader->read("PAK\\UI\\Hello.TXT", out, error)) << error;
  EXPECT_EQ(text(out), "hello from the pack");
  // Folders are not entries.
  EXPECT_FALSE(reader->contains("pak/ui/"));
}

TEST(PackReading, ReadsAesEncryptedEntries) {
  ScratchDir dir;
  ASSERT_TRUE(writeLibzipPack(dir.file("aes.zip"), {{"pak/a.bin", std::string(10000, 'a') + "end"}},
                              ZIP_EM_AES_256, "pw"));
  std::string error;
  auto reader = PackReader::open(dir.file("aes.zip"), "pw", error);
  ASSERT_TRUE(reader) << error;
  std::vector<uint8_t> out;
  ASSERT_TRUE(reader->read("pak/a.bin", out, error)) << error;
  EXPECT_EQ(text(out), std::string(10000, 'a') + "end");
}

TEST(PackReading, FindsGbkNamesAsStored) {
  ScratchDir dir;
  std::string gbkName;
  ASSERT_TRUE(utf8ToGbk("pak/角色/图.txt", gbkName));
  ASSERT_TRUE(writeLibzipPack(dir.file("gbk.zip"), {{gbkName, "gbk"}}, ZIP_EM_TRAD_PKWARE, "pw"));
  std::string error;
  auto reader = PackReader::open(dir.file("gbk.zip"), "pw", error);
  ASSERT_TRUE(reader) << error;
  std::vector<uint8_t> out;
  ASSERT_TRUE(reader->read(gbkName, out, error)) << error;
  EXPECT_EQ(text(out), "gbk");
}

TEST(PackReading, AWrongPasswordFailsTheLoadWithAReason) {
  ScratchDir dir;
  std::string pack = makeInfoZipPack(dir, "right");
  ASSERT_FALSE(pack.empty());
  std::string error;
  auto reader = PackReader::open(pack, "wrong", error);
  ASSERT_TRUE(reader) << error;  // the archive opens; its entries do not
  std::vector<uint8_t> out;
  EXPECT_FALSE(reader->read("pak/ui/hello.txt", out, error));
  EXPECT_NE(error.find("pak/ui/hello.txt"), std::string::npos) << error;
  EXPECT_NE(error.find("assword"), std::string::npos) << error;
  EXPECT_TRUE(out.empty());
}

// The old zip encryption lets about one wrong password in 256 past its check
// byte; the entry then reads as damaged data, and the error still names the
// password as a likely cause. Among 4000 wrong passwords some get that far.
TEST(PackReading, AWrongPasswordThatPassesTheCheckByteIsStillNamedAsTheLikelyCause) {
  ScratchDir dir;
  const std::string pack = makeInfoZipPack(dir, "right");
  ASSERT_FALSE(pack.empty());
  const std::string bytes = readFile(pack);
  int pastTheCheckByte = 0;
  for (int i = 0; i < 4000; ++i) {
    const std::string password = "wrong" + std::to_string(i);
    std::string error;
    auto reader = PackReader::openMemory(bytes.data(), bytes.size(), password.c_str(), error);
    ASSERT_TRUE(reader) << error;
    std::vector<uint8_t> out;
    ASSERT_FALSE(reader->read("pak/ui/hello.txt", out, error)) << password;
    EXPECT_NE(error.find("assword"), std::string::npos) << password << ": " << error;
    EXPECT_TRUE(out.empty());
    if (error.find("wrong password reads as damaged data") != std::string::npos) ++pastTheCheckByte;
  }
  EXPECT_GT(pastTheCheckByte, 0) << "no wrong password got past the check byte: the case was not tried";
}

TEST(PackReading, ADamagedArchiveIsRefusedWithAReason) {
  ScratchDir dir;
  std::string pack = makeInfoZipPack(dir, "pw");
  ASSERT_FALSE(pack.empty());
  std::string bytes = readFile(pack);
  writeFile(dir.file("cut.zip"), bytes.substr(0, bytes.size() / 2));
  std::string error;
  EXPECT_FALSE(PackReader::open(dir.file("cut.zip"), "pw", error));
  EXPECT_NE(error.find("cut.zip"), std::string::npos) << error;

  writeFile(dir.file("junk.zip"), "this is not a zip archive at all");
  EXPECT_FALSE(PackReader::open(dir.file("junk.zip"), "pw", error));
  EXPECT_FALSE(PackReader::open(dir.file("missing.zip"), "pw", error));
  EXPECT_NE(error.find("missing.zip"), std::string::npos) << error;
}

TEST(PackReading, ACorruptedEntryFailsItsChecksum) {
  ScratchDir dir;
  std::string content(64, 'q');
  ASSERT_TRUE(writeLibzipPack(dir.file("plain.zip"), {{"data.bin", content}}, ZIP_EM_NONE, nullptr, true));
  std::string bytes = readFile(dir.file("plain.zip"));
  size_t at = bytes.find(content);
  ASSERT_NE(at, std::string::npos);
  bytes[at + 10] = 'Q';
  writeFile(dir.file("plain.zip"), bytes);
  std::string error;
  auto reader = PackReader::open(dir.file("plain.zip"), nullptr, error);
  ASSERT_TRUE(reader) << error;
  std::vector<uint8_t> out;
  EXPECT_FALSE(reader->read("data.bin", out, error));
  EXPECT_NE(error.find("data.bin"), std::string::npos) << error;
}

TEST(PackReading, AnEntryClaimingMoreThanTheLimitIsNotRead) {
  ScratchDir dir;
  ASSERT_TRUE(writeLibzipPack(dir.file("big.zip"), {{"big.bin", std::string(16, 'b')}}, ZIP_EM_NONE, nullptr, true));
  std::string bytes = readFile(dir.file("big.zip"));
  // Rewrite the uncompressed size in the local and the central header to 300 MiB.
  uint32_t huge = 300u << 20;
  auto patch = [&](const char* signature, size_t offset) {
    size_t at = bytes.find(std::string(signature, 4));
    ASSERT_NE(at, std::string::npos);
    std::memcpy(&bytes[at + offset], &huge, 4);
  };
  patch("PK\x03\x04", 22);
  patch("PK\x01\x02", 24);
  writeFile(dir.file("big.zip"), bytes);
  std::string error;
  auto reader = PackReader::open(dir.file("big.zip"), nullptr, error);
  ASSERT_TRUE(reader) << error;  // the directory is sound; only the entry is refused
  std::vector<uint8_t> out;
  EXPECT_FALSE(reader->read("big.bin", out, error));
  EXPECT_NE(error.find("limit"), std::string::npos) << error;
  EXPECT_LT(out.capacity(), 1u << 20);  // nothing was allocated for the claimed size
}

TEST(PackReading, OpensFromMemory) {
  ScratchDir dir;
  ASSERT_TRUE(writeLibzipPack(dir.file("m.zip"), {{"x.txt", "from memory"}}, ZIP_EM_AES_128, "k"));
  std::string bytes = readFile(dir.file("m.zip"));
  std::string error;
  auto reader = PackReader::openMemory(bytes.data(), bytes.size(), "k", error);
  ASSERT_TRUE(reader) << error;
  std::vector<uint8_t> out;
  ASSERT_TRUE(reader->read("x.txt", out, error)) << error;
  EXPECT_EQ(text(out), "from memory");
}

TEST(EngineResources, ThePackComesBeforeTheDiskAndTheDiskStillServesTheRest) {
  ScratchDir dir;
  ASSERT_TRUE(writeLibzipPack(dir.file("pak.zip"), {{"both.txt", "packed"}}, ZIP_EM_TRAD_PKWARE, "pw"));
  writeFile(dir.file("both.txt"), "loose");
  writeFile(dir.file("loose.txt"), "only on disk");
  InDirectory in(dir.path());
  TestEngine engine;
  ASSERT_TRUE(engine->Resource_AttachPack("pak.zip", "pw"));
  uint32_t size = 0;
  void* data = engine->Resource_Load("both.txt", &size);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::string(static_cast<char*>(data), size), "packed");
  engine->Resource_Free(data);
  data = engine->Resource_Load("loose.txt", &size);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::string(static_cast<char*>(data), size), "only on disk");
  EXPECT_EQ(static_cast<char*>(data)[size], '\0');  // readable as a C string
  engine->Resource_Free(data);
  EXPECT_EQ(engine->Resource_Load("nowhere.txt", &size), nullptr);
  EXPECT_EQ(size, 0u);
}

TEST(EngineResources, AWrongPasswordIsLoggedAndTheLoadFails) {
  ScratchDir dir;
  ASSERT_TRUE(writeLibzipPack(dir.file("pak.zip"), {{"secret.txt", "x"}}, ZIP_EM_AES_256, "right"));
  InDirectory in(dir.path());
  {
    TestEngine engine;
    engine->System_SetState(HGE_LOGFILE, dir.file("log.txt").c_str());
    ASSERT_TRUE(engine->Resource_AttachPack("pak.zip", "wrong"));
    EXPECT_EQ(engine->Resource_Load("secret.txt"), nullptr);
    EXPECT_FALSE(engine->Resource_AttachPack("no-such-pack.zip", "pw"));
  }
  std::string log = readFile(dir.file("log.txt"));
  EXPECT_NE(log.find("secret.txt"), std::string::npos) << log;
  EXPECT_NE(log.find("assword"), std::string::npos) << log;
  EXPECT_NE(log.find("no-such-pack.zip"), std::string::npos) << log;
}

TEST(EngineResources, AUtf8NameFindsItsGbkEntry) {
  ScratchDir dir;
  std::string gbkName;
  ASSERT_TRUE(utf8ToGbk("pak/声音.wav", gbkName));
  ASSERT_TRUE(writeLibzipPack(dir.file("pak.zip"), {{gbkName, "riff"}}, ZIP_EM_TRAD_PKWARE, "pw"));
  InDirectory in(dir.path());
  TestEngine engine;
  ASSERT_TRUE(engine->Resource_AttachPack("pak.zip", "pw"));
  uint32_t size = 0;
  void* a = engine->Resource_Load(gbkName.c_str(), &size);
  ASSERT_NE(a, nullptr);
  engine->Resource_Free(a);
  void* b = engine->Resource_Load("pak/声音.wav", &size);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(std::string(static_cast<char*>(b), size), "riff");
  engine->Resource_Free(b);
}

}  // namespace
