// Reading the resource pack: both kinds of zip encryption, names in GBK, and
// archives that are damaged, locked with another password or claim too much.
#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <thread>

#include "engine/PackLoader.h"
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
    // An empty entry gets no buffer: libzip 1.7.3 never frees one of no bytes.
    void* copy = content.empty() ? nullptr : std::malloc(content.size());
    if (copy) std::memcpy(copy, content.data(), content.size());
    zip_source_t* src = zip_source_buffer(za, copy, content.size(), copy ? 1 : 0);
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

// Bytes that deflate shrinks only partly: random letters with runs.
std::string mixedBytes(size_t size, uint32_t seed) {
  std::mt19937 gen(seed);
  std::string out;
  while (out.size() < size) out.append(gen() % 7 + 1, static_cast<char>('a' + gen() % 26));
  out.resize(size);
  return out;
}

// Every read of a pack, by entry and by thread.
struct ReadLog {
  std::mutex mutex;
  std::map<size_t, int> perSlot;
  std::vector<std::thread::id> threads;
  PackReader::ReadObserver observer() {
    return [this](size_t slot) {
      std::lock_guard<std::mutex> lock(mutex);
      ++perSlot[slot];
      threads.push_back(std::this_thread::get_id());
    };
  }
};

// Where sounds are never heard their files are found, not read; a picture
// is read once however often it is loaded, and not on the engine's thread.
TEST(EngineResources, HeadlessSoundsAreFoundNotReadAndAPictureIsReadOnce) {
  ScratchDir dir;
  ASSERT_TRUE(writeSolidPng(dir.file("pic.png"), 4, 2, 0x336699));
  ASSERT_TRUE(writeLibzipPack(dir.file("pak.zip"),
                              {{"music.mp3", mixedBytes(50000, 1)},
                               {"hit.wav", "RIFF...."},
                               {"empty.wav", ""},
                               {"pic.png", readFile(dir.file("pic.png"))}},
                              ZIP_EM_TRAD_PKWARE, "pw"));
  InDirectory in(dir.path());
  TestEngine engine;
  engine->System_SetState(HGE_LOGFILE, dir.file("log.txt").c_str());
  ASSERT_TRUE(engine->System_Initiate()) << engine->System_GetErrorMessage();
  ASSERT_TRUE(engine->Resource_AttachPack("pak.zip", "pw"));
  EXPECT_NE(engine->Stream_Load("music.mp3"), 0u);
  EXPECT_NE(engine->Effect_Load("hit.wav"), 0u);
  EXPECT_TRUE(engine->Effect_Prefetch("hit.wav"));
  EXPECT_EQ(engine->Effect_Load("empty.wav"), 0u);
  EXPECT_EQ(engine->Effect_Load("nowhere.wav"), 0u);
  EXPECT_EQ(engine->System_GetState(HGE_PACKREADS), 0);
  for (int i = 0; i < 3; ++i) {
    HTEXTURE t = engine->Texture_Load("pic.png");
    ASSERT_NE(t, 0u);
    EXPECT_EQ(engine->Texture_GetWidth(t), 4);
    engine->Texture_Free(t);
  }
  EXPECT_EQ(engine->System_GetState(HGE_PACKREADS), 1);
  EXPECT_EQ(engine->System_GetState(HGE_PACKMAINREADS), 0);
  engine->System_Shutdown();
  const std::string log = readFile(dir.file("log.txt"));
  EXPECT_NE(log.find("empty.wav"), std::string::npos) << log;
  EXPECT_NE(log.find("nowhere.wav"), std::string::npos) << log;
}

// A pack replaced on disk while the game runs: what was read stays, and the
// same pack attached again (a new game) is the one already open.
TEST(EngineResources, APackReplacedOnDiskKeepsWhatWasRead) {
  ScratchDir dir;
  ASSERT_TRUE(writeLibzipPack(dir.file("pak.zip"), {{"a.txt", "old a"}, {"b.txt", "old b"}}, ZIP_EM_TRAD_PKWARE, "pw"));
  InDirectory in(dir.path());
  TestEngine engine;
  ASSERT_TRUE(engine->Resource_AttachPack("pak.zip", "pw"));
  auto load = [&](const char* name) {
    uint32_t size = 0;
    void* data = engine->Resource_Load(name, &size);
    std::string out = data ? std::string(static_cast<char*>(data), size) : "(failed)";
    engine->Resource_Free(data);
    return out;
  };
  EXPECT_EQ(load("a.txt"), "old a");
  ASSERT_TRUE(writeLibzipPack(dir.file("new.zip"), {{"a.txt", "new a"}, {"b.txt", "new b"}}, ZIP_EM_NONE, nullptr));
  std::filesystem::rename(dir.file("new.zip"), dir.file("pak.zip"));
  ASSERT_TRUE(engine->Resource_AttachPack("pak.zip", "pw"));
  EXPECT_EQ(load("a.txt"), "old a");
  EXPECT_EQ(load("b.txt"), "old b");  // the archive open at the start
  EXPECT_EQ(engine->System_GetState(HGE_PACKREADS), 2);
}


