// data/rules.txt: absent means exactly the game's own rules; each key given
// replaces one rule and leaves the rest; anything that is not a usable rule is
// one error naming the file and the line. And the rules a started world
// plays by: a modder's enemy scores, an invincible player keeps its hit points.
#include <fstream>

#include "WorldHelpers.h"
#include "world/RulesFile.h"

namespace worldtest {
namespace {

void writeText(const std::string &path, const std::string &text) { std::ofstream(path, std::ios::binary) << text; }

// "file:line: what" for rules text that must be refused.
std::string refusal(const std::string &text) {
  writeText("data/rules.txt", text);
  Expected<GameRules> rules = readGameRules();
  if (rules) return "(accepted)";
  return textLineMessage(rules.error());
}

bool sameRules(const GameRules &a, const GameRules &b) {
  if (a.playerId != b.playerId || a.playerX != b.playerX || a.playerZ != b.playerZ || a.firstScene != b.firstScene ||
      a.finalScene != b.finalScene || a.packFile != b.packFile || a.packPassword != b.packPassword ||
      a.music != b.music || a.playerInvincible != b.playerInvincible || a.scores.size() != b.scores.size())
    return false;
  for (size_t i = 0; i < a.scores.size(); ++i)
    if (a.scores[i].enemyName != b.scores[i].enemyName || a.scores[i].value.score != b.scores[i].value.score ||
        a.scores[i].value.kills != b.scores[i].value.kills)
      return false;
  return true;
}

class RulesFile : public WorldTest {};

TEST_F(RulesFile, NoFileAndAnEmptyOrCommentOnlyFileAreTheGamesOwnRules) {
  bool found = true;
  Expected<GameRules> none = readGameRules(kRulesFile, &found);
  ASSERT_TRUE(none) << none.error().message();
  EXPECT_FALSE(found);
  EXPECT_TRUE(sameRules(*none, GameRules{}));
  EXPECT_EQ(none->valueOf("guai01").score, 10);
  EXPECT_EQ(none->packPassword, "brazenoth");

  writeText("data/rules.txt", "\xEF\xBB\xBF# nothing changed\r\n\n   \n\t# still nothing\n");
  Expected<GameRules> comments = readGameRules(kRulesFile, &found);
  ASSERT_TRUE(comments) << comments.error().message();
  EXPECT_TRUE(found);
  EXPECT_TRUE(sameRules(*comments, GameRules{}));
}

TEST_F(RulesFile, EachKeyGivenReplacesOneRuleAndTheRestStay) {
  writeText("data/rules.txt",
            "# a modder's rules\n"
            "score wolf = 40\n"
            "score guai01 = 15 2\n"
            "final-scene = lair\n"
            "player-x = -20\n");
  Expected<GameRules> rules = readGameRules();
  ASSERT_TRUE(rules) << rules.error().message();
  EXPECT_EQ(rules->valueOf("wolf").score, 40);
  EXPECT_EQ(rules->valueOf("wolf").kills, 1) << "an enemy counts one kill unless the rule says otherwise";
  EXPECT_EQ(rules->valueOf("guai01").score, 15);
  EXPECT_EQ(rules->valueOf("guai01").kills, 2);
  EXPECT_EQ(rules->valueOf("guai02").score, 20) << "enemies the file does not name keep their value";
  EXPECT_EQ(rules->valueOf("boss01").score, 100);
  EXPECT_EQ(rules->finalScene, "lair");
  EXPECT_EQ(rules->playerX, -20);
  GameRules expected;
  EXPECT_EQ(rules->playerZ, expected.playerZ);
  EXPECT_EQ(rules->playerId, expected.playerId);
  EXPECT_EQ(rules->firstScene, expected.firstScene);
  EXPECT_EQ(rules->packPassword, expected.packPassword);
  EXPECT_FALSE(rules->playerInvincible) << "the file cannot make the player invincible";

  writeText("data/rules.txt",
            "player = hero\nfirst-scene = gate\npack-password = open "
            "sesame\nscore \xE7\x8B\xBC = 5 0\n");
  rules = readGameRules();
  ASSERT_TRUE(rules) << rules.error().message();
  EXPECT_EQ(rules->playerId, "hero");
  EXPECT_EQ(rules->firstScene, "gate");
  EXPECT_EQ(rules->packPassword, "open sesame");
  EXPECT_EQ(rules->valueOf("\xC0\xC7").score, 5) << "names are UTF-8 in the file and GBK in the data";
  EXPECT_EQ(rules->valueOf("\xC0\xC7").kills, 0);
}

TEST_F(RulesFile, GarbageIsOneErrorNamingTheFileAndTheLine) {
  EXPECT_EQ(refusal("score guai01 = 10\nspeed = 3\n"),
            "data/rules.txt:2: \"speed\" is not a rule of the game; the rules are: player, player-x, player-z, "
            "first-scene, final-scene, pack-password, continues, coop-hp-percent, heroes, score NAME, pace NAME, "
            "walk-speed NAME, stretch SCENE, enemy-place SCENE N, place-name SCENE, door-depth, and for each level of difficulty (easy, normal, hard) LEVEL.enemy-hp-percent, "
            "LEVEL.enemy-damage-percent, LEVEL.enemy-pace-percent, LEVEL.continues, instructions, cannot-grab, and knockdown-hits, "
            "wake-up-protection, power-cost CHARA ACTION, motion-window, enemy-panel, display-name NAME, bosses, "
            "least-hit-stop, screen-shake, enemy-room, getting-up, breakable CHARA ACTION, item NAME, weapon NAME, "
            "holds SCENE N, lies SCENE, picks-weapons, pick-up-action");
  EXPECT_EQ(refusal("\n\nthis line has no equals sign\n"),
            "data/rules.txt:3: a rule is written `key = value`, this line has "
            "no '='");
  EXPECT_EQ(refusal("= 4\n"),
            "data/rules.txt:1: nothing before the '=': a "
            "rule is written `key = value`");
  EXPECT_EQ(refusal("player-x = 12\nplayer-x = 13\n"), "data/rules.txt:2: player-x is given twice (first on line 1)");
  EXPECT_EQ(refusal("score guai01 = 1\nscore guai01 = 2\n"),
            "data/rules.txt:2: score guai01 is given twice (first on line 1)");
  EXPECT_EQ(refusal("player-x = 12abc\n"),
            "data/rules.txt:1: \"12abc\" is not a whole number from -1000000 "
            "to 1000000");
  EXPECT_EQ(refusal("player-z = 99999999999999\n"),
            "data/rules.txt:1: \"99999999999999\" is not a whole number from "
            "-1000000 to 1000000");
  EXPECT_EQ(refusal("player-z = +4\n"),
            "data/rules.txt:1: \"+4\" is not a whole number from -1000000 to "
            "1000000");
  EXPECT_EQ(refusal("score = 10\n"),
            "data/rules.txt:1: score needs the enemy's name, as its character "
            "file gives it: score guai03 = 30");
  EXPECT_EQ(refusal("score wolf = many\n"),
            "data/rules.txt:1: score wolf wants the points (a whole number), "
            "then optionally the kills it counts: "
            "\"many\" is not that");
  EXPECT_EQ(refusal("score wolf = 3 -1\n"),
            "data/rules.txt:1: score wolf: the kills an enemy counts are a "
            "whole number from 0 to 1000000, not \"-1\"");
  EXPECT_EQ(refusal("player = ../escape\n")
                .rfind("data/rules.txt:1: the player's character id "
                       "\"../escape\" is not a "
                       "plain name",
                       0),
            0u);
  EXPECT_EQ(refusal("first-scene =\n"), "data/rules.txt:1: the first scene's id is missing after the '='");
  EXPECT_EQ(refusal("pack-password =\n").rfind("data/rules.txt:1: pack-password needs", 0), 0u);
  EXPECT_EQ(refusal(std::string("player = a\0b\n", 13)),
            "data/rules.txt:1: a control byte (0x00): this is not a text file");
  EXPECT_EQ(refusal("# ok\nscore wolf = 1\n\xC0\xC7 = 2\n"), "data/rules.txt:3: bytes that are not UTF-8 text");
  EXPECT_EQ(refusal(std::string(kMaxRulesTextBytes + 1, '#')).rfind("data/rules.txt:1: ", 0), 0u);
}

TEST_F(RulesFile, AnEnemysPaceAndWalkingSpeedAreItsOwnAndTheOthersKeepTheGames) {
  writeText("data/rules.txt",
            "pace guai04 = 150 12\n"
            "walk-speed guai04 = 2.25\n"
            "walk-speed guai06 = 1\n"
            "pace \xE7\x8B\xBC = 0 501\n");
  Expected<GameRules> rules = readGameRules();
  ASSERT_TRUE(rules) << rules.error().message();
  EXPECT_EQ(rules->paceOf("guai04").attackPause, 150);
  EXPECT_EQ(rules->paceOf("guai04").attackTries, 12);
  EXPECT_EQ(rules->paceOf("guai04").walkSpeed, 2.25);
  EXPECT_EQ(rules->paceOf("guai06").attackPause, 500) << "a walking speed alone keeps the game's attack pace";
  EXPECT_EQ(rules->paceOf("guai06").attackTries, 2);
  EXPECT_EQ(rules->paceOf("guai06").walkSpeed, 1.0);
  EXPECT_EQ(rules->paceOf("\xC0\xC7").attackPause, 0) << "names are GBK in the data";
  EXPECT_EQ(rules->paceOf("\xC0\xC7").attackTries, 501);
  EXPECT_EQ(rules->paceOf("guai01").attackPause, 500);
  EXPECT_EQ(rules->paceOf("guai01").walkSpeed, 1.5);
  EXPECT_EQ(rules->valueOf("guai04").score, 0) << "a pace is not a score";

  EXPECT_EQ(refusal("pace guai04 = 150\n"),
            "data/rules.txt:1: pace guai04 wants the frames after an attack "
            "before the next try (0 to 360000), then "
            "the tries in 501 each frame (0 to 501; the game's own is 500 2): "
            "\"150\" is not that");
  EXPECT_EQ(refusal("pace guai04 = 150 502\n").rfind("data/rules.txt:1: pace guai04 wants", 0), 0u);
  EXPECT_EQ(refusal("pace guai04 = -1 2\n").rfind("data/rules.txt:1: pace guai04 wants", 0), 0u);
  EXPECT_EQ(refusal("pace guai04 = 1 2 3\n").rfind("data/rules.txt:1: pace guai04 wants", 0), 0u);
  EXPECT_EQ(refusal("pace = 1 2\n"),
            "data/rules.txt:1: pace needs the enemy's name, as its character "
            "file gives it: pace guai03 = 200 6");
  EXPECT_EQ(refusal("pace guai04 = 1 2\npace guai04 = 3 4\n"),
            "data/rules.txt:2: pace guai04 is given twice (first on line 1)");
  for (const char *speed : {"fast", "-1", "1.", ".5", "1.234", "20.01", "1,5", "1e2", "+2", "1 .5"})
    EXPECT_EQ(refusal(std::string("walk-speed guai04 = ") + speed + "\n"),
              std::string("data/rules.txt:1: walk-speed guai04 wants pixels a "
                          "frame from 0 to 20 with at most two "
                          "decimals (the game's own is 1.5): \"") +
                  speed + "\" is not that")
        << speed;
  EXPECT_EQ(refusal("walk-speed guai04 = 20\nwalk-speed guai05 = "
                    "0.05\nwalk-speed guai06 = 0\n"),
            "(accepted)");
  EXPECT_EQ(refusal("pacer guai04 = 1 2\n").rfind("data/rules.txt:1: \"pacer guai04\" is not a rule", 0), 0u);
}

TEST_F(RulesFile, AFolderOrALinkToNowhereInItsPlaceIsAnErrorNotTheDefaults) {
  std::filesystem::create_directories("data/rules.txt");
  EXPECT_FALSE(readGameRules());
  std::filesystem::remove("data/rules.txt");
  std::filesystem::create_symlink("nowhere.txt", "data/rules.txt");
  bool found = false;
  Expected<GameRules> dangling = readGameRules(kRulesFile, &found);
  EXPECT_FALSE(dangling);
  EXPECT_TRUE(found);
}

// A started world plays by the rules it is handed.
class RulesInPlay : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    writeStartableGameFolder();
    CharaData striker = fighter("striker", 10, 2);
    striker.actions[0] = act({frame(0, 1), attackBox(0, -50, 200, 100, 100, 5), armHit(-1, 2, 3, 1, 2), frame(0, 0)});
    w.writeChara("striker", striker);
  }
  std::unique_ptr<World> start(const GameRules &rules) {
    WorldServices services;
    services.log = [](const std::string &) {};
    services.random = [](int lo, int) { return lo; };
    auto made = std::make_unique<World>(rules, std::move(services));
    EXPECT_TRUE(made->ready()) << made->startError;
    return made;
  }
};

