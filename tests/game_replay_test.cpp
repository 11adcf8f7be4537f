// Recordings of the default game carry their seed and the world's checksums:
// they replay to the same trace without --seed, a tampered one stops where it
// diverged, and --seed 0 is a seed like any other.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>

#include "game_program.h"

namespace {

using gameprogram::GameCopy;
using gameprogram::lines;

#define NEED_GAME() \
  if (!gameprogram::haveGame()) GTEST_SKIP() << "no game laid out in " TERVALEN_BINARY_DIR "/game"

// The frame of a trace line.
int frameOf(const std::string &line) { return std::atoi(line.c_str() + line.find("\"frame\":") + 8); }

// The digits after `prefix` in `text` ("" when `prefix` is not there).
std::string numberAfter(const std::string &text, const std::string &prefix) {
  const size_t at = text.find(prefix);
  if (at == std::string::npos) return "";
  size_t end = at + prefix.size();
  while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
  return text.substr(at + prefix.size(), end - at - prefix.size());
}

// "FRAME check HEX" with FRAME a multiple of 100 and HEX 16 lowercase
// hexadecimal digits.
bool isHundredthCheck(const std::string &line) {
  const size_t space = line.find(' ');
  if (space == std::string::npos || line.compare(space, 7, " check ") != 0 || line.size() != space + 7 + 16)
    return false;
  if (space < 3 || line.compare(space - 2, 2, "00") != 0) return false;
  for (size_t i = space + 7; i < line.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(line[i])) && (line[i] < 'a' || line[i] > 'f')) return false;
  return true;
}

TEST(GameReplays, ARecordingMadeWithoutASeedReplaysToTheSameTrace) {
  NEED_GAME();
  GameCopy game;
  const gameprogram::Run recorded = game.run("--autoplay --frames 60000 --record rec.rep --trace recorded.jsonl");
  ASSERT_EQ(recorded.exitCode, 0) << recorded.err;
  ASSERT_EQ(recorded.result().rfind("result=victory", 0), 0u) << recorded.out;

  // The fresh seed is in the file and in the log.
  const std::vector<std::string> rep = lines(game.read("rec.rep"));
  ASSERT_FALSE(rep.empty());
  const std::string seed = numberAfter(rep[0], "seed ");
  ASSERT_FALSE(seed.empty()) << rep[0];
  EXPECT_EQ(rep[0], "seed " + seed);
  ASSERT_GT(rep.size(), 1u);
  EXPECT_EQ(rep[1], "checks state") << "new recordings check the whole saved state of the world";
  EXPECT_NE(recorded.log.find("Random seed " + seed + " (fresh; --seed " + seed + " plays this game again)"),
            std::string::npos)
      << recorded.log;
  // A check line after every hundredth frame.
  const int frames = std::stoi(recorded.result().substr(recorded.result().find("frames=") + 7));
  size_t checks = 0;
  for (const std::string &line : rep)
    if (isHundredthCheck(line)) ++checks;
  EXPECT_EQ(checks, static_cast<size_t>(frames / 100));

  const gameprogram::Run replayed = game.run("--replay rec.rep --frames 60000 --trace replayed.jsonl");
  EXPECT_EQ(replayed.exitCode, 0) << replayed.err;
  EXPECT_EQ(replayed.err, "");
  EXPECT_EQ(replayed.result(), recorded.result());
  const std::string trace = game.steps("recorded.jsonl");
  // The trace follows the whole fight, to the step the game ended (how long
  // that takes depends on the fresh seed).
  const std::vector<std::string> traced = lines(trace);
  ASSERT_GT(traced.size(), 1000u);
  EXPECT_NE(traced.back().find("\"gameOver\":true"), std::string::npos) << traced.back();
  EXPECT_TRUE(trace == game.steps("replayed.jsonl")) << "the replay played another game";
}

