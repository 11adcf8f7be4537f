// The game program with the modder's start options and a rules file:
// --scene starts in a later scene, --invincible keeps the player's hit
// points, the trace's first line says both; data/rules.txt changes the scores
// and nothing else, and a broken one stops the start with the file and line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game_program.h"

namespace {

using gameprogram::GameCopy;
using gameprogram::lines;

// The number after "NAME": in `text`, from `from` on (-1 when absent).
long numberAfter(const std::string& text, const std::string& name, size_t from = 0) {
  const size_t at = text.find("\"" + name + "\":", from);
  if (at == std::string::npos) return -1;
  return std::stol(text.substr(at + name.size() + 3));
}

// The player's hit points in each step line of a trace.
std::vector<long> playerHp(const std::string& steps) {
  std::vector<long> hp;
  for (const std::string& line : lines(steps)) {
    const size_t player = line.find("\"player\":{");
    if (player != std::string::npos) hp.push_back(numberAfter(line, "hp", player));
  }
  return hp;
}

TEST(GameStartOptions, SceneAndInvincibleStartInTheSceneKeepTheHitPointsAndSaySoInTheTrace) {
  if (!gameprogram::haveGame()) GTEST_SKIP() << "the game is not built";
  GameCopy game;
  // The masher gets hit: the built-in player at its best may clear the hall's
  // first stretch with grabs and throws without a scratch.
  const std::string common = "--autoplay --autoplay-style masher --seed 3 --frames 4000 --scene zd";
  const gameprogram::Run spared = game.run(common + " --invincible --trace spared.jsonl");
  const gameprogram::Run hurt = game.run(common + " --trace hurt.jsonl");
  ASSERT_EQ(spared.exitCode, 0) << spared.err;
  ASSERT_EQ(hurt.exitCode, 0) << hurt.err;

  const std::vector<std::string> header = lines(game.read("spared.jsonl"));
  ASSERT_GT(header.size(), 100u);
  EXPECT_EQ(header[0].rfind("{\"trace\":1,\"seed\":3,\"startScene\":\"zd\",\"invincible\":true,\"autoplay\":true,", 0),
            0u)
      << header[0];
  EXPECT_NE(header[0].find("\"--scene\",\"zd\",\"--invincible\",\"--trace\",\"spared.jsonl\"]}"), std::string::npos) << header[0];
  EXPECT_NE(lines(game.read("hurt.jsonl"))[0].find("\"startScene\":\"zd\",\"invincible\":false"), std::string::npos);
  EXPECT_EQ(header[1].find("{\"frame\":"), 0u);
  EXPECT_NE(header[1].find("\"scene\":\"zd\""), std::string::npos) << "the first step is in the scene asked for";
  // Where the door from the scene before puts the player.
  EXPECT_EQ(numberAfter(header[1], "x", header[1].find("\"player\"")), 120);

  const std::vector<long> kept = playerHp(game.steps("spared.jsonl"));
  const std::vector<long> lost = playerHp(game.steps("hurt.jsonl"));
  ASSERT_FALSE(kept.empty());
  ASSERT_FALSE(lost.empty());
  EXPECT_LT(*std::min_element(lost.begin(), lost.end()), lost.front()) << "the last scene's enemies hit the player";
  EXPECT_EQ(*std::min_element(kept.begin(), kept.end()), kept.front()) << "--invincible kept every hit point";
}

TEST(GameStartOptions, ASceneThatDoesNotExistOrIsNoPlainNameStopsTheStart) {
  if (!gameprogram::haveGame()) GTEST_SKIP() << "the game is not built";
  GameCopy game;
  const gameprogram::Run missing = game.run("--scene nowhere --frames 10");
  EXPECT_EQ(missing.exitCode, 1) << missing.err;
  const gameprogram::Run escape = game.run("--scene ../zd --frames 10");
  EXPECT_EQ(escape.exitCode, 1);
  EXPECT_NE(escape.err.find("--scene"), std::string::npos) << escape.err;
  EXPECT_EQ(game.run("--scene").exitCode, 2);
}

TEST(GameStartOptions, HeroesAndDifficultyThatAreNotThereStopTheStartAndARecordingKeepsThem) {
  if (!gameprogram::haveGame()) GTEST_SKIP() << "the game is not built";
  GameCopy game;
  const gameprogram::Run nosuch = game.run("--headless --hero 1=nosuch --frames 10");
  EXPECT_EQ(nosuch.exitCode, 1);
  EXPECT_NE(nosuch.err.find("--hero 1=nosuch: no such hero; the heroes are c_morivane, c_kaelin"), std::string::npos)
      << nosuch.err;
  EXPECT_EQ(game.run("--headless --difficulty impossible --frames 10").exitCode, 2);
  EXPECT_EQ(game.run("--headless --hero 5=c_kaelin --frames 10").exitCode, 2);
  // A rules file that offers a hero whose character file is missing.
  {
    std::string rules = game.read("game/data/rules.txt");
    rules.replace(rules.find("heroes = c_morivane c_kaelin"), 28, "heroes = c_morivane c_ghost");
    std::ofstream(game.file("game/data/rules.txt"), std::ios::trunc) << rules;
  }
  const gameprogram::Run ghost = game.run("--headless --frames 10");
  EXPECT_EQ(ghost.exitCode, 1);
  EXPECT_NE(ghost.err.find("heroes names c_ghost, but there is no character file data/chara/c_ghost.dat"),
            std::string::npos)
      << ghost.err;
  // A rules file that prices an action the hero does not have: the line, at the start.
  {
    std::string rules = game.read("game/data/rules.txt");
    rules.replace(rules.find("heroes = c_morivane c_ghost"), 27, "heroes = c_morivane c_kaelin");
    std::ofstream(game.file("game/data/rules.txt"), std::ios::trunc) << rules << "power-cost c_kaelin 99 = 5\n";
  }
  const gameprogram::Run priced = game.run("--headless --frames 10");
  EXPECT_EQ(priced.exitCode, 1);
  EXPECT_NE(priced.err.find("data/rules.txt:"), std::string::npos) << priced.err;
  EXPECT_NE(priced.err.find(": power-cost c_kaelin 99: c_kaelin has no action 99"), std::string::npos) << priced.err;
}

TEST(GameStartOptions, ARecordingOfAHeroOnHardReplaysTheSameGame) {
  if (!gameprogram::haveGame()) GTEST_SKIP() << "the game is not built";
  GameCopy game;
  const gameprogram::Run played =
      game.run("--autoplay --seed 2 --frames 3000 --difficulty hard --hero 1=c_kaelin --record hard.rep");
  ASSERT_EQ(played.exitCode, 0) << played.err;
  const std::string rec = game.read("hard.rep");
  EXPECT_NE(rec.find("difficulty hard\nhero 1 c_kaelin\n"), std::string::npos) << rec.substr(0, 200);
  const gameprogram::Run replayed = game.run("--headless --replay hard.rep --frames 3000");
  EXPECT_EQ(replayed.exitCode, 0) << replayed.err;
  EXPECT_EQ(replayed.result(), played.result());
}

// "result=victory score=310 kills=17 frames=10037" without its score (and its kills).
std::string withoutScore(const std::string& result, const char* upTo = " kills=") {
  const size_t score = result.find(" score=");
  const size_t end = result.find(upTo);
  if (score == std::string::npos || end == std::string::npos || end < score) return "(no score in: " + result + ")";
  return result.substr(0, score) + result.substr(end);
}

long scoreOf(const std::string& result) {
  const size_t at = result.find(" score=");
  return at == std::string::npos ? -1 : std::stol(result.substr(at + 7));
}

TEST(GameRulesFile, TheScoreTableComesFromTheFileAndTheGameIsTheSameFrameForFrame) {
  if (!gameprogram::haveGame()) GTEST_SKIP() << "the game is not built";
  GameCopy game;
  // The default game ships a rules file that scores its later enemies.
  const gameprogram::Run plain = game.run("--autoplay --seed 1 --frames 60000 --trace plain.jsonl");
  ASSERT_EQ(plain.result().rfind("result=victory score=", 0), 0u) << plain.result();
  EXPECT_NE(lines(game.read("plain.jsonl"))[0].find("\"rules\":\"data/rules.txt\""), std::string::npos);
  std::ofstream(game.file("game/data/rules.txt"), std::ios::app) << "# every guai01 is worth more\nscore guai01 = 1000\n";
  const gameprogram::Run ruled = game.run("--autoplay --seed 1 --frames 60000 --trace ruled.jsonl");
  ASSERT_EQ(ruled.exitCode, 0) << ruled.err;
  // guai01 was worth 10: each one defeated adds 990 more, and the game is the same.
  const long points = scoreOf(ruled.result()) - scoreOf(plain.result());
  EXPECT_GT(points, 0) << ruled.result();
  EXPECT_EQ(points % 990, 0) << ruled.result();
  EXPECT_EQ(withoutScore(ruled.result()), withoutScore(plain.result()));
  EXPECT_NE(lines(game.read("ruled.jsonl"))[0].find("\"rules\":\"data/rules.txt\""), std::string::npos);
  // Without the file the game's own table scores (the later enemies score and count nothing) and every
  // enemy keeps the game's own pace: another game, and a trace that says so.
  std::filesystem::remove(game.file("game/data/rules.txt"));
  const gameprogram::Run bare = game.run("--autoplay --seed 1 --frames 60000 --trace bare.jsonl");
  ASSERT_EQ(bare.exitCode, 0) << bare.err;
  EXPECT_LT(scoreOf(bare.result()), scoreOf(plain.result()));
  EXPECT_NE(lines(game.read("bare.jsonl"))[0].find("\"rules\":null"), std::string::npos);

  std::ofstream(game.file("game/data/rules.txt")) << "score guai01 = 1000\nfirst-scene = ../up\n";
  const gameprogram::Run broken = game.run("--autoplay --seed 1 --frames 100");
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_NE(broken.err.find("data/rules.txt:2: the first scene's id \"../up\" is not a plain name"), std::string::npos)
      << broken.err;
  EXPECT_NE(broken.log.find("data/rules.txt:2:"), std::string::npos) << broken.log;
}

}  // namespace
