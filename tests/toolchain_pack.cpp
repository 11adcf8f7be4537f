// The resource pack writer: the game's pack reader and Info-ZIP's unzip both
// read back every file exactly, under the game's password, and the same folder
// always gives the same bytes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "Command.h"
#include "PackWriter.h"
#include "engine/PackReader.h"
#include "base/FileBytes.h"

namespace fs = std::filesystem;

namespace {

struct PackFolder {
  fs::path root;
  PackFolder() {
    root = fs::temp_directory_path() /
           ("tervalen-pack-" + std::to_string(::getpid()) + "-" +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "src");
  }
  ~PackFolder() { fs::remove_all(root); }
  void add(const std::string& name, const std::string& content) {
    fs::path p = root / "src" / fs::u8path(name);
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
  }
  std::string dir() const { return (root / "src").string(); }
};

std::string bytesOf(size_t n, uint32_t seed) {
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 1664525u + 1013904223u;
    s += static_cast<char>(seed >> 24);
  }
  return s;
}

int runPack(const std::vector<std::string>& args) {
  for (const DataCommand& c : dataCommands())
    if (std::string(c.name) == "pack") {
      testing::internal::CaptureStdout();
      testing::internal::CaptureStderr();
      int rc = c.run(args);
      testing::internal::GetCapturedStdout();
      testing::internal::GetCapturedStderr();
      return rc;
    }
  ADD_FAILURE() << "no pack command";
  return -1;
}

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

const std::map<std::string, std::string>& sampleFiles() {
  static const std::map<std::string, std::string> files = {
      {"pak/ui/hta/bg.png", bytesOf(5000, 1)},
      {"pak/ui/hte/bg.mp3", bytesOf(70000, 2)},
      {"pak/hero/hta/0.png", "tiny"},
      {"pak/hero/hte/empty.wav", ""},
      {"pak/英雄/hta/图.png", bytesOf(300, 3)},
      {"font1.fnt", "[HGEFONT]\nBitmap=font1.png\n"},
  };
  return files;
}

TEST(ToolchainPack, TheGamesPackReaderReadsEveryFileBack) {
  PackFolder f;
  for (const auto& [name, content] : sampleFiles()) f.add(name, content);
  std::string pak = (f.root / "pak.zip").string();
  ASSERT_EQ(runPack({f.dir(), "-o", pak}), 0);

  std::string error;
  std::unique_ptr<PackReader> reader = PackReader::open(pak, "brazenoth", error);
  ASSERT_TRUE(reader) << error;
  EXPECT_EQ(reader->entryCount(), sampleFiles().size());
  // names are sorted, relative, with forward slashes, and GBK as the game asks for them
  std::vector<std::string> names;
  for (size_t i = 0; i < reader->entryCount(); ++i) names.push_back(reader->entryName(i));
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
  EXPECT_TRUE(reader->contains(std::string("pak/\xD3\xA2\xD0\xDB/hta/\xCD\xBC.png")));  // 英雄 / 图 in GBK
  for (const auto& [name, content] : sampleFiles()) {
    std::string gbk = name;
    if (name.find("英雄") != std::string::npos) gbk = "pak/\xD3\xA2\xD0\xDB/hta/\xCD\xBC.png";
    std::vector<uint8_t> out;
    ASSERT_TRUE(reader->read(gbk, out, error)) << name << ": " << error;
    EXPECT_EQ(std::string(out.begin(), out.end()), content) << name;
  }
}

TEST(ToolchainPack, AnotherPasswordCannotReadIt) {
  std::vector<PackEntry> entries = {{"a.txt", {'s', 'e', 'c', 'r', 'e', 't'}}};
  std::vector<uint8_t> zip = writePack(entries, kGamePackPassword);
  std::string error;
  std::unique_ptr<PackReader> reader = PackReader::openMemory(zip.data(), zip.size(), "wrong", error);
  std::vector<uint8_t> out;
  bool read = reader && reader->read("a.txt", out, error);
  EXPECT_FALSE(read && std::string(out.begin(), out.end()) == "secret");
  // and the content is not in the archive in the clear
  std::string raw(zip.begin(), zip.end());
  EXPECT_EQ(raw.find("secret"), std::string::npos);
}

TEST(ToolchainPack, InfoZipUnzipReadsItWithThePassword) {
  if (std::system("command -v unzip >/dev/null 2>&1") != 0) GTEST_SKIP() << "unzip is not installed";
  PackFolder f;
  for (const auto& [name, content] : sampleFiles())
    if (name.find("英雄") == std::string::npos) f.add(name, content);  // unzip would convert GBK names
  std::string pak = (f.root / "pak.zip").string();
  ASSERT_EQ(runPack({f.dir(), "-o", pak}), 0);
  fs::path out = f.root / "out";
  fs::create_directories(out);
  std::string cmd = "unzip -qq -P brazenoth '" + pak + "' -d '" + out.string() + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  for (const auto& [name, content] : sampleFiles()) {
    if (name.find("英雄") != std::string::npos) continue;
    EXPECT_EQ(readAll(out / name), content) << name;
  }
  // unzip's own integrity test passes too, and fails with another password
  EXPECT_EQ(std::system(("unzip -tqq -P brazenoth '" + pak + "' >/dev/null 2>&1").c_str()), 0);
  EXPECT_NE(std::system(("unzip -tqq -P wrong '" + pak + "' >/dev/null 2>&1").c_str()), 0);
}