TEST(GameReplays, ATamperedReplayStopsAtTheFrameWhereItDiverged) {
  NEED_GAME();
  GameCopy game;
  ASSERT_EQ(game.run("--autoplay --seed 3 --frames 3000 --record rec.rep "
                     "--trace recorded.jsonl")
                .exitCode,
            0);

  // Walk left where the recording walked right, from the first such press after
  // frame 500 that the player takes standing or walking (where it turns it;
  // in the middle of a blow or a hold it would only enter the key buffer).
  const std::vector<std::string> recordedTrace = lines(game.steps("recorded.jsonl"));
  auto standingOrWalking = [&](int frame) {
    for (const std::string &line : recordedTrace) {
      if (frameOf(line) != frame) continue;
      const size_t player = line.find("\"player\":{");
      const int action = std::atoi(line.c_str() + line.find("\"action\":", player) + 9);
      return player != std::string::npos && (action == 0 || action == 1);
    }
    return false;
  };
  std::vector<std::string> rep = lines(game.read("rec.rep"));
  int tampered = 0;
  for (std::string &line : rep) {
    const size_t at = line.find(" down D");
    if (at != std::string::npos && std::stoi(line) > 500 && standingOrWalking(std::stoi(line))) {
      tampered = std::stoi(line);
      line.replace(at, 7, " down A");
      break;
    }
  }
  ASSERT_GT(tampered, 0) << "no key line to change";
  std::string text;
  for (const std::string &line : rep) text += line + "\n";
  writeFile(game.file("tampered.rep"), text);

  const gameprogram::Run run = game.run("--replay tampered.rep --frames 3000 --trace tampered.jsonl");
  // The key counts from its frame's player control, after that frame's check:
  // the first check after it sees another world.
  const int expected = (tampered / 100 + 1) * 100;
  EXPECT_EQ(run.exitCode, 4) << run.err;
  EXPECT_EQ(run.err.rfind("replay diverged at frame " + std::to_string(expected) + ":", 0), 0u)
      << "changed frame " << tampered << ": " << run.err;
  EXPECT_NE(run.log.find("replay diverged at frame " + std::to_string(expected) + ":"), std::string::npos);

  // The same game up to the changed key, and no frame played after the
  // divergence.
  const std::vector<std::string> original = lines(game.steps("recorded.jsonl"));
  const std::vector<std::string> replayed = lines(game.steps("tampered.jsonl"));
  ASSERT_FALSE(replayed.empty());
  EXPECT_EQ(frameOf(replayed.back()), expected);
  for (size_t i = 0; i < replayed.size() && frameOf(replayed[i]) <= tampered; ++i)
    ASSERT_EQ(replayed[i], original[i]) << "at frame " << frameOf(replayed[i]);
  EXPECT_NE(replayed.back(), original[replayed.size() - 1]);
}

TEST(GameReplays, ChecksAreReadAsTheirFileSaysTheyWereMade) {
  NEED_GAME();
  GameCopy game;
  ASSERT_EQ(game.run("--autoplay --seed 3 --frames 400 --record rec.rep").exitCode, 0);
  std::string text = game.read("rec.rep");
  const size_t at = text.find("checks state\n");
  ASSERT_NE(at, std::string::npos) << text.substr(0, 200);
  // Without its line, the whole-state sums are taken for the older sums and
  // cannot match: the replay stops at its first check.
  writeFile(game.file("unmarked.rep"), text.substr(0, at) + text.substr(at + 13));
  const gameprogram::Run unmarked = game.run("--replay unmarked.rep --frames 400");
  EXPECT_EQ(unmarked.exitCode, 4);
  EXPECT_EQ(unmarked.err.rfind("replay diverged at frame 100:", 0), 0u) << unmarked.err;
  // A second checks line, or one after the frames began, is a damaged file.
  for (const std::string &bad :
       {text + "checks state\n", text.substr(0, at) + text.substr(at + 13) + "checks state\n"}) {
    writeFile(game.file("bad.rep"), bad);
    const gameprogram::Run run = game.run("--replay bad.rep --frames 400");
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_NE(run.err.find("bad.rep:"), std::string::npos) << run.err;
  }
}

