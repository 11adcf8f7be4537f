// The game's command line.
#include <gtest/gtest.h>

#include <vector>

#include "app/Options.h"
#include "engine_support.h"

namespace {

ParseResult parse(std::vector<const char*> args, Options& out, std::string& error) {
  args.insert(args.begin(), "tervalen");
  return parseOptions(static_cast<int>(args.size()), args.data(), out, error);
}

TEST(AppOptions, NoOptionsRunsTheGameAsIs) {
  Options o;
  std::string error;
  EXPECT_EQ(parse({}, o, error), ParseResult::Run);
  EXPECT_FALSE(o.headless);
  EXPECT_EQ(o.frames, 0);
  EXPECT_FALSE(o.seedGiven);
  EXPECT_TRUE(o.root.empty());
}

TEST(AppOptions, ReadsEveryOptionInBothSpellings) {
  ScratchDir dir;
  writeFile(dir.file("ok.rep"), "1 down J\n");
  std::string replay = dir.file("ok.rep");
  std::string replayEq = "--replay=" + replay;
  Options o;
  std::string error;
  ASSERT_EQ(parse({"--root", "/games/t", "--headless", "--frames=1000", "--seed", "-42", "--record", "out.rep",
                   replayEq.c_str(), "--screenshot", "10:a.png", "--screenshot=20:b.png", "--stats", "--trace",
                   "t.jsonl", "--autoplay"},
                  o, error),
            ParseResult::Run)
      << error;
  EXPECT_EQ(o.root, "/games/t");
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.frames, 1000);
  EXPECT_TRUE(o.seedGiven);
  EXPECT_EQ(o.seed, -42);
  EXPECT_EQ(o.record, "out.rep");
  EXPECT_EQ(o.replay, replay);
  ASSERT_EQ(o.screenshots.size(), 2u);
  EXPECT_EQ(o.screenshots[0], std::make_pair(10, std::string("a.png")));
  EXPECT_EQ(o.screenshots[1], std::make_pair(20, std::string("b.png")));
  EXPECT_TRUE(o.stats);
  EXPECT_EQ(o.trace, "t.jsonl");
  EXPECT_TRUE(o.autoplay);
  EXPECT_EQ(o.autoplayStyle, "full");

  ASSERT_EQ(parse({"--autoplay-style=masher"}, o, error), ParseResult::Run) << error;
  EXPECT_TRUE(o.autoplay) << "a style means the built-in player plays";
  EXPECT_EQ(o.autoplayStyle, "masher");
}

TEST(AppOptions, HelpIsNotAnError) {
  Options o;
  std::string error;
  EXPECT_EQ(parse({"--help"}, o, error), ParseResult::Help);
  EXPECT_NE(usageText().find("--screenshot"), std::string::npos);
}

TEST(AppOptions, NetworkOptionsTakeTheirDefaultsAndValues) {
  struct Case {
    std::vector<const char*> args;
    int hostPort;
    const char* joinHost;
    int joinPort;
    int delay;
    int localSeats = 1;
  };
  const Case cases[] = {
      {{"--host"}, 7777, "", 7777, 2},
      {{"--host", "--headless"}, 7777, "", 7777, 2},
      {{"--host", "9000", "--net-delay", "0"}, 9000, "", 7777, 0},
      {{"--host=9001", "--local-seats", "2"}, 9001, "", 7777, 2, 2},
      {{"--join", "127.0.0.1"}, 0, "127.0.0.1", 7777, 2},
      {{"--join", "friend.example.org:7000", "--net-delay=8", "--local-seats=3"}, 0, "friend.example.org", 7000, 8, 3},
  };
  for (const Case& c : cases) {
    Options o;
    std::string error;
    ASSERT_EQ(parse(c.args, o, error), ParseResult::Run) << c.args[0] << ": " << error;
    EXPECT_EQ(o.hostPort, c.hostPort) << c.args[0];
    EXPECT_EQ(o.joinHost, c.joinHost) << c.args[0];
    EXPECT_EQ(o.joinPort, c.joinPort) << c.args[0];
    EXPECT_EQ(o.netDelay, c.delay) << c.args[0];
    EXPECT_EQ(o.localSeats, c.localSeats) << c.args[0];
  }
  Options o;
  std::string error;
  ASSERT_EQ(parse({"--net-sim", "80,20,5"}, o, error), ParseResult::Run) << error;
  EXPECT_EQ(o.netSimLatency, 80);
  EXPECT_EQ(o.netSimJitter, 20);
  EXPECT_EQ(o.netSimLoss, 5);
}

