// The text form of the data files: what each statement means in the binary
// file, the canonical printing, and the errors a modder sees.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "Command.h"
#include "DataText.h"
#include "base/FileBytes.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> compileOk(const std::string& source) {
  std::vector<uint8_t> bytes;
  TextError error;
  EXPECT_TRUE(compileDataText(source, std::nullopt, bytes, error))
      << error.pos.line << ":" << error.pos.column << ": " << error.message;
  return bytes;
}

CharaData charaOf(const std::string& source) {
  std::vector<uint8_t> bytes = compileOk(source);
  Expected<CharaData> data = parseCharaFile(bytes, "test");
  EXPECT_TRUE(data.ok()) << data.error().message();
  return data.ok() ? *data : CharaData{};
}

std::string canonical(const std::string& source) {
  std::string out;
  TextError error;
  EXPECT_TRUE(canonicalText(source, std::nullopt, out, error)) << error.message;
  return out;
}

// "line:column: message" of a source that must not compile.
std::string errorOf(const std::string& source) {
  std::vector<uint8_t> bytes;
  TextError error;
  if (compileDataText(source, std::nullopt, bytes, error)) return "compiled";
  EXPECT_TRUE(bytes.empty());
  return std::to_string(error.pos.line) + ":" + std::to_string(error.pos.column) + ": " + error.message;
}

const char* kHeader = "chara \"t\"\nhp 1\npicture-set 0\n";

TEST(ToolchainText, TheSmallestCharacterFileReadsAsText) {
  // name "ab", hp 100, picture set 3, one action "x" holding frame 0 for 5 ticks.
  std::vector<uint8_t> file = {0x02, 'a', 'b', 0x64, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 1, 'x', 1, 0, 0, 0,
                               0, 0, 0, 0, 4, 0, 0, 0};
  const double args[4] = {0.0, 5.0, 0.0, 0.0};
  for (double d : args) {
    uint64_t bits = std::bit_cast<uint64_t>(d);
    for (int i = 0; i < 8; ++i) file.push_back(static_cast<uint8_t>(bits >> (8 * i)));
  }
  for (int i = 0; i < 8; ++i) file.push_back(0);
  ASSERT_EQ(file.size(), 69u);
  EXPECT_EQ(file[43], 0x14);
  EXPECT_EQ(file[44], 0x40);
  Expected<std::string> text = decompileData(file, "ab.dat", DataKind::Chara);
  ASSERT_TRUE(text.ok()) << text.error().message();
  EXPECT_EQ(*text,
            "chara \"ab\"\nhp 100\npicture-set 3\nreactions\n\n"
            "action 0 \"x\" {\n  frame 0 ticks=5\n}\n");
  std::vector<uint8_t> back = compileOk(*text);
  EXPECT_EQ(back, file);
}

