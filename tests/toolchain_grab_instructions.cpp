// The extended instructions in the data tool: the text round trip of each, and
// what `check` says of them with and without the rules line that plays them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "DataText.h"
#include "GameChecker.h"
#include "check_folder.h"

namespace {

using namespace check_folder;

TEST(ToolchainGrabInstructions, EachCompilesDecompilesAndCompilesToTheSameBytes) {
  const std::string source =
      "chara \"t\"\nhp 1\npicture-set 0\nreactions\n\n"
      "action 0 {\n"
      "  grab x=30 y=-50 w=24 h=60 d=20\n"
      "  grab x=-1.5 y=0 w=0 h=0 d=0\n"
      "  throw vx=7 vy=-6 damage=15\n"
      "  throw vx=0 vy=0 damage=0 extra=(1, 2)\n"
      "  let-go\n"
      "  let-go turn=1\n"
      "  op 14 (3, 4)\n"
      "}\n";
  std::vector<uint8_t> bytes;
  TextError error;
  ASSERT_TRUE(compileDataText(source, std::nullopt, bytes, error)) << error.pos.line << ": " << error.message;
  Expected<CharaData> data = parseCharaFile(bytes, "t");
  ASSERT_TRUE(data.ok());
  const std::vector<Instruction>& codes = data->actions[0].codes;
  ASSERT_EQ(codes.size(), 7u);
  EXPECT_EQ(codes[0].opcode, 11);
  EXPECT_EQ(codes[0].args, (std::vector<double>{30, -50, 24, 60, 20}));
  EXPECT_EQ(codes[2].opcode, 12);
  EXPECT_EQ(codes[2].args, (std::vector<double>{7, -6, 15}));
  EXPECT_EQ(codes[3].args.size(), 5u) << "extra arguments are kept";
  EXPECT_EQ(codes[4].opcode, 13);
  EXPECT_EQ(codes[5].args, (std::vector<double>{1}));

  Expected<std::string> text = decompileData(bytes, "t.dat", DataKind::Chara);
  ASSERT_TRUE(text.ok()) << text.error().message();
  EXPECT_NE(text->find("  grab x=30 y=-50 w=24 h=60 d=20\n"), std::string::npos) << *text;
  EXPECT_NE(text->find("  throw vx=7 vy=-6 damage=15\n"), std::string::npos) << *text;
  EXPECT_NE(text->find("  let-go turn=1\n"), std::string::npos) << *text;
  std::vector<uint8_t> back;
  ASSERT_TRUE(compileDataText(*text, std::nullopt, back, error)) << error.message;
  EXPECT_EQ(back, bytes);
}

// The sound game with a hero that grabs, and (optionally) the rules line.
struct GrabGame {
  std::map<std::string, std::string> sources = soundGame();
  GrabGame(const std::string& walkExtra, const std::string& enemyExtra, bool holdActions) {
    std::string& hero = sources["data/chara/c_morivane.dat"];
    replace(hero, "action 1 {\n", "action 1 {\n" + walkExtra);
    if (holdActions)
      for (int n : {40, 41, 42, 43}) hero += action(n, frames(2, 1));
    std::string& enemy = sources["data/chara/guai01.dat"];
    replace(enemy, "action 14 {\n", "action 14 {\n" + enemyExtra);
  }
};

CheckReport checkWith(const GrabGame& g, bool extended) {
  GameFolder game(g.sources);
  if (extended) std::ofstream(game.path("data/rules.txt")) << "instructions = extended\n";
  return game.check();
}

TEST(ToolchainGrabInstructions, CheckReportsThemWhereTheFolderDoesNotPlayThem) {
  GrabGame g("  grab x=30 y=-50 w=24 h=60 d=20\n", "", true);
  // A warning: the folder still plays as it always has (the opcode does nothing), so it passes.
  CheckReport off = checkWith(g, false);
  EXPECT_TRUE(off.problems.empty()) << describe(off);
  ASSERT_EQ(off.warnings.size(), 1u) << describe(off);
  EXPECT_EQ(off.warnings[0].warningLine(),
            "data/chara/c_morivane.dat: action 1 instruction 0: warning: grab is an extended instruction: this folder "
            "plays it as nothing (data/rules.txt has no `instructions = extended`)");
  CheckReport on = checkWith(g, true);
  EXPECT_TRUE(on.problems.empty() && on.warnings.empty()) << describe(on);
}

TEST(ToolchainGrabInstructions, CheckReportsBadArgumentsAndImpossibleGrabs) {
  GrabGame g("  grab x=30 y=-50 w=-4 h=60 d=nan\n", "  throw vx=3 vy=-2 damage=-5\n  let-go\n", false);
  CheckReport r = checkWith(g, true);
  expectProblem(r, "data/chara/c_morivane.dat", "action 1 instruction 0",
                "grab w=-4: a grab box is never smaller than nothing");
  expectProblem(r, "data/chara/c_morivane.dat", "action 1 instruction 0",
                "grab d=nan: a grab box is never smaller than nothing");
  expectProblem(r, "data/chara/c_morivane.dat", "action 1 instruction 0",
                "a fighter that grabs needs action 40 (40 hold, 41 knee, 42 throw, 43 vault), but it does not exist");
  expectProblem(r, "data/chara/guai01.dat", "action 14 instruction 0", "throw damage=-5: a throw cannot heal");
  expectProblem(r, "data/chara/guai01.dat", "action 14 instruction 0",
                "throw in a file without a grab box: it never holds anyone");
  expectProblem(r, "data/chara/guai01.dat", "action 14 instruction 1",
                "let-go in a file without a grab box: it never holds anyone");
}

}  // namespace