TEST_F(RulesInPlay, AModdersEnemyScoresWhatTheRulesSay) {
  writeText("data/rules.txt", "score stranger = 25 3\n");
  Expected<GameRules> rules = readGameRules();
  ASSERT_TRUE(rules) << rules.error().message();
  for (const bool withFile : {false, true}) {
    std::unique_ptr<World> world = start(withFile ? *rules : GameRules{});
    Chara *e = world->createChara("stranger", 1, 500, 300);
    ASSERT_TRUE(e);
    e->finished = true;
    world->update();
    EXPECT_EQ(world->hud.score, withFile ? 25 : 0);
    EXPECT_EQ(world->hud.kills, withFile ? 3 : 0);
  }
}

TEST_F(RulesInPlay, AnEnemyAttacksAtThePaceTheRulesGiveIt) {
  CharaData stranger = fighter("stranger", 10);
  stranger.aiRules.push_back(AiRule{0, 2000, 0, 2000, 100, 0, 0, 3});  // anywhere, always
  w.writeChara("stranger", stranger);
  writeText("data/rules.txt", "pace stranger = 500 0\n");
  Expected<GameRules> rules = readGameRules();
  ASSERT_TRUE(rules) << rules.error().message();
  for (const bool withFile : {false, true}) {
    std::unique_ptr<World> world = start(withFile ? *rules : GameRules{});
    Chara *e = world->createChara("stranger", 1, 300, 400);
    ASSERT_TRUE(e);
    world->update();  // every roll is its lowest: the game's own pace attacks at
                      // once
    EXPECT_EQ(e->action == 3, !withFile) << (withFile ? "no tries at all" : "the game's pace");
  }
}

TEST_F(RulesInPlay, AnInvinciblePlayerIsHitAndPushedButKeepsItsHitPoints) {
  for (const bool invincible : {false, true}) {
    GameRules rules;
    rules.playerInvincible = invincible;
    std::unique_ptr<World> world = start(rules);
    Chara *p = world->charas[0];
    const int32_t full = p->hp;
    Obj *s = world->createObj("striker", 0, 0, 0, 1, p->x, 0,
                              p->z + 1);  // the enemies' side
    world->update();
    world->update();
    EXPECT_FALSE(s->hit.active) << "the hit landed";
    EXPECT_EQ(p->hp, invincible ? full : full - 5);
    EXPECT_EQ(p->action, 8) << "the hit's reaction plays either way";
    EXPECT_NE(p->vx, 0.0) << "and it pushes";
  }
}

}  // namespace
}  // namespace worldtest
