// The levels of difficulty: rules.txt's LEVEL.key lines land in their level
// and nowhere else, bad ones are one error naming the line, and a world plays
// the numbers of its level: the enemies' hit points as they enter, their blows
// on the fighters, how often they attack and the continues. Normal without
// lines of its own is the game as the data make it.
#include <fstream>

#include "WorldHelpers.h"
#include "world/RulesFile.h"

namespace worldtest {
namespace {

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

const char* const kLevels =
    "easy.enemy-hp-percent = 70\neasy.enemy-damage-percent = 60\neasy.enemy-pace-percent = 50\neasy.continues = 2\n"
    "hard.enemy-hp-percent = 130\nhard.enemy-damage-percent = 140\nhard.enemy-pace-percent = 200\n"
    "hard.continues = 0\n";

class Difficulty_ : public WorldTest {
 protected:
  GameRules rulesAt(Difficulty d) {
    writeText("data/rules.txt", kLevels);
    Expected<GameRules> rules = readGameRules();
    EXPECT_TRUE(rules) << rules.error().message();
    GameRules r = rules ? *rules : GameRules{};
    r.difficulty = d;
    return r;
  }
  std::string refusal(const std::string& text) {
    writeText("data/rules.txt", text);
    Expected<GameRules> rules = readGameRules();
    return rules ? "(accepted)" : textLineMessage(rules.error());
  }
};

TEST_F(Difficulty_, EachLevelsLinesLandInThatLevelAndNormalKeepsTheData) {
  struct Case {
    Difficulty level;
    int hp, damage, pause, tries, continuesAtStart;
  };
  // guai04's own pace is 400 3 here; the team shares 3 continues by the rules' default.
  for (const Case& c : {Case{Difficulty::Easy, 70, 60, 800, 1, 2}, Case{Difficulty::Normal, 100, 100, 400, 3, -1},
                        Case{Difficulty::Hard, 130, 140, 200, 6, 0}}) {
    writeText("data/rules.txt", std::string(kLevels) + "pace guai04 = 400 3\n");
    Expected<GameRules> read = readGameRules();
    ASSERT_TRUE(read) << read.error().message();
    GameRules r = *read;
    r.difficulty = c.level;
    SCOPED_TRACE(difficultyName(c.level));
    EXPECT_EQ(r.enemyHp(1000), c.hp * 10);
    EXPECT_EQ(r.enemyDamage(10), c.damage / 10);
    EXPECT_EQ(r.paceOf("guai04").attackPause, c.pause);
    EXPECT_EQ(r.paceOf("guai04").attackTries, c.tries);
    EXPECT_EQ(r.continuesRule(), c.continuesAtStart);
  }
  // The game's own pace and a pace that would pass 501 tries.
  GameRules hard = rulesAt(Difficulty::Hard);
  EXPECT_EQ(hard.paceOf("anyone").attackPause, 250);
  EXPECT_EQ(hard.paceOf("anyone").attackTries, 4);
  hard.paces.push_back({"wild", EnemyPace{0, 400, 1.5}});
  EXPECT_EQ(hard.paceOf("wild").attackTries, 501);
  EXPECT_EQ(GameRules{}.level().enemyHpPercent, 100);
}

TEST_F(Difficulty_, BadLevelLinesAreOneErrorNamingTheLine) {
  EXPECT_EQ(refusal("impossible.enemy-hp-percent = 50\n"),
            "data/rules.txt:1: \"impossible\" is not a level of difficulty: easy, normal or hard come before the '.'");
  EXPECT_EQ(refusal("easy.enemy-speed = 50\n").rfind("data/rules.txt:1: \"enemy-speed\" is not a rule of a level", 0),
            0u);
  for (const char* value : {"5", "1001", "-20", "lots", ""})
    EXPECT_EQ(refusal(std::string("# x\nhard.enemy-damage-percent = ") + value + "\n")
                  .rfind("data/rules.txt:2: hard.enemy-damage-percent wants a percent", 0),
              0u)
        << value;
  EXPECT_EQ(refusal("easy.continues = 100\n").rfind("data/rules.txt:1: easy.continues wants", 0), 0u);
  EXPECT_EQ(refusal("easy.continues = 1\neasy.continues = 2\n"),
            "data/rules.txt:2: easy.continues is given twice (first on line 1)");
  EXPECT_EQ(refusal("score guai.01 = 5\nnormal.enemy-hp-percent = 100\n"), "(accepted)")
      << "a dot in an enemy's name is not a level";
}

TEST_F(Difficulty_, AWorldPlaysTheNumbersOfItsLevel) {
  writeStartableGameFolder();  // the first scene's guai01 has 30 hit points
  CharaData striker = fighter("striker", 10, 2);
  striker.actions[0] = act({frame(0, 1), attackBox(0, -50, 200, 100, 100, 10), armHit(-1, 2, 3, 1, 2), frame(0, 0)});
  w.writeChara("striker", striker);
  struct Case {
    Difficulty level;
    int enemyHp, playerHpAfterBlow, continuesLeft;
  };
  for (const Case& c : {Case{Difficulty::Easy, 21, 94, 2}, Case{Difficulty::Normal, 30, 90, GameRules::kTeamContinues},
                        Case{Difficulty::Hard, 39, 86, 0}}) {
    SCOPED_TRACE(difficultyName(c.level));
    WorldServices services;
    services.log = [](const std::string&) {};
    services.random = [](int lo, int) { return lo; };
    World world(rulesAt(c.level), std::move(services));
    ASSERT_TRUE(world.ready()) << world.startError;
    ASSERT_EQ(world.enemyCount(), 1u);
    const Chara* e = world.charas[world.fighterCount()];
    EXPECT_EQ(e->hp, c.enemyHp);
    EXPECT_EQ(e->fullHp(), c.enemyHp) << "the bar starts full";
    EXPECT_EQ(world.continuesLeft, c.continuesLeft);
    Chara* p = world.charas[0];
    world.createObj("striker", 0, 0, 0, 1, p->x, 0, p->z + 1);  // the enemies' side
    world.update();
    world.update();
    EXPECT_EQ(p->hp, c.playerHpAfterBlow);
  }
}

}  // namespace
}  // namespace worldtest
