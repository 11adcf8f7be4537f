// tervalen-soak's options: parsed like the game's, so a mistyped option is a
// usage error (exit 2) instead of a soak that divides by zero or never ends.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "SoakOptions.h"

namespace {

SoakParse parse(std::vector<const char*> args, SoakOptions& out, std::string& error) {
  args.insert(args.begin(), "tervalen-soak");
  return parseSoakOptions(static_cast<int>(args.size()), args.data(), out, error);
}

TEST(SoakOptions, ValuesComeAsTheNextArgumentOrAfterEquals) {
  SoakOptions o;
  std::string error;
  ASSERT_EQ(parse({}, o, error), SoakParse::Run);
  EXPECT_EQ(o.frames, 1000000);
  EXPECT_EQ(o.seed, 1);
  EXPECT_EQ(o.every, 100000);
  ASSERT_EQ(parse({"--frames", "500", "--seed=-7", "--every=100"}, o, error), SoakParse::Run) << error;
  EXPECT_EQ(o.frames, 500);
  EXPECT_EQ(o.seed, -7);
  EXPECT_EQ(o.every, 100);
  ASSERT_EQ(parse({"--frames=2147483647", "--every", "1"}, o, error), SoakParse::Run) << error;
  EXPECT_EQ(o.frames, 2147483647);
  EXPECT_EQ(o.every, 1);
}

TEST(SoakOptions, WhatWouldDivideByZeroOrNeverEndIsAUsageError) {
  struct Case {
    std::vector<const char*> args;
    std::string error;
  };
  const Case cases[] = {
      {{"--every", "0"}, "--every wants a whole number from 1 up, not \"0\""},
      {{"--frames", "0"}, "--frames wants a whole number from 1 up, not \"0\""},
      {{"--frames", "-5"}, "--frames wants a whole number from 1 up, not \"-5\""},
      {{"--frames", "abc"}, "--frames wants a whole number from 1 up, not \"abc\""},
      {{"--frames=12x"}, "--frames wants a whole number from 1 up, not \"12x\""},
      {{"--frames", "2147483648"}, "--frames wants a whole number from 1 up, not \"2147483648\""},
      {{"--seed", ""}, "--seed wants a whole number, not \"\""},
      {{"--frames"}, "--frames needs a value"},
      {{"--speed", "3"}, "unknown option \"--speed\""},
      {{"500"}, "unknown option \"500\""},
      {{"--help=yes"}, "--help takes no value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    SoakOptions o;
    std::string error;
    EXPECT_EQ(parse(c.args, o, error), SoakParse::UsageError);
    EXPECT_EQ(error, c.error);
  }
}

TEST(SoakOptions, HelpPrintsTheUsageAndPlaysNothing) {
  SoakOptions o;
  std::string error;
  EXPECT_EQ(parse({"--help"}, o, error), SoakParse::Help);
  EXPECT_EQ(parse({"--frames", "10", "-h"}, o, error), SoakParse::Help);
  EXPECT_NE(soakUsageText().find("--every N"), std::string::npos);

  // The program itself: --help exits 0 at once, a usage error exits 2 with the usage.
  const std::string soak = TERVALEN_BINARY_DIR "/tervalen-soak";
  if (!std::filesystem::exists(soak)) GTEST_SKIP() << "no " << soak;
  char pattern[] = "/tmp/tervalen-soak-options-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  auto run = [&](const std::string& args) {
    const std::string line = "cd '" + dir + "' && '" + soak + "' " + args + " >soak-out.txt 2>&1";
    const int status = std::system(line.c_str());
    EXPECT_TRUE(WIFEXITED(status)) << line;
    return WEXITSTATUS(status);
  };
  EXPECT_EQ(run("--help"), 0);
  EXPECT_EQ(run("--every 0"), 2);
  EXPECT_EQ(run("--frames -5"), 2);
  EXPECT_FALSE(std::filesystem::exists(dir + "/soak-log.txt"));  // no game was started
  std::filesystem::remove_all(dir);
}

}  // namespace
