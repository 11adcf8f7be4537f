// Fair fights: a run of hits knocks down, getting up is safe for a moment,
// moves cost the power the rules give them, motion commands come in order,
// and the rules lines that switch these on refuse what they cannot use.
#include <cmath>
#include <fstream>

#include "WorldHelpers.h"
#include "world/RulesFile.h"

namespace worldtest {
namespace {

constexpr int32_t kHurt = 8, kKnockedDown = 10, kStand = 0, kEnergyThrow = 21, kJab = 13;

void writeText(const std::string &path, const std::string &text) { std::ofstream(path, std::ios::binary) << text; }

class FairFights : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    writeStartableGameFolder();
    // The victims lie for 20 frames, then stand again.
    for (const char *id : {"c_morivane", "guai01"}) {
      CharaData d = fighter(id == std::string("guai01") ? "guai01" : "hero", 1000);
      d.actions[5] = act({bodyBox(0, -50, 40, 100, 20), frame(0, 20)});
      w.writeChara(id, d);
    }
    // One blow of 5 at whatever stands near, then nothing.
    CharaData striker = fighter("striker", 10, 2);
    striker.actions[0] = act({frame(0, 1), attackBox(0, -50, 200, 100, 100, 5), armHit(-1, 2, 3, 1, 2), frame(0, 0)});
    w.writeChara("striker", striker);
  }
  std::unique_ptr<World> start(const std::string &rulesText) {
    writeText("data/rules.txt", rulesText);
    Expected<GameRules> rules = readGameRules();
    EXPECT_TRUE(rules) << rules.error().message();
    WorldServices services;
    services.log = [](const std::string &) {};
    services.random = [](int lo, int) { return lo; };
    auto made = std::make_unique<World>(rules ? *rules : GameRules{}, std::move(services));
    EXPECT_TRUE(made->ready()) << made->startError;
    return made;
  }
  // A blow from the other side lands on `victim` in the next frame.
  static void strike(World &world, const Chara &victim) {
    world.createObj("striker", 0, 0, 0, victim.team == 0 ? 1 : 0, victim.x, 0, victim.z + 1);
  }
  static void frames(World &world, int n) {
    for (int i = 0; i < n; ++i) world.step(FrameInput{});
  }
};

// The victims of each case: the player (seat 1) and the scene's enemy.
Chara &victim(World &world, bool player) { return *world.charas[player ? 0 : world.fighterCount()]; }

TEST_F(FairFights, TheThirdHitInTheWindowKnocksDownAndAnOldFolderIsOnlyHurt) {
  struct Case {
    const char *rules;
    int gapFrames;       // between the blows
    int32_t afterThird;  // the victim's action after the third blow
  } cases[] = {
      {"", 5, kHurt},                              // no rule: hits never add up
      {"knockdown-hits = 3 100\n", 5, kKnockedDown},
      {"knockdown-hits = 3 100\n", 60, kHurt},     // the third comes after the window
  };
  for (const bool player : {true, false})
    for (const Case &c : cases) {
      SCOPED_TRACE(std::string(player ? "player, " : "enemy, ") + "rules \"" + c.rules + "\" gap " +
                   std::to_string(c.gapFrames));
      std::unique_ptr<World> world = start(c.rules);
      Chara &v = victim(*world, player);
      for (int blow = 1; blow <= 3; ++blow) {
        const int32_t hpBefore = v.hp;
        strike(*world, v);
        frames(*world, 2);
        ASSERT_EQ(v.hp, hpBefore - 5) << "blow " << blow << " landed";
        if (blow < 3) {
          EXPECT_EQ(v.action, kHurt);
          frames(*world, c.gapFrames);
        }
      }
      EXPECT_EQ(v.action, c.afterThird);
    }
}

TEST_F(FairFights, GettingUpProtectsForTheRulesFramesAndThenBlowsLandAgain) {
  for (const bool player : {true, false}) {
    SCOPED_TRACE(player ? "player" : "enemy");
    std::unique_ptr<World> world = start("knockdown-hits = 2 100\nwake-up-protection = 30\n");
    Chara &v = victim(*world, player);
    for (int blow = 0; blow < 2; ++blow) {
      strike(*world, v);
      frames(*world, 3);
    }
    ASSERT_EQ(v.action, kKnockedDown);
    int waited = 0;
    while (v.action != kStand && waited < 400) {
      frames(*world, 1);
      ++waited;
    }
    ASSERT_EQ(v.action, kStand) << "got up";
    EXPECT_GT(v.protection, 25);
    // The striker's blow stays armed until it lands.
    const int32_t hp = v.hp;
    strike(*world, v);
    frames(*world, 20);
    EXPECT_EQ(v.hp, hp) << "no blow lands in the moment after getting up";
    frames(*world, 15);
    EXPECT_EQ(v.hp, hp - 5) << "once the moment is over the same blow lands";
  }
}

// An enemy down with hit points left (action 5, here with a body while it
// gets up) takes blows unless the rules make getting up untouchable; once it
// stands they land again.
TEST_F(FairFights, GettingUpUntouchableKeepsBlowsOffAFallenEnemyUntilItStands) {
  const struct {
    const char *rules;
    bool landsWhileDown;
  } cases[] = {{"", true}, {"getting-up = open\n", true}, {"getting-up = untouchable\n", false}};
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string("rules \"") + c.rules + "\"");
    std::unique_ptr<World> world = start(c.rules);
    Chara &v = victim(*world, false);
    v.setAction(kDeathAction);
    const int32_t hp = v.hp;
    strike(*world, v);
    frames(*world, 2);
    EXPECT_EQ(v.hp, c.landsWhileDown ? hp - 5 : hp);
    if (c.landsWhileDown) continue;
    int waited = 0;
    while (v.action == kDeathAction && waited < 100) {
      frames(*world, 1);
      ++waited;
    }
    ASSERT_NE(v.action, kDeathAction) << "got up";
    frames(*world, 2);
    EXPECT_EQ(v.hp, hp - 5) << "standing, the same armed blow lands";
  }
}

