// Mods laid over the game folder: a file replaced by path, the later mod on
// top, picture sets merged by number, rules merged by key; replays that name
// their mods; and hostile mods, each refused with one line that names it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "GameChecker.h"
#include "app/Mods.h"
#include "base/GameFolderLayer.h"
#include "check_folder.h"
#include "engine/ModZip.h"
#include "base/DataLayers.h"
#include "world/RulesFile.h"

namespace {

namespace fs = std::filesystem;

// A scratch folder of the test's own, removed at the end.
struct Scratch {
  fs::path root;
  Scratch() {
    root = fs::temp_directory_path() / ("tervalen-mods-" + std::to_string(::getpid()) + "-" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root);
  }
  ~Scratch() { fs::remove_all(root); }
  fs::path write(const std::string& relative, const std::string& text) const {
    fs::create_directories((root / relative).parent_path());
    std::ofstream(root / relative, std::ios::binary) << text;
    return root / relative;
  }
};

std::string modText(const std::string& name) {
  return "name = " + name + "\ndescription = a mod of the tests\ngame = 0.1\n";
}

std::string text(const Expected<std::vector<uint8_t>>& bytes) {
  return bytes ? std::string(bytes->begin(), bytes->end()) : "(error: " + bytes.error().message() + ")";
}

std::vector<uint8_t> catalogBytes(const std::vector<std::pair<std::string, std::vector<std::string>>>& sets) {
  ResourceCatalog c;
  for (const auto& [name, pictures] : sets) c.entries.push_back(ResourceEntry{name, pictures, {}});
  return writeResourceCatalog(c);
}

std::string asString(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }

// A zip file of `entries` (name -> bytes); `links` are stored as Unix links.
void writeZip(const fs::path& path, const std::map<std::string, std::string>& entries,
              const std::set<std::string>& links = {}) {
  int code = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  ASSERT_NE(z, nullptr);
  for (const auto& [name, bytes] : entries) {
    char* copy = static_cast<char*>(std::malloc(bytes.size() + 1));
    std::memcpy(copy, bytes.data(), bytes.size());
    zip_source_t* s = zip_source_buffer(z, copy, bytes.size(), 1);
    const zip_int64_t index = zip_file_add(z, name.c_str(), s, ZIP_FL_ENC_RAW);
    ASSERT_GE(index, 0) << name << ": " << zip_strerror(z);
    if (links.count(name))
      zip_file_set_external_attributes(z, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                       static_cast<zip_uint32_t>(S_IFLNK | 0777) << 16);
  }
  ASSERT_EQ(zip_close(z), 0);
}

TEST(ModLayers, AFileIsTheTopLayersAndTheResourceListAndRulesAreMerged) {
  Scratch s;
  s.write("game/data/chara/a.dat", "game a");
  s.write("game/data/chara/b.dat", "game b");
  s.write("game/data/res.dat", asString(catalogBytes({{"ui", {"bg.png"}}, {"hero", {"0.png"}}})));
  s.write("game/data/rules.txt", "score guai01 = 10\nfirst-scene = Test\n");
  s.write("one/data/chara/a.dat", "one a");
  s.write("one/data/chara/c.dat", "one c");
  s.write("one/data/rules.txt", "score guai01 = 99\nscore guai03 = 30\n");
  // Set 1 replaced, sets 2 left empty (the game has none) and 3 added; set 0 is empty: the game's stays.
  s.write("one/data/res.dat",
          asString(catalogBytes({{"", {}}, {"hero2", {"x.png"}}, {"", {}}, {"guai03", {"idle.png"}}})));
  s.write("two/data/chara/a.dat", "two a");
  s.write("two/data/rules.txt", "score guai03 = 31\n");

  DataLayers layers(std::make_unique<GameFolderLayer>((s.root / "game").string()));
  std::string error;
  for (const char* mod : {"one", "two"}) {
    std::unique_ptr<ModFolder> folder = ModFolder::open((s.root / mod).string(), error);
    ASSERT_TRUE(folder) << error;
    layers.add(mod, std::move(folder));
  }
  struct Case {
    std::string file, expect, layer;
  } cases[] = {
      {"data/chara/a.dat", "two a", "two"},  // replaced twice: the later mod wins
      {"data/chara/b.dat", "game b", ""},    // only the game has it
      {"data/chara/c.dat", "one c", "one"},  // a mod adds it
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text(layers.read(c.file)), c.expect) << c.file;
    ASSERT_NE(layers.layerOf(c.file), nullptr);
    EXPECT_EQ(layers.layerOf(c.file)->name, c.layer) << c.file;
  }
  EXPECT_EQ(layers.layerOf("data/chara/none.dat"), nullptr);
  EXPECT_EQ(layers.shownPath("data/chara/c.dat"), "mod \"one\": data/chara/c.dat");
  EXPECT_EQ(layers.list("data/chara"), (std::vector<std::string>{"a.dat", "b.dat", "c.dat"}));