// The old encryption is undone by the reader itself: every way an old pack
// may hold an entry reads back byte for byte.
TEST(PackReading, OldEncryptionReadsBackEveryKindOfEntry) {
  ScratchDir dir;
  const std::vector<std::pair<std::string, std::string>> entries = {
      {"empty.bin", ""}, {"one.bin", "x"}, {"text.txt", std::string(5000, 't')}, {"mixed.bin", mixedBytes(300000, 3)}};
  struct Case {
    const char* file;
    uint16_t method;
    bool store;
  } cases[] = {{"trad-deflate.zip", ZIP_EM_TRAD_PKWARE, false},
               {"trad-store.zip", ZIP_EM_TRAD_PKWARE, true},
               {"aes.zip", ZIP_EM_AES_256, false},
               {"plain.zip", ZIP_EM_NONE, false}};
  for (const Case& c : cases) {
    ASSERT_TRUE(writeLibzipPack(dir.file(c.file), entries, c.method, "pw", c.store)) << c.file;
    std::string error;
    auto reader = PackReader::open(dir.file(c.file), c.method == ZIP_EM_NONE ? nullptr : "pw", error);
    ASSERT_TRUE(reader) << c.file << ": " << error;
    for (const auto& [name, content] : entries) {
      std::vector<uint8_t> out;
      ASSERT_TRUE(reader->read(name, out, error)) << c.file << ": " << error;
      EXPECT_TRUE(text(out) == content) << c.file << ": " << name << " differs";
    }
  }
}

TEST(PackReading, AnOldEncryptedEntryDamagedInsideFailsWithItsName) {
  ScratchDir dir;
  const std::string content = mixedBytes(20000, 5);
  for (bool store : {false, true}) {
    ASSERT_TRUE(writeLibzipPack(dir.file("p.zip"), {{"hurt.bin", content}}, ZIP_EM_TRAD_PKWARE, "pw", store));
    std::string bytes = readFile(dir.file("p.zip"));
    bytes[bytes.size() / 3] ^= 0x5A;  // inside the entry's data
    writeFile(dir.file("p.zip"), bytes);
    std::string error;
    auto reader = PackReader::open(dir.file("p.zip"), "pw", error);
    ASSERT_TRUE(reader) << error;
    std::vector<uint8_t> out;
    EXPECT_FALSE(reader->read("hurt.bin", out, error)) << "stored: " << store;
    EXPECT_NE(error.find("hurt.bin"), std::string::npos) << error;
    EXPECT_TRUE(out.empty());
  }
}

TEST(PackReading, EntriesReadTogetherAreTheSameAsOneByOne) {
  // Deciphered side by side, four at a time, a lane taking the next entry
  // when its own runs out: lengths that run out at different times, a
  // damaged entry among them, a slot past the end and a slot twice.
  ScratchDir dir;
  const std::vector<std::pair<std::string, std::string>> entries = {
      {"a.bin", ""},     {"b.bin", "x"}, {"c.bin", mixedBytes(7, 1)}, {"d.bin", mixedBytes(5000, 2)},
      {"hurt.bin", mixedBytes(300000, 3)}, {"e.bin", mixedBytes(70000, 4)}, {"f.bin", mixedBytes(13, 5)},
      {"g.bin", mixedBytes(4096, 6)}};
  for (bool store : {true, false}) {
    SCOPED_TRACE(store ? "stored" : "deflated");
    ASSERT_TRUE(writeLibzipPack(dir.file("p.zip"), entries, ZIP_EM_TRAD_PKWARE, "pw", store));
    std::string bytes = readFile(dir.file("p.zip"));
    bytes[bytes.size() / 2] ^= 0x5A;  // inside the largest entry
    writeFile(dir.file("p.zip"), bytes);
    std::string error;
    auto reader = PackReader::open(dir.file("p.zip"), "pw", error);
    ASSERT_TRUE(reader) << error;
    std::vector<size_t> slots;
    for (const auto& entry : entries) slots.push_back(static_cast<size_t>(reader->slotOf(entry.first)));
    std::vector<size_t> backwards(slots.rbegin(), slots.rend());
    backwards.push_back(slots[3]);
    backwards.push_back(entries.size() + 5);
    for (const std::vector<size_t>& order : {slots, backwards}) {
      std::vector<PackReader::Result> together;
      reader->readIndices(order, together);
      ASSERT_EQ(together.size(), order.size());
      for (size_t i = 0; i < order.size(); ++i) {
        std::vector<uint8_t> alone;
        std::string why;
        const bool ok = reader->readIndex(order[i], alone, why);
        EXPECT_EQ(together[i].ok, ok) << i;
        EXPECT_EQ(together[i].bytes, alone) << i;
        EXPECT_EQ(together[i].error, why) << i;
        const bool hurt = order[i] == slots[4] || order[i] >= entries.size();
        EXPECT_EQ(ok, !hurt) << i << ": " << why;
        if (ok) EXPECT_EQ(text(alone), entries[std::find(slots.begin(), slots.end(), order[i]) - slots.begin()].second);
      }
    }
  }
}