TEST(ToolchainText, EachInstructionPutsItsArgumentsInTheGamesOrder) {
  CharaData d = charaOf(std::string(kHeader) +
                        "action 0 {\n"
                        "  frame 7 ticks=6 dx=-3 dy=2\n"
                        "  move vx=1 vy=2 vz=3 keep-vx=4 keep-vy=5 keep-vz=6 ax=7 ay=8 az=9 keep-ax=10 keep-ay=11 "
                        "keep-az=12 mode=add\n"
                        "  body x=1 y=2 w=3 h=4 d=5\n"
                        "  attack x=1 y=2 w=3 h=4 d=5 damage=6\n"
                        "  hit ground=1 air=2 push-x=3 push-y=4 freeze=5 self-freeze=6 from=system spark=8\n"
                        "  spawn from=own action=2 pc=3 dx=4 dy=5\n"
                        "  sound from=system number=2\n"
                        "  jump on=hit action=2 pc=3\n"
                        "  goto action=1 pc=2\n"
                        "  nop\n"
                        "  tint a=1 r=2 g=3 b=4\n"
                        "  op -5 (1.5, 2)\n"
                        "}\n");
  ASSERT_EQ(d.actions.size(), 1u);
  const std::vector<Instruction>& c = d.actions[0].codes;
  ASSERT_EQ(c.size(), 12u);
  using V = std::vector<double>;
  EXPECT_EQ(c[0].opcode, 0);
  EXPECT_EQ(c[0].args, (V{7, 6, -3, 2}));
  EXPECT_EQ(c[1].opcode, 1);
  EXPECT_EQ(c[1].args, (V{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1}));
  EXPECT_EQ(c[2].args, (V{1, 2, 3, 4, 5}));
  EXPECT_EQ(c[3].args, (V{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(c[4].opcode, 4);
  EXPECT_EQ(c[4].args, (V{1, 2, 3, 4, 5, 6, 1, 8}));
  EXPECT_EQ(c[5].opcode, 5);
  EXPECT_EQ(c[5].args, (V{0, 2, 3, 4, 5}));
  EXPECT_EQ(c[6].args, (V{1, 2}));
  EXPECT_EQ(c[7].opcode, 7);
  EXPECT_EQ(c[7].args, (V{1, 2, 3}));
  EXPECT_EQ(c[8].opcode, 8);
  EXPECT_EQ(c[8].args, (V{1, 2}));
  EXPECT_EQ(c[9].opcode, 9);
  EXPECT_TRUE(c[9].args.empty());
  EXPECT_EQ(c[10].opcode, 10);
  EXPECT_EQ(c[10].args, (V{1, 2, 3, 4}));
  EXPECT_EQ(c[11].opcode, -5);
  EXPECT_EQ(c[11].args, (V{1.5, 2}));
}

TEST(ToolchainText, ArgumentsMayBeGivenInOrderAndLeftOutOnesAreZero) {
  CharaData a = charaOf(std::string(kHeader) + "action 0 {\n  frame 3 6\n  move vx=2\n  jump land 5 0\n}\n");
  CharaData b = charaOf(std::string(kHeader) + "action 0 {\n  frame pic=3 ticks=6 dx=0 dy=0\n"
                                               "  move 2 0 0 0 0 0 0 0 0 0 0 0 set\n  jump on=0 action=5 pc=0\n}\n");
  ASSERT_EQ(a.actions.size(), 1u);
  ASSERT_EQ(b.actions.size(), 1u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(a.actions[0].codes[i].opcode, b.actions[0].codes[i].opcode);
    EXPECT_EQ(a.actions[0].codes[i].args, b.actions[0].codes[i].args);
  }
  EXPECT_EQ(a.actions[0].codes[1].args.size(), 13u);
  EXPECT_EQ(a.actions[0].codes[1].args[0], 2.0);
}

TEST(ToolchainText, ExtraArgumentsAndAnyOpcodeAreKept) {
  CharaData d = charaOf(std::string(kHeader) +
                        "action 0 {\n  tint 255 0 0 0 extra=(9, 8)\n  op 1000 ()\n  op 0 (1)\n  nop count=-3\n}\n");
  const std::vector<Instruction>& c = d.actions[0].codes;
  EXPECT_EQ(c[0].args, (std::vector<double>{255, 0, 0, 0, 9, 8}));
  EXPECT_EQ(c[1].opcode, 1000);
  EXPECT_TRUE(c[1].args.empty());
  EXPECT_EQ(c[2].args, (std::vector<double>{1}));
  // the file holds the argument count -3 for the nop
  std::vector<uint8_t> bytes = compileOk(std::string(kHeader) + "action 0 {\n  nop count=-3\n}\n");
  const uint8_t minus3[4] = {0xFD, 0xFF, 0xFF, 0xFF};
  ASSERT_GE(bytes.size(), 12u);
  EXPECT_TRUE(std::equal(minus3, minus3 + 4, bytes.end() - 8 - 4)) << "argument count";
}

TEST(ToolchainText, ActionsAreNumberedAndGapsAreEmptyActions) {
  CharaData d = charaOf(std::string(kHeader) + "action 3 \"late\" {\n  nop\n}\naction 1 \"early\" {}\n");
  ASSERT_EQ(d.actions.size(), 4u);
  EXPECT_EQ(d.actions[0].name, "");
  EXPECT_TRUE(d.actions[0].codes.empty());
  EXPECT_EQ(d.actions[1].name, "early");
  EXPECT_EQ(d.actions[3].name, "late");
  EXPECT_EQ(d.actions[3].codes.size(), 1u);
}

TEST(ToolchainText, HandWrittenSourceBecomesItsCanonicalForm) {
  std::string source =
      "# an enemy\n"
      "chara   \"guai\"  # name\n"
      "picture-set 3\n"
      "hp 120\n"
      "ai dz=0..15 dx=0..80 action=13 chance=30\n"
      "reactions 20 21 22\n"
      "action 2 \"b\" {\n"
      "  frame 1 10 0 -2\n"
      "  hit 1 2 -3 0 8 6 1 3\n"
      "}\n"
      "action 0 \"a\" { \n"
      "  goto pc=0 action=0\n"
      "}\n";
  EXPECT_EQ(canonical(source),
            "chara \"guai\"\nhp 120\npicture-set 3\nreactions 20 21 22\n\n"
            "action 0 \"a\" {\n  goto action=0 pc=0\n}\n\n"
            "action 2 \"b\" {\n  frame 1 ticks=10 dy=-2\n"
            "  hit ground=1 air=2 push-x=-3 push-y=0 freeze=8 self-freeze=6 from=system spark=3\n}\n\n"
            "ai dx=0..80 dz=0..15 chance=30 action=13\n");
  // and the canonical form is a fixed point
  EXPECT_EQ(canonical(canonical(source)), canonical(source));
}

TEST(ToolchainText, OddDoublesAreWrittenSoTheyReadBackExactly) {
  std::string source = std::string(kHeader) +
                       "action 0 {\n  op 50 (-0, nan, inf, -inf, 1e+300, 5e-324, 0.1, bits(0x7FF0000000000001), "
                       "bits(0xFFF8000000000000), 2.2250738585072009e-308)\n}\n";
  CharaData d = charaOf(source);
  const std::vector<double>& a = d.actions[0].codes[0].args;
  ASSERT_EQ(a.size(), 10u);
  EXPECT_EQ(std::bit_cast<uint64_t>(a[0]), 0x8000000000000000ull);
  EXPECT_EQ(std::bit_cast<uint64_t>(a[1]), 0x7FF8000000000000ull);
  EXPECT_EQ(a[2], INFINITY);
  EXPECT_EQ(a[3], -INFINITY);
  EXPECT_EQ(a[4], 1e300);
  EXPECT_EQ(std::bit_cast<uint64_t>(a[5]), 1ull);
  EXPECT_EQ(a[6], 0.1);
  EXPECT_EQ(std::bit_cast<uint64_t>(a[7]), 0x7FF0000000000001ull);
  EXPECT_EQ(std::bit_cast<uint64_t>(a[8]), 0xFFF8000000000000ull);
  EXPECT_EQ(std::bit_cast<uint64_t>(a[9]), 0x000FFFFFFFFFFFFFull);
  std::string text = canonical(source);
  EXPECT_NE(text.find("op 50 (-0, nan, inf, -inf, 1e+300, 5e-324, 0.1, bits(0x7ff0000000000001), "
                      "bits(0xfff8000000000000), 2.225073858507201e-308)"),
            std::string::npos)
      << text;
}

TEST(ToolchainText, NamesAreUtf8InTheSourceAndGbkInTheFile) {
  CharaData d = charaOf("chara \"测试\"\nhp 1\npicture-set 0\naction 0 \"\\xFF\\x01\\\"q\\\\\" {}\n");
  EXPECT_EQ(d.name, std::string("\xB2\xE2\xCA\xD4"));
  EXPECT_EQ(d.actions[0].name, std::string("\xFF\x01\"q\\"));
  std::string text = canonical("chara \"测试\"\nhp 1\npicture-set 0\naction 0 \"\\xFF\\x01\\\"q\\\\\" {}\n");
  EXPECT_NE(text.find("chara \"测试\""), std::string::npos) << text;
  EXPECT_NE(text.find("action 0 \"\\xFF\\x01\\\"q\\\\\" {}"), std::string::npos) << text;
}

TEST(ToolchainText, MalformedSourcesReportLineAndColumn) {
  const std::string h = kHeader;  // three lines
  struct Case {
    std::string source, expected;
  };
  const Case cases[] = {
      {"", "1:1: the source is empty"},
      {"monster \"x\"\n", "1:1: unknown kind of source 'monster'"},
      {"chara \"x\"\npicture-set 0\n", "1:1: the character has no hp line"},
      {h + "hp 2\n", "4:1: hp given twice"},
      {h + "action 0 {\n  fram 1 2\n}\n", "5:3: unknown instruction 'fram'"},
      {h + "action 0 {\n  frame 1 ticks=2 speed=3\n}\n", "5:19: 'frame' has no field 'speed'"},
      {h + "action 0 {\n  frame 1 2 3 4 5\n}\n", "5:17: too many values for 'frame'"},
      {h + "action 0 {\n  frame 1 pic=2\n}\n", "5:15: 'pic' is already given by position"},
      {h + "action 0 {\n  body x=1 x=2\n}\n", "5:12: 'x' given twice"},
      {h + "action 0 {\n  goto action=1e400 pc=0\n}\n", "5:15: goto action: '1e400' is not a decimal number"},
      {h + "action 0 {\n  frame 1 ticks=2\n", "6:1: '}' missing"},
      {h + "}\n", "4:1: '}' without a block"},
      {h + "action 0 {}\naction 0 {}\n", "5:8: action 0 is defined twice"},
      {h + "action 1\n", "4:1: action 1 needs a { ... } block"},
      {h + "reactions 1 2.5\n", "4:13: reaction: '2.5' is not a whole number"},
      {"chara \"t\"\nhp 99999999999\n", "2:4: hp: '99999999999' is not a whole number"},
      {h + "ai dx=0..5 chance=1 action=2\n", "4:1: ai needs dz=LOW..HIGH"},
      {"chara \"x\nhp 1\n", "1:7: string not closed"},
      {"chara \"a\\qb\"\n", "1:9: unknown escape"},
      {"chara \"\xF0\x9F\x98\x80\"\n", "1:8: character U+1F600 has no GBK form"},
      {"chara \"\xFF\"\n", "1:8: the source is not valid UTF-8"},
      {"chara \"" + std::string(128, 'a') + "\"\n", "1:7: character name: 128 bytes in GBK; a name holds at most 127"},
      {h + "count actions=-2\naction 0 {}\n", "4:1: count actions= is only for a character without actions"},
      {h + "count actions=3\n", "4:15: only a count of 0 or less"},
      {h + "action 0 {\n  frame 1 2; frame 3 4\n}\n", "5:12: unexpected character ';'"},
      {"scene \"s\"\nsize width=10\npicture-set 0\n", "2:1: 'size' needs depth=N"},
      // A list may skip ahead (a mod's own sets), never back.
      {"resources\nset 2 \"a\" {}\nset 1 \"b\" {}\n", "3:5: set 1 is out of order"},
      {"system\nstring 5\n", "2:8: string: expected a \"string\""},
  };
  for (const Case& c : cases) {
    std::string got = errorOf(c.source);
    EXPECT_EQ(got.rfind(c.expected, 0), 0u) << "source:\n" << c.source << "\ngot: " << got << "\nwanted: " << c.expected;
  }
}

TEST(ToolchainText, SceneStatementsFillTheirFieldsInFileOrder) {
  std::vector<uint8_t> bytes = compileOk(
      "scene \"Test\"\nsize width=1600 depth=200\npicture-set 5\nprop-chara \"crate\"\nbackground 2\n"
      "far x=1 y=2 picture=3\nmiddle x=4 y=5 picture=6\nnear x=7 y=8 picture=9\n"
      "prop x=300 z=150 y=-20 action=4\nenemy \"guai01\" x=600 z=120\n"
      "wall x=500 z=100 width=100 depth=40 height=80\ndoor \"Next\" x=1550 z=100 entry-x=11 entry-z=12\n");
  Expected<SceneFile> s = parseSceneFile(bytes, "test");
  ASSERT_TRUE(s.ok()) << s.error().message();
  EXPECT_EQ(s->name, "Test");
  EXPECT_EQ(s->width, 1600);
  EXPECT_EQ(s->depth, 200);
  EXPECT_EQ(s->pictureSet, 5);
  EXPECT_EQ(s->propId, "crate");
  EXPECT_EQ(s->backgroundTexture, 2);
  ASSERT_EQ(s->far.size(), 1u);
  EXPECT_EQ(s->far[0].texture, 3);
  EXPECT_EQ(s->middle[0].x, 4);
  EXPECT_EQ(s->near[0].y, 8);
  ASSERT_EQ(s->props.size(), 1u);
  EXPECT_EQ(s->props[0].x, 300);
  EXPECT_EQ(s->props[0].z, 150);
  EXPECT_EQ(s->props[0].y, -20);
  EXPECT_EQ(s->props[0].action, 4);
  EXPECT_EQ(s->charas[0].id, "guai01");
  EXPECT_EQ(s->walls[0].depth, 40);
  EXPECT_EQ(s->walls[0].height, 80);
  EXPECT_EQ(s->doors[0].targetScene, "Next");
  EXPECT_EQ(s->doors[0].entryX, 11);
  EXPECT_EQ(s->doors[0].entryZ, 12);
}

TEST(ToolchainText, ResourceListsCountByLastIndex) {
  std::vector<uint8_t> bytes =
      compileOk("resources\nset 0 \"hero\" {\n  picture \"a.png\"\n  picture 1 \"b.png\"\n}\n");
  // the example of the resource list: one set "hero", two pictures, no sounds
  const uint8_t expected[] = {0, 0, 0, 0, 4, 'h', 'e', 'r', 'o', 1, 0, 0, 0, 5, 'a', '.', 'p', 'n', 'g',
                              5, 'b', '.', 'p', 'n', 'g', 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(bytes, std::vector<uint8_t>(expected, expected + sizeof expected));
}

TEST(ToolchainText, SystemDataKeepsItsTrailingBytes) {
  std::vector<uint8_t> bytes = compileOk("system\nstring \"ok\"\nstring \"\"\ntrailing \"\\x01\\x02\"\n");
  const uint8_t expected[] = {2, 0, 0, 0, 2, 'o', 'k', 0, 1, 2};
  EXPECT_EQ(bytes, std::vector<uint8_t>(expected, expected + sizeof expected));
}

TEST(ToolchainText, WindowsLineEndsAndAByteOrderMarkAreFine) {
  std::vector<uint8_t> a = compileOk("system\nstring \"ok\"\n");
  std::vector<uint8_t> b = compileOk("\xEF\xBB\xBFsystem\r\nstring \"ok\"\r\n");
  EXPECT_EQ(a, b);
}

TEST(ToolchainText, TheKindGivenMustMatchTheSource) {
  std::vector<uint8_t> bytes;
  TextError error;
  EXPECT_FALSE(compileDataText("system\n", DataKind::Chara, bytes, error));
  EXPECT_EQ(error.message, "this is a system source, not chara");
}

// ---- the commands ----

int runCommand(const char* name, std::vector<std::string> args, std::string* err = nullptr) {
  for (const DataCommand& c : dataCommands()) {
    if (std::string(c.name) != name) continue;
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    int rc = c.run(args);
    std::string e = testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    if (err) *err = e;
    return rc;
  }
  ADD_FAILURE() << "no command " << name;
  return -1;
}

struct TempDir {
  fs::path path;
  TempDir() {
    path = fs::temp_directory_path() / ("tervalen-toolchain-" + std::to_string(::getpid()) + "-" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempDir() { fs::remove_all(path); }
  std::string file(const std::string& name, const std::string& content) const {
    std::ofstream(path / name, std::ios::binary) << content;
    return (path / name).string();
  }
};

TEST(ToolchainCommands, CompileWritesNothingOnErrorAndNamesFileLineAndColumn) {
  TempDir dir;
  std::string source = dir.file("bad.txt", "chara \"x\"\nhp 1\npicture-set 0\naction 0 {\n  frame 1 ticks=oops\n}\n");
  std::string out = (dir.path / "bad.dat").string();
  std::string err;
  EXPECT_EQ(runCommand("compile", {source, "-o", out}, &err), 1);
  EXPECT_EQ(err, source + ":5:17: frame ticks: expected a number, found 'oops'\n");
  EXPECT_FALSE(fs::exists(out));
}

TEST(ToolchainCommands, CompileThenDecompileGivesTheCanonicalText) {
  TempDir dir;
  std::string source = dir.file("s.txt", "system\nstring \"hello\"\n");
  std::string bin = (dir.path / "system.dat").string();
  ASSERT_EQ(runCommand("compile", {source, "-o", bin}), 0);
  std::string text = (dir.path / "back.txt").string();
  ASSERT_EQ(runCommand("decompile", {bin, "-o", text}), 0);  // kind from the file name
  Expected<std::vector<uint8_t>> back = readFileBytes(text);
  ASSERT_TRUE(back.ok());
  EXPECT_EQ(std::string(back->begin(), back->end()), "system\nstring \"hello\"\n");
}

TEST(ToolchainCommands, DecompileReportsTheReadersErrorForACutFile) {
  TempDir dir;
  std::string bin = dir.file("cut.dat", std::string("\x02" "ab\x64\x00", 5));
  std::string err;
  EXPECT_EQ(runCommand("decompile", {bin, "--kind", "chara"}, &err), 1);
  EXPECT_NE(err.find(bin + ": offset 3:"), std::string::npos) << err;
  EXPECT_EQ(runCommand("decompile", {(dir.path / "unknown.bin").string()}, &err), 2);
  EXPECT_NE(err.find("--kind"), std::string::npos) << err;
}

}  // namespace