  Expected<std::vector<uint8_t>> res = layers.read("data/res.dat");
  ASSERT_TRUE(res) << res.error().message();
  Expected<ResourceCatalog> merged = parseResourceCatalog(*res, "merged");
  ASSERT_TRUE(merged);
  ASSERT_EQ(merged->entries.size(), 4u);
  EXPECT_EQ(merged->entries[0].name, "ui");
  EXPECT_EQ(merged->entries[1].name, "hero2");
  EXPECT_EQ(merged->entries[2].name, "");
  EXPECT_EQ(merged->entries[3].pictures, std::vector<std::string>{"idle.png"});

  Expected<GameRules> rules = readGameRules(&layers);
  ASSERT_TRUE(rules) << textLineMessage(rules.error());
  EXPECT_EQ(rules->firstScene, "Test");  // the game's line, no mod gives it again
  EXPECT_EQ(rules->valueOf("guai01").score, 99);  // the mod's line over the game's
  EXPECT_EQ(rules->valueOf("guai03").score, 31);  // the later mod's line over the earlier's

  // A key given twice in one layer is still a mistake, named with the mod's file and line.
  s.write("two/data/rules.txt", "score guai03 = 31\nscore guai03 = 32\n");
  Expected<GameRules> twice = readGameRules(&layers);
  ASSERT_FALSE(twice);
  EXPECT_EQ(textLineMessage(twice.error()).rfind("mod \"two\": data/rules.txt:2: ", 0), 0u)
      << textLineMessage(twice.error());
}

TEST(ModLayers, AReplayNamesItsModsAndIsRefusedWithoutThem) {
  ReplayFile file;
  std::string error;
  ASSERT_TRUE(parseReplay("seed 5\nmod alley 00000000000000ff\nmod night 0123456789abcdef\n1 down J\n", "r.txt",
                          file, error))
      << error;
  ASSERT_EQ(file.mods.size(), 2u);
  EXPECT_EQ(formatReplayMod(file.mods[0]), "mod alley 00000000000000ff");
  for (const char* bad : {"mod alley\n", "mod alley 12\n", "mod ../x 00000000000000ff\n",
                          "1 down J\nmod alley 00000000000000ff\n",
                          "mod alley 00000000000000ff\nmod alley 00000000000000fe\n"}) {
    EXPECT_FALSE(parseReplay(bad, "r.txt", file, error)) << bad;
    EXPECT_EQ(error.rfind("r.txt:", 0), 0u) << error;
  }

  auto use = [](const std::string& name, const std::string& hash) {
    ModUse u;
    u.info.name = name;
    u.hash = hash;
    return u;
  };
  const std::vector<ReplayMod> recorded = {{"alley", "00000000000000ff"}, {"night", "0123456789abcdef"}};
  struct Case {
    std::vector<ReplayMod> recorded;
    std::vector<ModUse> used;
    std::string differs;  // the start of the line, "" for none
  } cases[] = {
      {recorded, {use("alley", "00000000000000ff"), use("night", "0123456789abcdef")}, ""},
      {{}, {}, ""},
      {recorded, {use("alley", "00000000000000ff")}, "the replay was played with mod night, which is not in use"},
      {recorded, {use("alley", "00000000000000fe"), use("night", "0123456789abcdef")}, "mod alley is not the one"},
      {{}, {use("alley", "00000000000000ff")}, "the replay was played without mod alley"},
      {recorded, {use("night", "0123456789abcdef"), use("alley", "00000000000000ff")}, "the replay was played with the "
                                                                                         "same mods in another order"},
  };
  for (const Case& c : cases) {
    const std::string got = modsDifference(c.recorded, c.used);
    if (c.differs.empty())
      EXPECT_EQ(got, "");
    else
      EXPECT_EQ(got.rfind(c.differs, 0), 0u) << got;
  }
}