TEST(GameReplays, SeedZeroIsASeedLikeAnyOther) {
  NEED_GAME();
  GameCopy game;
  const gameprogram::Run first = game.run("--autoplay --seed 0 --frames 60000 --trace first.jsonl");
  const gameprogram::Run second = game.run("--autoplay --seed 0 --frames 60000 --trace second.jsonl");
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(first.result().rfind("result=", 0), 0u) << first.out;
  EXPECT_EQ(first.result().find("result=running"), std::string::npos) << "the game is played to its end";
  EXPECT_EQ(second.result(), first.result());
  EXPECT_TRUE(game.steps("first.jsonl") == game.steps("second.jsonl")) << "--seed 0 played two games";
  EXPECT_NE(first.log.find("Random seed 0 (--seed)"), std::string::npos) << first.log;
}

TEST(GameReplays, AFreshSeedInTheLogPlaysTheGameAgain) {
  NEED_GAME();
  GameCopy game;
  const gameprogram::Run fresh = game.run("--autoplay --frames 3000 --trace fresh.jsonl");
  const std::string seed = numberAfter(fresh.log, "Random seed ");
  ASSERT_FALSE(seed.empty()) << fresh.log;
  ASSERT_NE(fresh.log.find("Random seed " + seed + " (fresh"), std::string::npos) << fresh.log;
  const gameprogram::Run again = game.run("--autoplay --frames 3000 --trace again.jsonl --seed " + seed);
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_TRUE(game.steps("fresh.jsonl") == game.steps("again.jsonl"));
}

TEST(GameReplays, AFileWithoutSeedOrChecksStillPlays) {
  NEED_GAME();
  GameCopy game;
  ASSERT_EQ(game.run("--autoplay --seed 5 --frames 2000 --record rec.rep "
                     "--trace recorded.jsonl")
                .exitCode,
            0);
  // A file as the game wrote them before: key lines only.
  std::string old;
  for (const std::string &line : lines(game.read("rec.rep")))
    if (line.find(" down ") != std::string::npos || line.find(" up ") != std::string::npos) old += line + "\n";
  ASSERT_FALSE(old.empty());
  writeFile(game.file("old.rep"), old);

  const gameprogram::Run withSeed = game.run("--replay old.rep --seed 5 --frames 2000 --trace old.jsonl");
  EXPECT_EQ(withSeed.exitCode, 0) << withSeed.err;
  EXPECT_EQ(withSeed.err, "");
  EXPECT_TRUE(game.steps("recorded.jsonl") == game.steps("old.jsonl"));

  // Without --seed it plays with a fresh one, as it always did.
  const gameprogram::Run withoutSeed = game.run("--replay old.rep --frames 500");
  EXPECT_EQ(withoutSeed.exitCode, 0) << withoutSeed.err;
  EXPECT_NE(withoutSeed.log.find("(fresh;"), std::string::npos) << withoutSeed.log;
  EXPECT_NE(withoutSeed.result().find("frames=500"), std::string::npos) << withoutSeed.out;
}

TEST(GameReplays, ASeedOtherThanTheRecordingsIsWarnedAboutAndDiverges) {
  NEED_GAME();
  GameCopy game;
  ASSERT_EQ(game.run("--autoplay --seed 5 --frames 1000 --record rec.rep").exitCode, 0);
  const gameprogram::Run run = game.run("--replay rec.rep --seed 6 --frames 1000");
  const std::string warning = "--seed 6 is not the seed 5 the replay";
  EXPECT_NE(run.err.find("warning: " + warning), std::string::npos) << run.err;
  EXPECT_NE(run.log.find(warning), std::string::npos) << run.log;
  // The random generator's state is part of the checksum: another seed shows at
  // the first check.
  EXPECT_NE(run.err.find("replay diverged at frame 100:"), std::string::npos) << run.err;
  EXPECT_EQ(run.exitCode, 4);
  // The same seed given twice is no reason for a warning.
  const gameprogram::Run same = game.run("--replay rec.rep --seed 5 --frames 1000");
  EXPECT_EQ(same.exitCode, 0) << same.err;
  EXPECT_EQ(same.err, "");
}