TEST(AppOptions, BadCommandLinesAreUsageErrorsThatSayWhatIsWrong) {
  struct Case {
    std::vector<const char*> args;
    const char* mention;
  };
  const Case cases[] = {
      {{"--borderless"}, "--borderless"},
      {{"--fullscreen=yes"}, "--fullscreen"},
      {{"extra"}, "extra"},
      {{"--frames"}, "--frames"},
      {{"--frames", "0"}, "--frames"},
      {{"--frames", "ten"}, "ten"},
      {{"--seed", "1.5"}, "1.5"},
      {{"--screenshot", "a.png"}, "--screenshot"},
      {{"--screenshot", "0:a.png"}, "--screenshot"},
      {{"--screenshot", "5:"}, "--screenshot"},
      {{"--headless=yes"}, "--headless"},
      {{"--replay", "/nonexistent/x.rep"}, "/nonexistent/x.rep"},
      {{"--autoplay-style", "lazy"}, "lazy"},
      {{"--autoplay-style"}, "--autoplay-style"},
      {{"--difficulty", "impossible"}, "impossible"},
      {{"--hero", "5=x"}, "--hero wants SEAT=ID"},
      {{"--hero", "c_kaelin"}, "--hero wants SEAT=ID"},
      {{"--hero", "1="}, "--hero wants SEAT=ID"},
      {{"--menu=yes"}, "--menu"},
      {{"--host", "0"}, "--host"},
      {{"--host", "70000"}, "70000"},
      {{"--join"}, "--join"},
      {{"--join", ":7777"}, "--join"},
      {{"--join", "example.org:port"}, "example.org:port"},
      {{"--host", "--join", "a"}, "one at a time"},
      {{"--join", "a", "--sync-test", "5"}, "--sync-test"},
      {{"--net-delay", "9"}, "--net-delay"},
      {{"--join", "a", "--local-seats", "4"}, "from 1 to 3"},
      {{"--local-seats", "2"}, "goes with --host or --join"},
      {{"--net-sim", "80,20"}, "--net-sim"},
      {{"--net-sim", "80,20,101"}, "--net-sim"},
      {{"--host", "--dropped", "kick"}, "--dropped wants bot or leave"},
      {{"--join", "a", "--dropped", "leave"}, "--dropped goes with --host"},
      {{"--say", "hi"}, "--say goes with --host or --join"},
  };
  for (const Case& c : cases) {
    Options o;
    std::string error;
    EXPECT_EQ(parse(c.args, o, error), ParseResult::UsageError) << c.args[0];
    EXPECT_NE(error.find(c.mention), std::string::npos) << error;
  }
}

TEST(AppOptions, AMalformedReplayIsAUsageErrorNamingFileAndLine) {
  ScratchDir dir;
  writeFile(dir.file("bad.rep"), "1 down J\n2 sideways J\n");
  Options o;
  std::string error;
  EXPECT_EQ(parse({"--replay", dir.file("bad.rep").c_str()}, o, error), ParseResult::UsageError);
  EXPECT_NE(error.find("bad.rep:2:"), std::string::npos) << error;
}

TEST(AppOptions, FilePathsSurviveTheMoveIntoTheGameFolder) {
  Options o;
  o.record = "rec.rep";
  o.trace = "/abs/trace";
  o.screenshots = {{5, "shot.png"}};
  makePathsAbsolute(o);
  EXPECT_EQ(o.record, (std::filesystem::current_path() / "rec.rep").string());
  EXPECT_EQ(o.trace, "/abs/trace");
  EXPECT_EQ(o.screenshots[0].second, (std::filesystem::current_path() / "shot.png").string());
  EXPECT_TRUE(o.replay.empty());
}

TEST(AppOptions, TheModdersOptions) {
  Options o;
  std::string error;
  EXPECT_EQ(parse({"--scene", "zd", "--invincible", "--watch", "--overlay"}, o, error), ParseResult::Run) << error;
  EXPECT_EQ(o.scene, "zd");
  EXPECT_TRUE(o.invincible);
  EXPECT_TRUE(o.watch);
  EXPECT_TRUE(o.overlay);
  EXPECT_EQ(o.arguments, (std::vector<std::string>{"--scene", "zd", "--invincible", "--watch", "--overlay"}));
  EXPECT_EQ(parse({"--view=guai01", "--headless"}, o, error), ParseResult::Run) << error;
  EXPECT_EQ(o.view, "guai01");
  EXPECT_EQ(parse({"--scene="}, o, error), ParseResult::UsageError);
  EXPECT_EQ(error, "--scene wants an id, not an empty text");
  EXPECT_EQ(parse({"--view", "guai01", "--autoplay"}, o, error), ParseResult::UsageError);
  EXPECT_NE(error.find("--view shows one character"), std::string::npos) << error;
}

TEST(AppOptions, EveryOptionOfHelpIsInTheManualPage) {
  const std::string manual = readFile(TERVALEN_SOURCE_DIR "/docs/tervalen.6");
  ASSERT_FALSE(manual.empty());
  const std::string help = usageText();
  size_t found = 0;
  for (size_t at = help.find("  --"); at != std::string::npos; at = help.find("  --", at + 1)) {
    const size_t end = help.find_first_of(" \n", at + 2);
    const std::string option = help.substr(at + 2, end - at - 2);
    std::string inManual;
    for (char c : option) inManual += c == '-' ? std::string("\\-") : std::string(1, c);
    EXPECT_NE(manual.find(inManual), std::string::npos) << option << " is not in docs/tervalen.6";
    ++found;
  }
  EXPECT_EQ(found, 37u) << "the options of --help";
  for (const char* key : {".B F1\n", ".B F2\n", ".B F3\n", ".B F4\n", ".B F5\n"})
    EXPECT_NE(manual.find(key), std::string::npos) << key;
}

}  // namespace