TEST(ToolchainPack, TheSameFolderGivesTheSameBytes) {
  PackFolder f;
  for (const auto& [name, content] : sampleFiles()) f.add(name, content);
  std::string a = (f.root / "a.zip").string(), b = (f.root / "b.zip").string();
  ASSERT_EQ(runPack({f.dir(), "-o", a}), 0);
  // touch every file: times must not matter
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(f.dir()))
    if (e.is_regular_file()) fs::last_write_time(e.path(), fs::file_time_type::clock::now() - std::chrono::hours(5));
  ASSERT_EQ(runPack({f.dir(), "-o", b}), 0);
  EXPECT_EQ(readAll(a), readAll(b));
  // a changed file changes the pack
  f.add("pak/hero/hta/0.png", "tinY");
  ASSERT_EQ(runPack({f.dir(), "-o", b}), 0);
  EXPECT_NE(readAll(a), readAll(b));
}

TEST(ToolchainPack, ThePackInsideTheFolderIsNotPackedIntoItself) {
  PackFolder f;
  f.add("a.txt", "a");
  std::string pak = (fs::path(f.dir()) / "pak.zip").string();
  ASSERT_EQ(runPack({f.dir(), "-o", pak}), 0);
  ASSERT_EQ(runPack({f.dir(), "-o", pak}), 0);
  std::string error;
  std::unique_ptr<PackReader> reader = PackReader::open(pak, "brazenoth", error);
  ASSERT_TRUE(reader) << error;
  EXPECT_EQ(reader->entryCount(), 1u);
}

TEST(ToolchainPack, AMissingFolderIsAnError) {
  PackFolder f;
  EXPECT_EQ(runPack({(f.root / "nope").string(), "-o", (f.root / "x.zip").string()}), 1);
  EXPECT_FALSE(fs::exists(f.root / "x.zip"));
}

// Every entry name of a pack: relative, no "." or ".." parts, no '\\'.
void expectSafeNames(const std::vector<PackEntry>& entries) {
  for (const PackEntry& e : entries) {
    EXPECT_FALSE(e.name.empty());
    EXPECT_NE(e.name.front(), '/') << e.name;
    EXPECT_EQ(e.name.find('\\'), std::string::npos) << e.name;
    EXPECT_EQ(("/" + e.name + "/").find("/../"), std::string::npos) << e.name;
    EXPECT_EQ(("/" + e.name + "/").find("/./"), std::string::npos) << e.name;
  }
}

TEST(ToolchainPack, ALinkInsideTheFolderIsStoredUnderItsOwnName) {
  PackFolder f;
  f.add("pak/hero/hta/0.png", "hero picture");
  fs::create_directories(fs::path(f.dir()) / "pak/guai03/hta");
  fs::create_symlink("../../hero/hta/0.png", fs::path(f.dir()) / "pak/guai03/hta/0.png");
  std::vector<PackEntry> entries;
  std::string error;
  ASSERT_TRUE(collectPackFolder(f.dir(), "", entries, error)) << error;
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "pak/guai03/hta/0.png");  // the link's own name ...
  EXPECT_EQ(std::string(entries[0].data.begin(), entries[0].data.end()), "hero picture");  // ... its target's bytes
  EXPECT_EQ(entries[1].name, "pak/hero/hta/0.png");
  expectSafeNames(entries);

  // Reproducible with links too.
  std::string a = (f.root / "a.zip").string(), b = (f.root / "b.zip").string();
  ASSERT_EQ(runPack({f.dir(), "-o", a}), 0);
  ASSERT_EQ(runPack({f.dir(), "-o", b}), 0);
  EXPECT_EQ(readAll(a), readAll(b));
}

TEST(ToolchainPack, LinksOutOfTheFolderToFoldersOrNowhereAndSpecialFilesAreRefused) {
  struct Case {
    const char* label;
    std::function<void(const fs::path&)> make;
    std::string message;  // after the path of the bad entry
  };
  const Case cases[] = {
      {"a link to /etc/hostname",
       [](const fs::path& dir) { fs::create_symlink("/etc/hostname", dir / "pak/host.png"); },
       ": a link to /etc/hostname, outside the folder: the pack stores only what is in the folder (copy the file in "
       "instead)"},
      {"a link out through ..",
       [](const fs::path& dir) { fs::create_symlink("../../outside.txt", dir / "pak/out.png"); },
       ": a link to "},
      {"a link to a folder", [](const fs::path& dir) { fs::create_directory_symlink("hero", dir / "pak/copy"); },
       ": a link to a folder: the pack stores files and real folders only"},
      {"a link to nothing", [](const fs::path& dir) { fs::create_symlink("missing.png", dir / "pak/gone.png"); },
       ": a link that leads nowhere (No such file or directory)"},
      {"a FIFO", [](const fs::path& dir) { ASSERT_EQ(::mkfifo((dir / "pak/pipe.png").c_str(), 0600), 0); },
       ": not a regular file, a folder or a link: it cannot go into the pack"},
      {"a name with a backslash", [](const fs::path& dir) { std::ofstream(dir / "pak/..\\..\\x.png") << "x"; },
       ": the name cannot be stored in the pack (the game reads '\\' as '/')"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    PackFolder f;
    f.add("pak/hero/hta/0.png", "hero picture");
    std::ofstream(f.root / "outside.txt") << "outside";
    c.make(fs::path(f.dir()));
    std::vector<PackEntry> entries;
    std::string error;
    EXPECT_FALSE(collectPackFolder(f.dir(), "", entries, error));
    EXPECT_EQ(error.rfind(f.dir() + "/pak/", 0), 0u) << error;  // it names the entry
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(runPack({f.dir(), "-o", (f.root / "x.zip").string()}), 1);
    EXPECT_FALSE(fs::exists(f.root / "x.zip"));
  }
}

TEST(ToolchainPack, CrcMatchesTheZipStandard) {
  const char* text = "123456789";
  EXPECT_EQ(crc32Of(reinterpret_cast<const uint8_t*>(text), 9), 0xCBF43926u);
}

}  // namespace