// With its own thread, the loader never reads on the thread that asks; without
// one (a browser page) it reads there, when an entry is taken. Either way each
// entry is read once.
TEST(PackLoading, EachEntryIsReadOnceOnItsOwnThreadOrWhenTakenWithoutOne) {
  for (const bool ownThread : {true, false}) {
    SCOPED_TRACE(ownThread ? "own thread" : "no thread");
    ScratchDir dir;
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i = 0; i < 40; ++i) entries.push_back({"pak/e" + std::to_string(i), mixedBytes(2000 + i * 97, i)});
    ASSERT_TRUE(writeLibzipPack(dir.file("p.zip"), entries, ZIP_EM_TRAD_PKWARE, "pw"));
    std::string error;
    auto reader = PackReader::open(dir.file("p.zip"), "pw", error);
    ASSERT_TRUE(reader) << error;
    ReadLog reads;
    PackLoader loader(std::move(reader), PackLoader::kDefaultKeptBytes, ownThread);
    loader.setReadObserver(reads.observer());
    // Half asked for ahead; all taken twice, the last ones before their turn.
    for (size_t i = 0; i < 20; ++i) loader.prefetch(loader.pack().slotOf(entries[i].first));
    for (int round = 0; round < 2; ++round)
      for (size_t i = entries.size(); i-- > 0;) {
        std::vector<uint8_t> out;
        bool first = false;
        ASSERT_TRUE(loader.take(loader.pack().slotOf(entries[i].first), out, error, first)) << error;
        EXPECT_TRUE(text(out) == entries[i].second) << entries[i].first;
      }
    EXPECT_TRUE(loader.prefetch(loader.pack().slotOf(entries[0].first)));  // read: nothing to wait for
    std::lock_guard<std::mutex> lock(reads.mutex);
    EXPECT_EQ(reads.perSlot.size(), entries.size());
    for (const auto& [slot, count] : reads.perSlot) EXPECT_EQ(count, 1) << loader.pack().entryName(slot);
    for (std::thread::id id : reads.threads) EXPECT_EQ(id == std::this_thread::get_id(), !ownThread);
  }
}

// A damaged entry met by the loader's thread: its failure comes back with
// its name, marked as new only the first time, and the other entries read.
TEST(PackLoading, ADamagedEntryFailsOnceWithItsNameAndTheRestRead) {
  ScratchDir dir;
  const std::string hurt = mixedBytes(30000, 9);
  ASSERT_TRUE(writeLibzipPack(dir.file("p.zip"), {{"a/hurt.png", hurt}, {"a/fine.txt", "fine"}}, ZIP_EM_TRAD_PKWARE,
                              "pw", true));
  std::string bytes = readFile(dir.file("p.zip"));
  bytes[200] ^= 0x33;  // inside the first entry's stored data
  writeFile(dir.file("p.zip"), bytes);
  std::string error;
  auto reader = PackReader::open(dir.file("p.zip"), "pw", error);
  ASSERT_TRUE(reader) << error;
  ReadLog reads;
  PackLoader loader(std::move(reader));
  loader.setReadObserver(reads.observer());
  const size_t hurtSlot = static_cast<size_t>(loader.pack().slotOf("a/hurt.png"));
  loader.prefetch(hurtSlot);
  std::vector<uint8_t> out;
  bool first = false;
  EXPECT_FALSE(loader.take(hurtSlot, out, error, first));
  EXPECT_NE(error.find("a/hurt.png"), std::string::npos) << error;
  EXPECT_TRUE(first);
  EXPECT_FALSE(loader.take(hurtSlot, out, error, first));
  EXPECT_FALSE(first);  // said once
  ASSERT_TRUE(loader.take(static_cast<size_t>(loader.pack().slotOf("a/fine.txt")), out, error, first)) << error;
  EXPECT_EQ(text(out), "fine");
  std::lock_guard<std::mutex> lock(reads.mutex);
  EXPECT_EQ(reads.perSlot[hurtSlot], 1);
  for (std::thread::id id : reads.threads) EXPECT_NE(id, std::this_thread::get_id());
}

// Past the budget of bytes kept, an entry is handed over and read again when
// needed again.
TEST(PackLoading, PastTheBudgetEntriesAreHandedOverNotKept) {
  ScratchDir dir;
  ASSERT_TRUE(writeLibzipPack(dir.file("p.zip"), {{"big", std::string(4000, 'b')}}, ZIP_EM_NONE, nullptr));
  std::string error;
  auto reader = PackReader::open(dir.file("p.zip"), nullptr, error);
  ASSERT_TRUE(reader) << error;
  ReadLog reads;
  PackLoader loader(std::move(reader), 1000);
  loader.setReadObserver(reads.observer());
  for (int i = 0; i < 2; ++i) {
    std::vector<uint8_t> out;
    bool first = false;
    ASSERT_TRUE(loader.take(0, out, error, first)) << error;
    EXPECT_EQ(out.size(), 4000u);
  }
  std::lock_guard<std::mutex> lock(reads.mutex);
  EXPECT_EQ(reads.perSlot[0], 2);
}

}  // namespace