// Keys: S, then D, then J, each `gap` frames apart (0: S and D in one frame, a
// diagonal), S still held at J or not.
struct Motion {
  const char *what;
  const char *rules;
  int gap;
  bool downHeld;
  int32_t power;
  int32_t action;     // what the player does
  int32_t powerLeft;  // and the power it has then
};

TEST_F(FairFights, MotionCommandsComeInOrderAndCostTheirPower) {
  const char *inOrder = "motion-window = 20\npower-cost c_morivane 21 = 20\n";
  const Motion cases[] = {
      {"old folder: a diagonal and punch throws, free", "", 0, true, 90, kEnergyThrow, 90},
      {"in order, each step in time: the throw, paid", inOrder, 5, false, 90, kEnergyThrow, 70},
      {"a diagonal pressed at once is a punch", inOrder, 0, false, 90, kJab, 90},
      {"walking diagonally into a punch is a punch", inOrder, 5, true, 90, kJab, 90},
      {"too slow between the steps is a punch", inOrder, 25, false, 90, kJab, 90},
      {"without the power the keys punch instead", inOrder, 5, false, 19, kJab, 19},
      {"the power the throw costs is enough", "power-cost c_morivane 21 = 20\n", 5, false, 20, kEnergyThrow, 0},
  };
  for (const Motion &c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<World> world = start(c.rules);
    Chara &p = *world->charas[0];
    world->hud.power = c.power;
    auto key = [](std::initializer_list<GameKey> down, bool holdS) {
      FrameInput in = pressed(down);
      in.held[KEY_S] = holdS;
      return in;
    };
    if (c.gap == 0) {
      world->step(key({KEY_S, KEY_D}, true));
    } else {
      world->step(key({KEY_S}, true));
      for (int i = 1; i < c.gap; ++i) world->step(key({}, true));
      world->step(key({KEY_D}, c.downHeld));
    }
    for (int i = 1; i < 3; ++i) world->step(key({}, c.downHeld));
    world->step(key({KEY_J}, c.downHeld));
    EXPECT_EQ(p.action, c.action);
    EXPECT_EQ(world->hud.power, c.powerLeft);
  }
}

TEST_F(FairFights, BadLinesAreOneErrorNamingTheLine) {
  const std::pair<const char *, const char *> cases[] = {
      {"knockdown-hits = -4 150\n", "data/rules.txt:1: knockdown-hits wants the hits (from 2 to 20)"},
      {"knockdown-hits = 4\n", "data/rules.txt:1: knockdown-hits wants the hits (from 2 to 20)"},
      {"knockdown-hits = 4 99999999999\n", "data/rules.txt:1: knockdown-hits wants the hits (from 2 to 20)"},
      {"\nwake-up-protection = 100000\n", "data/rules.txt:2: wake-up-protection wants the frames after getting up"},
      {"wake-up-protection = -1\n", "data/rules.txt:1: wake-up-protection wants"},
      {"power-cost c_morivane = 20\n", "data/rules.txt:1: power-cost wants a character id and an action number"},
      {"power-cost c_morivane 21 = 91\n", "data/rules.txt:1: power-cost c_morivane 21 wants the power it spends"},
      {"power-cost ../x 21 = 5\n", "data/rules.txt:1: the character id \"../x\" is not a plain name"},
      {"motion-window = fast\n", "data/rules.txt:1: motion-window wants"},
      {"enemy-panel = yes\n", "data/rules.txt:1: enemy-panel wants names or off"},
      {"bosses =\n", "data/rules.txt:1: "},
      {"screen-shake = loud\n", "data/rules.txt:1: screen-shake wants on or off"},
      {"enemy-room = 1000\n", "data/rules.txt:1: enemy-room wants"},
      {"least-hit-stop = 3\nleast-hit-stop = 4\n", "data/rules.txt:2: least-hit-stop is given twice"},
      {"getting-up = yes\n", "data/rules.txt:1: getting-up wants untouchable or open"},
      {"getting-up boss02 = untouchable\n", "data/rules.txt:1: getting-up takes no name after it"},
  };
  for (const auto &[text, start] : cases) {
    writeText("data/rules.txt", text);
    Expected<GameRules> rules = readGameRules();
    ASSERT_FALSE(rules) << text;
    EXPECT_EQ(textLineMessage(rules.error()).rfind(start, 0), 0u) << textLineMessage(rules.error());
  }
}

TEST_F(FairFights, EnemiesOnOneSpotStepApartToTheRoomTheRulesGive) {
  for (const bool room : {false, true}) {
    std::unique_ptr<World> world = start(room ? "enemy-room = 30\n" : "");
    Chara *a = world->createChara("guai01", 1, 700, 300);
    Chara *b = world->createChara("guai01", 1, 700, 300);
    ASSERT_TRUE(a && b);
    for (int i = 0; i < 40; ++i) world->update();
    if (room)
      EXPECT_GE(std::abs(a->x - b->x), 29.0);
    else
      EXPECT_EQ(a->x, b->x);
  }
}

}  // namespace
}  // namespace worldtest
