// `check` on hostile game folders: ids that are not plain names, data files
// that are devices, FIFOs or links to them, absurd pack entries and scene
// sizes, bytes after the last record. Each folder gets one exact finding, and
// none of them passes as "ok" (trailing bytes excepted: the game copes, so
// check warns and passes).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <zip.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Command.h"
#include "PackWriter.h"
#include "check_folder.h"
#include "base/FileBytes.h"
#include "format/SceneFile.h"

namespace {

using namespace check_folder;

const std::string kSecondStageGbk = "\xB5\xDA\xB6\xFE\xB9\xD8";  // 第二关

// The compiled scene of a source, for changes the compiler would refuse.
SceneFile compiledScene(const std::string& source) {
  std::vector<uint8_t> bytes;
  TextError error;
  EXPECT_TRUE(compileDataText(source, DataKind::Scene, bytes, error)) << error.message;
  Expected<SceneFile> scene = parseSceneFile(bytes, "source");
  EXPECT_TRUE(scene.ok());
  return scene.ok() ? *scene : SceneFile{};
}

int runCheckCommand(const std::vector<std::string>& args, std::string& out, std::string& err) {
  for (const DataCommand& c : dataCommands()) {
    if (std::string(c.name) != "check") continue;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int rc = c.run(args);
    out = testing::internal::GetCapturedStdout();
    err = testing::internal::GetCapturedStderr();
    return rc;
  }
  ADD_FAILURE() << "no check command";
  return -1;
}

TEST(ToolchainCheckHostile, IdsThatAreNotPlainNamesAreRefusedWithFileAndPlace) {
  struct Case {
    std::string id, shown, why;
  };
  const Case cases[] = {
      {"../guai01", "../guai01", "it holds a folder separator"},
      {"/etc/passwd", "/etc/passwd", "it holds a folder separator"},
      {"..\\guai01", "..\\\\guai01", "it holds a folder separator"},
      {std::string("guai01\0../x", 11), "guai01\\x00../x", "it holds a NUL byte"},
      {"guai\x01", "guai\\x01", "it holds a control character"},
      {"", "", "it is empty"},
      {"..", "..", "it names a folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    auto g = soundGame();
    {
      // an enemy
      GameFolder game(g);
      SceneFile zd = compiledScene(g["data/scene/zd.dat"]);
      zd.charas[0].id = c.id;
      game.writeBytes("data/scene/zd.dat", writeSceneFile(zd));
      CheckReport r = game.check();
      expectLine(r, "data/scene/zd.dat: enemy 0: the character id \"" + c.shown + "\" is not a plain name: " + c.why +
                        "; the game makes nothing from it");
    }
    {
      // the prop character
      GameFolder game(g);
      SceneFile test = compiledScene(g["data/scene/Test.dat"]);
      test.propId = c.id;
      game.writeBytes("data/scene/Test.dat", writeSceneFile(test));
      expectLine(game.check(), "data/scene/Test.dat: prop-chara: the character id \"" + c.shown +
                                   "\" is not a plain name: " + c.why + "; the game makes nothing from it");
    }
    {
      // a door target
      GameFolder game(g);
      SceneFile test = compiledScene(g["data/scene/Test.dat"]);
      test.doors.push_back(test.doors[0]);
      test.doors[1].targetScene = c.id;
      game.writeBytes("data/scene/Test.dat", writeSceneFile(test));
      expectLine(game.check(), "data/scene/Test.dat: door 1: the target scene id \"" + c.shown +
                                   "\" is not a plain name: " + c.why + "; the door leads nowhere");
    }
  }
}

TEST(ToolchainCheckHostile, ADoorToDevZeroIsNotFollowed) {
  auto g = soundGame();
  GameFolder game(g);
  SceneFile test = compiledScene(g["data/scene/Test.dat"]);
  test.doors[0].targetScene = "../../../../../../dev/zero";
  game.writeBytes("data/scene/Test.dat", writeSceneFile(test));
  CheckReport r = game.check();
  expectLine(r, "data/scene/Test.dat: door 0: the target scene id \"../../../../../../dev/zero\" is not a plain name: "
                "it holds a folder separator; the door leads nowhere");
  expectLine(r, "data/scene/Test.dat: doors: the last scene \"zd\" cannot be reached from \"Test\" through doors: "
                "the game cannot be won");
  EXPECT_EQ(r.problems.size(), 2u) << describe(r);
}

TEST(ToolchainCheckHostile, GbkIdsResolveLikeTheGamesAndMissingOnesAreNamed) {
  auto g = soundGame();
  // Test -> 第二关 -> zd, all through GBK ids.
  g["data/scene/\u7B2C\u4E8C\u5173.dat"] = g["data/scene/Test.dat"];
  replace(g["data/scene/Test.dat"], "door \"zd\"", "door \"\u7B2C\u4E8C\u5173\"");
  {
    GameFolder game(g);
    CheckReport r = game.check();
    EXPECT_TRUE(r.problems.empty()) << describe(r);
    EXPECT_EQ(r.scenes, 3u);
  }
  g.erase("data/scene/\u7B2C\u4E8C\u5173.dat");
  GameFolder game(g);
  CheckReport r = game.check();
  expectLine(r, "data/scene/Test.dat: door 0: leads to scene \"\u7B2C\u4E8C\u5173\", but "
                "data/scene/\u7B2C\u4E8C\u5173.dat does not exist");
}

TEST(ToolchainCheckHostile, DataFilesThatAreDevicesFifosOrLinksToThemAreReportedNotRead) {
  {
    GameFolder game(soundGame());
    fs::remove(game.root / "data/chara/guai01.dat");
    fs::create_symlink("/dev/zero", game.root / "data/chara/guai01.dat");
    CheckReport r = game.check();
    expectLine(r, "data/chara/guai01.dat: -: cannot read: not a regular file");
    // the scenes that place it are not told a second, misleading story
    for (const CheckProblem& p : r.problems) EXPECT_EQ(p.message.find("does not exist"), std::string::npos) << p.line();
  }
  {
    GameFolder game(soundGame());
    fs::remove(game.root / "data/scene/zd.dat");
    ASSERT_EQ(::mkfifo(game.path("data/scene/zd.dat").c_str(), 0600), 0);
    expectLine(game.check(), "data/scene/zd.dat: -: cannot read: not a regular file");
  }
  {
    GameFolder game(soundGame());
    fs::remove(game.root / "data/res.dat");
    fs::create_symlink("/dev/zero", game.root / "data/res.dat");
    expectLine(game.check(), "data/res.dat: -: cannot read: not a regular file");
  }
  {
    GameFolder game(soundGame());
    ASSERT_EQ(::mkfifo(game.path("pak.zip").c_str(), 0600), 0);
    expectLine(game.check(), "pak.zip: -: not a regular file: the game cannot open it as its pack");
  }
  {
    GameFolder game(soundGame());
    fs::remove(game.root / "font1.fnt");
    fs::create_symlink("/dev/zero", game.root / "font1.fnt");
    fs::remove(game.root / "pak/ui/hte/bg.mp3");
    ASSERT_EQ(::mkfifo(game.path("pak/ui/hte/bg.mp3").c_str(), 0600), 0);
    CheckReport r = game.check();
    expectLine(r, "font1.fnt: -: the font of the score and the ending screen is not a regular file");
    expectLine(r, "pak/ui/hte/bg.mp3: -: the game loads this file, but it is not in pak.zip, and on disk it is not a "
                  "regular file");
  }
}

TEST(ToolchainCheckHostile, AMissingGameFolderIsOneLine) {
  CheckReport r = checkGameFolder("/nonexistent/tervalen");
  ASSERT_EQ(r.problems.size(), 1u) << describe(r);
  EXPECT_EQ(r.problems[0].line(), "/nonexistent/tervalen: -: the game folder does not exist");
  std::string out, err;
  EXPECT_EQ(runCheckCommand({"/nonexistent/tervalen"}, out, err), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "tervalen-data check: /nonexistent/tervalen: the game folder does not exist\n");
  EXPECT_EQ(runCheckCommand({"/dev/null"}, out, err), 1);
  EXPECT_EQ(err, "tervalen-data check: /dev/null: not a folder: the game folder holds data/, pak.zip and font1.fnt\n");
}

// A pack whose one entry is `size` zero bytes, deflated and encrypted as the game's packs are.
void writeDeflatedPack(const std::string& path, const std::string& name, size_t size) {
  std::vector<uint8_t> zeros(size, 0);
  int code = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  ASSERT_NE(z, nullptr);
  zip_source_t* src = zip_source_buffer(z, zeros.data(), zeros.size(), 0);
  ASSERT_NE(src, nullptr);
  const zip_int64_t index = zip_file_add(z, name.c_str(), src, ZIP_FL_ENC_RAW);
  ASSERT_GE(index, 0);
  ASSERT_EQ(zip_set_file_compression(z, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9), 0);
  ASSERT_EQ(zip_file_set_encryption(z, static_cast<zip_uint64_t>(index), ZIP_EM_TRAD_PKWARE, kGamePackPassword), 0);
  ASSERT_EQ(zip_close(z), 0);
}

TEST(ToolchainCheckHostile, PackEntriesFarBeyondAnyPictureAreReported) {
  GameFolder game(soundGame());
  writeDeflatedPack(game.path("pak.zip"), "pak/ui/hta/base.png", (64u << 20) + 1);
  ASSERT_LT(fs::file_size(game.root / "pak.zip"), 1u << 20);  // small on disk, huge inflated
  CheckReport r = game.check();
  expectLine(r, "pak.zip: pak/ui/hta/base.png: holds 67108865 bytes uncompressed, far beyond any picture or sound "
                "(at most 64 MiB)");
  EXPECT_EQ(r.problems.size(), 1u) << describe(r);
  EXPECT_EQ(r.packFiles, 1u);

  // A picture on disk as large is reported too.
  GameFolder loose(soundGame());
  fs::resize_file(loose.root / "pak/hero/hta/1.png", (64u << 20) + 1);  // sparse: no disk space used
  expectLine(loose.check(), "data/res.dat: set 2 \"hero\" picture 1: pak/hero/hta/1.png is not in pak.zip, and on disk "
                            "it is 67108865 bytes, far beyond any picture or sound (at most 64 MiB)");
}

TEST(ToolchainCheckHostile, AbsurdSceneGeometryIsReported) {
  struct Case {
    std::string from, to, line;
  };
  const Case cases[] = {
      {"size width=1600 depth=200", "size width=-2147483648 depth=200",
       "data/scene/Test.dat: size: width=-2147483648 is outside 1 to 1000000: the ground, its border walls and the "
       "camera need a real size"},
      {"size width=1600 depth=200", "size width=1600 depth=0",
       "data/scene/Test.dat: size: depth=0 is outside 1 to 1000000: the ground, its border walls and the camera need a "
       "real size"},
      {"size width=1600 depth=200", "size width=1000001 depth=200",
       "data/scene/Test.dat: size: width=1000001 is outside 1 to 1000000: the ground, its border walls and the camera "
       "need a real size"},
      {"wall x=800 z=20 width=100", "wall x=800 z=20 width=-100",
       "data/scene/Test.dat: wall 0: width=-100 is negative: the game's wall test needs a size of 0 or more"},
      {"enemy \"guai01\" x=600", "enemy \"guai01\" x=2147483647",
       "data/scene/Test.dat: enemy 0: x=2147483647 is far beyond any scene (at most 1000000 either way)"},
      {"entry-x=100", "entry-x=-5000000",
       "data/scene/Test.dat: door 0: entry-x=-5000000 is far beyond any scene (at most 1000000 either way)"},
      {"far x=0 y=0", "far x=0 y=1000001",
       "data/scene/Test.dat: far 0: y=1000001 is far beyond any scene (at most 1000000 either way)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    auto g = soundGame();
    replace(g["data/scene/Test.dat"], c.from, c.to);
    GameFolder game(g);
    CheckReport r = game.check();
    expectLine(r, c.line);
    EXPECT_EQ(r.problems.size(), 1u) << describe(r);
  }
}

TEST(ToolchainCheckHostile, TrailingBytesAreAWarningNotAFailure) {
  auto g = soundGame();
  GameFolder game(g);
  for (const char* file : {"data/chara/guai01.dat", "data/scene/zd.dat", "data/res.dat"}) {
    Expected<std::vector<uint8_t>> bytes = readFileBytes(game.path(file));
    ASSERT_TRUE(bytes.ok());
    std::vector<uint8_t> longer = *bytes;
    longer.push_back(0x00);
    longer.push_back(0x7F);
    game.writeBytes(file, longer);
  }
  CheckReport r = game.check();
  EXPECT_TRUE(r.problems.empty()) << describe(r);
  ASSERT_EQ(r.warnings.size(), 3u) << describe(r);
  const std::string size = std::to_string(fs::file_size(game.root / "data/chara/guai01.dat") - 2);
  EXPECT_EQ(r.warnings[0].warningLine(),
            "data/chara/guai01.dat: offset " + size + ": warning: 2 bytes after the last record are ignored by the game");
  EXPECT_EQ(r.warnings[1].file, "data/res.dat");
  EXPECT_EQ(r.warnings[2].file, "data/scene/zd.dat");
  EXPECT_EQ(r.summary(), "ok: 4 characters, 2 scenes, 4 picture sets, 0 files in the pack; 3 warnings");

  std::string out, err;
  EXPECT_EQ(runCheckCommand({game.root.string()}, out, err), 0);
  EXPECT_NE(out.find("data/scene/zd.dat: offset "), std::string::npos) << out;
  EXPECT_NE(out.find("\nok: 4 characters, 2 scenes, 4 picture sets, 0 files in the pack; 3 warnings\n"),
            std::string::npos)
      << out;
}

TEST(ToolchainCheckHostile, HitSparksComeFromTheFileTheGameTruncatesTo) {
  // The game truncates `from` of a hit: 0.5 is the attacker's own file, 1.5 the system file.
  auto g = soundGame();
  replace(g["data/chara/guai01.dat"], "from=own spark=14", "from=0.5 spark=3");
  GameFolder game(g);
  expectLine(game.check(),
             "data/chara/guai01.dat: action 13 instruction 1: hit spark action 3 of this file is empty");

  auto g2 = soundGame();
  replace(g2["data/chara/guai01.dat"], "from=own spark=14", "from=1.5 spark=3");
  GameFolder game2(g2);
  CheckReport r = game2.check();
  EXPECT_TRUE(r.problems.empty()) << describe(r);
}

}  // namespace