TEST(GameReplays, RecordingChangesNothingInTheGame) {
  NEED_GAME();
  GameCopy game;
  const gameprogram::Run plain = game.run("--autoplay --seed 8 --frames 60000 --trace plain.jsonl");
  const gameprogram::Run recorded = game.run(
      "--autoplay --seed 8 --frames 60000 --trace recorded.jsonl "
      "--record rec.rep");
  EXPECT_EQ(plain.result().rfind("result=victory", 0), 0u) << "a whole game: " << plain.result();
  EXPECT_EQ(recorded.result(), plain.result());
  EXPECT_TRUE(game.steps("plain.jsonl") == game.steps("recorded.jsonl"));
}

}  // namespace

TEST(GameReplays, ATwoSeatRecordingWithAJoinReplaysToTheSameTrace) {
  NEED_GAME();
  GameCopy game;
  // Seats 1 and 2 from the start, seat 3 joins by itself (the built-in player
  // presses its punch).
  const gameprogram::Run recorded = game.run(
      "--players 2 --autoplay-seats 1,2,3 --seed 4 --frames 8000 "
      "--record rec.rep --trace recorded.jsonl");
  ASSERT_EQ(recorded.exitCode, 0) << recorded.err;
  const std::string recording = game.read("rec.rep");
  EXPECT_NE(recording.find("\nplayers 2\n"), std::string::npos) << "the header says two seats started";
  EXPECT_NE(recording.find(" J 2\n"), std::string::npos) << "seat 2's keys carry their seat";
  EXPECT_NE(recording.find(" down J 3\n"), std::string::npos) << "seat 3 joins with its punch";
  const std::string steps = game.steps("recorded.jsonl");
  EXPECT_NE(steps.find("{\"seat\":3,\"state\":\"playing\""), std::string::npos) << "seat 3 played";

  // Without --players: the recording's own players line counts.
  const gameprogram::Run replayed = game.run("--replay rec.rep --frames 8000 --trace replayed.jsonl");
  ASSERT_EQ(replayed.exitCode, 0) << replayed.err;
  EXPECT_EQ(replayed.result(), recorded.result());
  EXPECT_EQ(game.steps("replayed.jsonl"), steps);
}

TEST(GameReplays, SeatsOutsideOneToFourAreAnErrorNamingTheLine) {
  NEED_GAME();
  GameCopy game;
  struct Case {
    const char *text;
    const char *says;
  };
  const Case cases[] = {
      {"seed 1\n5 down J 0\n", "rep:2: seat \"0\""},
      {"seed 1\n5 down J 5\n", "rep:2: seat \"5\""},
      {"players 9\n", "rep:1: players \"9\""},
      {"seed 1\n5 check 0000000000000000 2\n", "rep:2: expected 3 fields"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    std::ofstream(game.file("bad.rep")) << c.text;
    const gameprogram::Run run = game.run("--replay bad.rep --frames 10");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  // A seat that never joined but presses keys other than punch plays nothing:
  // the run goes on.
  std::ofstream(game.file("quiet.rep")) << "seed 1\n5 down D 4\n50 up D 4\n";
  const gameprogram::Run quiet = game.run("--replay quiet.rep --frames 200 --trace quiet.jsonl");
  EXPECT_EQ(quiet.exitCode, 0) << quiet.err;
  EXPECT_EQ(game.steps("quiet.jsonl").find("\"seat\":4"), std::string::npos);
}

TEST(GameOptions, PlayersMustBeOneToFour) {
  NEED_GAME();
  GameCopy game;
  for (const char *bad :
       {"--players 0", "--players 99", "--players two", "--autoplay-seats 1,5", "--autoplay-seats ,"}) {
    SCOPED_TRACE(bad);
    const gameprogram::Run run = game.run(std::string(bad) + " --frames 5");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(std::string(bad).substr(0, std::string(bad).find(' '))), std::string::npos) << run.err;
  }
}
