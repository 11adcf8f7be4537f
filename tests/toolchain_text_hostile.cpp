// The text compiler against hostile sources and files: ids that are not plain
// names are refused at their line and column, nesting is limited instead of
// exhausting the stack, and bytes after the last record survive the round trip.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Command.h"
#include "DataText.h"
#include "TextStatements.h"
#include "format/CharaData.h"
#include "format/ResourceCatalog.h"
#include "format/SceneFile.h"
#include "format/SystemData.h"

namespace fs = std::filesystem;

namespace {

const char* const kSceneHead = "scene \"Test\"\nsize width=800 depth=200\npicture-set 0\n";

// The error of a source that must not compile: "line:column: message".
std::string compileError(const std::string& source) {
  std::vector<uint8_t> bytes;
  TextError error;
  if (compileDataText(source, std::nullopt, bytes, error)) return "compiled";
  EXPECT_TRUE(bytes.empty());
  return std::to_string(error.pos.line) + ":" + std::to_string(error.pos.column) + ": " + error.message;
}

TEST(ToolchainTextIds, IdsThatAreNotPlainNamesAreRefusedAtTheirLineAndColumn) {
  struct Case {
    std::string text, why;
  };
  const Case cases[] = {
      {"../guai01", "it holds a folder separator"},
      {"/etc/passwd", "it holds a folder separator"},
      {"..\\\\guai01", "it holds a folder separator"},
      {"guai01\\x00../x", "it holds a NUL byte"},
      {"guai\\x01", "it holds a control character"},
      {"guai\\n01", "it holds a control character"},
      {"..", "it names a folder"},
      {".", "it names a folder"},
      {"\\x81", "it is not valid GBK text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    // The escaped form the message shows: the source's own escapes, "\\" for a backslash.
    std::string shown = c.text;
    if (c.text == "guai\\n01") shown = "guai\\x0A01";
    EXPECT_EQ(compileError(std::string(kSceneHead) + "enemy \"" + c.text + "\" x=1 z=2\n"),
              "4:7: enemy id \"" + shown + "\" is not a plain name: " + c.why);
    EXPECT_EQ(compileError(std::string(kSceneHead) + "door \"" + c.text + "\" x=1 z=2 entry-x=3 entry-z=4\n"),
              "4:6: door target \"" + shown + "\" is not a plain name: " + c.why);
    EXPECT_EQ(compileError(std::string(kSceneHead) + "prop-chara \"" + c.text + "\"\n"),
              "4:12: prop character id \"" + shown + "\" is not a plain name: " + c.why);
  }
  EXPECT_EQ(compileError(std::string(kSceneHead) + "enemy \"\" x=1 z=2\n"),
            "4:7: enemy id \"\" is not a plain name: it is empty");
  EXPECT_EQ(compileError(std::string(kSceneHead) + "enemy \"" + std::string(128, 'a') + "\" x=1 z=2\n"),
            "4:7: enemy id: 128 bytes in GBK; a name holds at most 127");
}

TEST(ToolchainTextIds, PlainIdsInGbkAndAnEmptyPropCharacterWithoutPropsCompile) {
  std::vector<uint8_t> bytes;
  TextError error;
  ASSERT_TRUE(compileDataText(std::string(kSceneHead) +
                                  "prop-chara \"\"\n"
                                  "enemy \"\u602A\u7269\" x=1 z=2\n"                       // 怪物
                                  "enemy \"" + std::string(127, 'a') + "\" x=1 z=2\n"
                                  "door \"\u7B2C\u4E8C\u5173\" x=1 z=2 entry-x=3 entry-z=4\n",  // 第二关
                              DataKind::Scene, bytes, error))
      << error.pos.line << ":" << error.pos.column << ": " << error.message;
  Expected<SceneFile> scene = parseSceneFile(bytes, "s");
  ASSERT_TRUE(scene.ok());
  EXPECT_EQ(scene->charas[0].id, "\xB9\xD6\xCE\xEF");
  EXPECT_EQ(scene->doors[0].targetScene, "\xB5\xDA\xB6\xFE\xB9\xD8");

  // Props need their character.
  EXPECT_EQ(compileError(std::string(kSceneHead) + "prop-chara \"\"\nprop x=1 z=2\n"),
            "4:1: the scene has props, so it needs the character they are made from: prop-chara \"crate\"");
  EXPECT_EQ(compileError(std::string(kSceneHead) + "prop x=1 z=2\n"),
            "1:1: the scene has props, so it needs the character they are made from: prop-chara \"crate\"");
}

TEST(ToolchainTextIds, DecompileMarksAnIdTheGameRefusesAndCompileRefusesIt) {
  SceneFile s;
  s.name = "Test";
  s.width = 800;
  s.depth = 200;
  s.propId = "../../etc/x";
  s.props.push_back({1, 2, 0, 0});
  s.charas.push_back({std::string("a\0b", 3), 5, 6, 0});
  s.doors.push_back({"../../dev/zero", 1, 2, 3, 4});
  Expected<std::string> text = decompileData(writeSceneFile(s), "Test.dat", DataKind::Scene);
  ASSERT_TRUE(text.ok());
  EXPECT_NE(text->find("# not a plain name (it holds a folder separator): the game does not use this id, and compile "
                       "refuses it\nprop-chara \"../../etc/x\"\n"),
            std::string::npos)
      << *text;
  EXPECT_NE(text->find("# not a plain name (it holds a NUL byte): the game does not use this id, and compile refuses "
                       "it\nenemy \"a\\x00b\" x=5 z=6\n"),
            std::string::npos)
      << *text;
  EXPECT_NE(text->find("# not a plain name (it holds a folder separator): the game does not use this id, and compile "
                       "refuses it\ndoor \"../../dev/zero\" x=1 z=2 entry-x=3 entry-z=4\n"),
            std::string::npos)
      << *text;
  EXPECT_NE(compileError(*text).find(": prop character id \"../../etc/x\" is not a plain name"), std::string::npos)
      << *text;
}

// ---- nesting ----

std::string nestedList(int depth) {
  return "chara \"x\"\nhp 1\npicture-set 0\naction 0 {\n  op 1 " + std::string(static_cast<size_t>(depth), '(') +
         std::string(static_cast<size_t>(depth), ')') + "\n}\n";
}

TEST(ToolchainTextNesting, BlocksAndListsNestAtMost64Deep) {
  EXPECT_EQ(kMaxTextNesting, 64);
  // The action's block is one level: 63 lists fit inside it, the 64th does not.
  EXPECT_EQ(compileError(nestedList(63)), "5:9: op arguments: expected a number, found a list");
  EXPECT_EQ(compileError(nestedList(64)), "5:71: '(' nests deeper than 64 levels of ( and {");
  // The reproducer: 18,000 nested '(' overflowed the stack.
  EXPECT_EQ(compileError(nestedList(18000)), "5:71: '(' nests deeper than 64 levels of ( and {");
  // Calls nest the same way.
  std::string calls = "chara \"x\"\nhp 1\npicture-set 0\naction 0 {\n  op 1 (";
  for (int i = 0; i < 100; ++i) calls += "bits(";
  EXPECT_EQ(compileError(calls + "\n}\n"), "5:323: '(' nests deeper than 64 levels of ( and {");
  // Blocks too.
  std::string blocks = "chara \"x\"\nhp 1\npicture-set 0\n";
  for (int i = 0; i < 5000; ++i) blocks += "action 0 {\n";
  EXPECT_EQ(compileError(blocks), "68:10: '{' nests deeper than 64 levels of ( and {");
}

// ---- bytes after the last record ----

void expectKeptTrailingBytes(const std::vector<uint8_t>& file, DataKind kind) {
  SCOPED_TRACE(textKindName(kind));
  Expected<std::string> text = decompileData(file, "f", kind);
  ASSERT_TRUE(text.ok()) << text.error().message();
  const std::string expected =
      "\n# 3 bytes after the last record: the game ignores them; kept so the file compiles back byte for byte\n"
      "trailing \"\\x00\\x7F\\xFF\"\n";
  ASSERT_GE(text->size(), expected.size());
  EXPECT_EQ(text->substr(text->size() - expected.size()), expected) << *text;
  std::vector<uint8_t> back;
  TextError error;
  ASSERT_TRUE(compileDataText(*text, kind, back, error)) << error.message << "\n" << *text;
  EXPECT_EQ(back, file);
  EXPECT_EQ(compileError(*text + "trailing \"\"\n").substr(compileError(*text + "trailing \"\"\n").find(": ") + 2),
            "trailing given twice");
}

TEST(ToolchainTextTrailing, EveryKindOfFileKeepsItsTrailingBytesThroughTheText) {
  const std::string bytes("\x00\x7F\xFF", 3);
  CharaData chara;
  chara.name = "guai01";
  chara.actions.resize(1);
  chara.trailing = bytes;
  expectKeptTrailingBytes(writeCharaFile(chara), DataKind::Chara);
  SceneFile scene;
  scene.name = "Test";
  scene.doors.push_back({"zd", 1, 2, 3, 4});
  scene.trailing = bytes;
  expectKeptTrailingBytes(writeSceneFile(scene), DataKind::Scene);
  ResourceCatalog catalog;
  catalog.entries.push_back({"ui", {"bg.png"}, {}});
  catalog.trailing = bytes;
  expectKeptTrailingBytes(writeResourceCatalog(catalog), DataKind::Res);
  SystemData system;
  system.strings = {"Tervalen"};
  system.trailing = bytes;
  expectKeptTrailingBytes(writeSystemData(system), DataKind::System);
}

TEST(ToolchainTextTrailing, TheStatementMayStandAnywhereAtTheTopLevel) {
  std::vector<uint8_t> a, b;
  TextError error;
  ASSERT_TRUE(compileDataText("chara \"x\"\ntrailing \"\\x01\"\nhp 1\npicture-set 0\n", std::nullopt, a, error))
      << error.message;
  ASSERT_TRUE(compileDataText("chara \"x\"\nhp 1\npicture-set 0\ntrailing \"\\x01\"\n", std::nullopt, b, error));
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.back(), 1);
  EXPECT_EQ(compileError("chara \"x\"\nhp 1\npicture-set 0\ntrailing 5\n"), "4:1: trailing needs a \"string\" of bytes");
}

// ---- through the commands ----

int runCommand(const char* name, const std::vector<std::string>& args, std::string& err) {
  for (const DataCommand& c : dataCommands()) {
    if (std::string(c.name) != name) continue;
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    const int rc = c.run(args);
    err = testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    return rc;
  }
  ADD_FAILURE() << "no command " << name;
  return -1;
}

TEST(ToolchainTextIds, TheCompileCommandNamesFileLineAndColumnAndWritesNothing) {
  const fs::path dir = fs::temp_directory_path() / ("tervalen-textids-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string source = (dir / "Test.txt").string();
  std::ofstream(source) << kSceneHead << "prop-chara \"crate\"\n"
                        << "door \"../../dev/zero\" x=1550 z=100 entry-x=100 entry-z=100\n";
  const std::string out = (dir / "Test.dat").string();
  std::string err;
  EXPECT_EQ(runCommand("compile", {source, "-o", out}, err), 1);
  EXPECT_EQ(err, source + ":5:6: door target \"../../dev/zero\" is not a plain name: it holds a folder separator\n");
  EXPECT_FALSE(fs::exists(out));
  fs::remove_all(dir);
}

}  // namespace