TEST(ModLayers, HostileModsAreRefusedWithOneLineAndNothingIsWritten) {
  Scratch s;
  setenv("XDG_DATA_HOME", (s.root / "xdg").c_str(), 1);
  s.write("xdg/tervalen/mods/alley/mod.txt", modText("alley"));
  s.write("good/mod.txt", modText("good"));
  s.write("good/data/chara/a.dat", "a");
  s.write("notamod.txt", "hello");
  s.write("damaged.zip", "PK\x03\x04 this is no zip");
  writeZip(s.root / "dotdot.zip", {{"mod.txt", modText("dotdot")}, {"../evil.dat", "x"}});
  writeZip(s.root / "absolute.zip", {{"mod.txt", modText("absolute")}, {"/etc/evil.dat", "x"}});
  writeZip(s.root / "link.zip", {{"mod.txt", modText("link")}, {"data/chara/a.dat", "/etc/passwd"}},
           {"data/chara/a.dat"});
  writeZip(s.root / "cases.zip", {{"mod.txt", modText("cases")}, {"data/A.dat", "x"}, {"data/a.dat", "y"}});
  s.write("cases/mod.txt", modText("cases"));
  s.write("cases/pak/X/hta/Idle.png", "x");
  s.write("cases/pak/X/hta/idle.png", "y");
  s.write("nomodtxt/data/chara/a.dat", "a");
  s.write("hugemodtxt/mod.txt", modText("huge") + "# " + std::string(5000, 'x') + "\n");
  s.write("gbkmodtxt/mod.txt", "name = gbk\ndescription = \xB0\xA1\ngame = 0.1\n");
  s.write("noname/mod.txt", "description = x\ngame = 0.1\n");
  s.write("badname/mod.txt", modText("../up"));
  s.write("linked/mod.txt", modText("linked"));
  fs::create_directories(s.root / "linked/data");
  fs::create_symlink("/etc/passwd", s.root / "linked/data/rules.txt");
  // A bomb: an entry that says it holds more than a mod may.
  writeZip(s.root / "bomb.zip", {{"mod.txt", modText("bomb")}, {"data/big.dat", std::string(64, 'x')}});
  {
    std::fstream f(s.root / "bomb.zip", std::ios::in | std::ios::out | std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    // The central directory entry of data/big.dat: its uncompressed size at offset 24.
    size_t at = bytes.find(std::string("PK\x01\x02", 4));
    while (at != std::string::npos && bytes.compare(at + 46, 12, "data/big.dat") != 0)
      at = bytes.find(std::string("PK\x01\x02", 4), at + 4);
    ASSERT_NE(at, std::string::npos);
    f.seekp(static_cast<std::streamoff>(at + 24));
    const char huge[4] = {'\xf0', '\xff', '\xff', '\x7f'};
    f.write(huge, 4);
  }

  struct Case {
    std::string mod, error;
  } cases[] = {
      {(s.root / "nowhere").string(), "no mod folder or zip file there, and no installed mod of that name (installed: alley)"},
      {"nosuchname", "no installed mod of that name (installed: alley)"},
      {(s.root / "notamod.txt").string(), "a mod is a folder or a .zip file, and this is neither"},
      {(s.root / "damaged.zip").string(), "not a zip file that can be read"},
      {(s.root / "dotdot.zip").string(), "\"../evil.dat\": a \"..\" in the path"},
      {(s.root / "absolute.zip").string(), "\"/etc/evil.dat\": an absolute path"},
      {(s.root / "link.zip").string(), "\"data/chara/a.dat\" is a link"},
      {(s.root / "cases.zip").string(), "differ only in case"},
      {(s.root / "cases").string(), "differ only in case"},
      {(s.root / "nomodtxt").string(), "the mod has no mod.txt"},
      {(s.root / "hugemodtxt").string(), "mod.txt: larger than 4096 bytes"},
      {(s.root / "gbkmodtxt").string(), "not UTF-8"},
      {(s.root / "noname").string(), "no name = ... line"},
      {(s.root / "badname").string(), "the name holds a character other than"},
      {(s.root / "linked").string(), "\"data/rules.txt\" is a link"},
      {(s.root / "bomb.zip").string(), "its files come to more than 512 MiB"},
  };
  std::vector<std::string> before;
  for (const auto& e : fs::recursive_directory_iterator(s.root)) before.push_back(e.path().string());
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(openMod(c.mod, error)) << c.mod;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.mod << "\n  got: " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
  std::vector<std::string> after;
  for (const auto& e : fs::recursive_directory_iterator(s.root)) after.push_back(e.path().string());
  EXPECT_EQ(before, after) << "opening mods writes nothing";

  // The installed mod by name, and two mods of one name.
  std::string error;
  std::optional<OpenedMod> alley = openMod("alley", error);
  ASSERT_TRUE(alley) << error;
  EXPECT_EQ(alley->use.info.description, "a mod of the tests");
  EXPECT_EQ(alley->use.hash.size(), 16u);
  DataLayers layers(std::make_unique<GameFolderLayer>((s.root / "game").string()));
  std::vector<ModUse> used;
  s.write("again/mod.txt", modText("good"));
  EXPECT_FALSE(layMods(layers, {(s.root / "good").string(), (s.root / "again").string()}, used, error));
  EXPECT_NE(error.find("two mods are named \"good\""), std::string::npos) << error;
  unsetenv("XDG_DATA_HOME");
}

TEST(ModLayers, CheckNamesTheModOfEachFindingAndItsClashes) {
  using namespace check_folder;
  GameFolder game(soundGame());
  Scratch s;
  s.write("mod/mod.txt", modText("clash"));
  s.write("mod/data/chara/guai01.dat", "garbage");  // a data file replaced with garbage
  s.write("mod/data/rules.txt", "score guai01 = 40\n");
  std::ofstream(game.root / "data/rules.txt") << "score guai01 = 10\n";
  // Set 2 given again under another name: the game's hero would show the mod's pictures.
  ResourceCatalog mine;
  mine.entries.resize(3);
  mine.entries[2] = ResourceEntry{"other", {"0.png"}, {}};
  std::vector<uint8_t> res = writeResourceCatalog(mine);
  s.write("mod/data/res.dat", asString(res));
  s.write("mod/pak/other/hta/0.png", "x");

  DataLayers layers(std::make_unique<GameFolderLayer>(game.root.string()));
  std::vector<ModUse> used;
  std::string error;
  ASSERT_TRUE(layMods(layers, {(s.root / "mod").string()}, used, error)) << error;
  const CheckReport r = checkGameFolder(game.root.string(), &layers);
  int garbage = 0;
  for (const CheckProblem& p : r.problems) garbage += p.file == "mod \"clash\": data/chara/guai01.dat";
  EXPECT_EQ(garbage, 1) << describe(r);
  expectProblem(r, "mod \"clash\": data/res.dat", "set 2", "is also given by data/res.dat as \"hero\"");
  ASSERT_EQ(r.notes.size(), 1u) << describe(r);
  EXPECT_EQ(r.notes[0].line(), "mod \"clash\": data/rules.txt: line 1: score guai01 = 40 overrides the rule of "
                               "data/rules.txt:1");

  // Without the mod, the same folder is sound: nothing was written into it.
  EXPECT_TRUE(game.check().problems.empty()) << describe(game.check());
}

}  // namespace
