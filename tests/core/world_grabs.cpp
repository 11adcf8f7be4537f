// Grabs: the extended instructions play only where the rules switch them on;
// walking into a standing enemy holds it, J knees and throws, K vaults, the
// held one struggles free, the holder lets go when hit; the ties and the
// removals; grips and flights in the saved state, the checksum and the trace.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "WorldHelpers.h"
#include "world/GrabActions.h"
#include "world/Trace.h"
#include "world/WorldChecksum.h"

namespace worldtest {
namespace {

Instruction grabBox(double x, double w) { return op(11, {x, -50, w, 60, 20}); }
Instruction throwHeld(double vx, double vy, double damage) { return op(12, {vx, vy, damage}); }
Instruction letGo(double turn) { return op(13, {turn}); }
Instruction jumpTo(double action) { return op(8, {action, 0}); }

// A hero whose walk reaches out with a grab box, with the four holding actions.
CharaData grabber() {
  CharaData d = fighter("hero", 100, 44);
  d.actions[1] = act({bodyBox(0, -50, 40, 100, 20), grabBox(30, 30), frame(0, 0)});
  d.actions[KNEE] = act({bodyBox(0, -50, 40, 100, 20), attackBox(30, -50, 40, 60, 20, 5), armHit(0, 0, 0, 1, 2),
                         frame(0, 3), jumpTo(HOLD)});
  d.actions[THROW] = act({bodyBox(0, -50, 40, 100, 20), frame(0, 1), throwHeld(6, -4, 10), frame(0, 5)});
  d.actions[VAULT] = act({letGo(1), frame(0, 3)});
  return d;
}

class Grabs : public WorldTest {
 public:
  World& scene() { return world(); }
  void SetUp() override {
    WorldTest::SetUp();
    w.writeChara("c_morivane", grabber());
    CharaData striker = fighter("striker", 10, 2);
    striker.actions[0] = act({attackBox(0, -50, 30, 100, 30, 50), armHit(0, 0, 0, 1, 2), frame(0, 0)});
    w.writeChara("striker", striker);
  }
  void extended(bool on = true) {
    GameRules rules;
    rules.extendedInstructions = on;
    rules.cannotGrab = {"boss01"};
    w.setRules(rules);
  }
  // Seat 1's hero at x 100 facing right, walking, and an enemy `id` at x 130.
  std::pair<Chara*, Chara*> heroAndEnemy(const std::string& id = "guai01") {
    world().width = 2000;
    world().depth = 500;
    Chara* hero = addPlayer(100, 300);
    world().setFighters(1);
    Chara* enemy = world().createChara(id, 1, 130, 300);
    hero->setAction(kWalkAction);
    return {hero, enemy};
  }
  void press(int seat, std::initializer_list<GameKey> keys, bool forward = false) {
    SeatInputs in;
    in[seat] = pressed(keys);
    if (forward) in[seat].held[KEY_D] = true;
    world().controlPlayers(in);
  }
  void frames(int n) {
    for (int i = 0; i < n; ++i) world().step(SeatInputs{});
  }
};

TEST_F(Grabs, WithoutTheSwitchTheExtendedInstructionsDoNothingAsANopWould) {
  // The same hero with each extended instruction where a nop stands in the
  // other file: frame by frame the two worlds sum the same.
  auto play = [&](bool withNops) {
    CharaData hero = grabber();
    if (withNops)
      for (Action& a : hero.actions)
        for (Instruction& k : a.codes)
          if (k.opcode > 10) k = op(9);
    w.writeChara("c_morivane", hero);
    auto random = std::make_shared<Random>(7);
    w.setRandom([random](int lo, int hi) { return random->range(lo, hi); });
    w.resetScene();
    auto [h, e] = heroAndEnemy();
    std::vector<uint64_t> sums;
    for (int i = 0; i < 60; ++i) {
      SeatInputs in;
      in[1].held[KEY_D] = true;
      if (i % 7 == 3) in[1].pressed[KEY_J] = true;
      world().step(in);
      sums.push_back(worldChecksum(&world(), 0));
      EXPECT_EQ(h->grab.width, 0) << "no grab box without the switch";
    }
    EXPECT_TRUE(world().grips.empty());
    return sums;
  };
  EXPECT_EQ(play(false), play(true));
}

TEST_F(Grabs, WalkingIntoAStandingEnemyHoldsItAndKneesCountTowardTheThrow) {
  extended();
  auto [hero, enemy] = heroAndEnemy();
  world().update();
  ASSERT_EQ(world().grips.size(), 1u);
  EXPECT_EQ(world().grips[0].holder, hero);
  EXPECT_EQ(world().grips[0].held, enemy);
  EXPECT_EQ(hero->action, HOLD);
  EXPECT_EQ(enemy->action, 8) << "the held one shows its hit-high reaction";
  EXPECT_EQ(enemy->facing, 1) << "facing its holder";

  for (int knee = 1; knee <= World::kKneesBeforeThrow; ++knee) {
    press(1, {KEY_J});
    EXPECT_EQ(hero->action, KNEE);
    frames(5);
    EXPECT_EQ(enemy->hp, 30 - 5 * knee) << "knee " << knee;
    EXPECT_EQ(hero->action, HOLD) << "the knee goes back to holding";
    ASSERT_EQ(world().grips.size(), 1u);
    EXPECT_EQ(world().grips[0].knees, knee);
  }
  press(1, {KEY_J});
  EXPECT_EQ(hero->action, THROW) << "J after the knees throws";
}

TEST_F(Grabs, AThrowFlyesTheHeldOneIntoItsFriendsAndItLandsDown) {
  extended();
  auto [hero, enemy] = heroAndEnemy();
  Chara* friendOf = world().createChara("guai01", 1, 230, 300);
  Chara* other = world().createChara("guai01", 1, 1200, 300);  // out of the way
  world().update();
  ASSERT_EQ(world().grips.size(), 1u);
  press(1, {KEY_J}, true);
  ASSERT_EQ(hero->action, THROW);
  frames(3);
  ASSERT_TRUE(world().grips.empty());
  ASSERT_EQ(world().flights.size(), 1u);
  EXPECT_EQ(enemy->hp, 20) << "the throw's damage";
  EXPECT_EQ(enemy->action, 10) << "its knock-down reaction";
  EXPECT_LT(enemy->y, 0);
  frames(60);
  EXPECT_GT(enemy->x, 200) << "it flew the thrower's way";
  EXPECT_EQ(friendOf->hp, 20) << "the friend it flew into";
  EXPECT_EQ(friendOf->action, 5) << "felled: knocked down and landed";
  EXPECT_EQ(other->hp, 30);
  EXPECT_TRUE(world().flights.empty()) << "the flight ends when it lands";
  EXPECT_EQ(enemy->action, 5) << "landed down";
}

TEST_F(Grabs, AThrowBackTurnsRoundAndAThrowIntoAWallStopsThere) {
  extended();
  auto [hero, enemy] = heroAndEnemy();
  world().walls = {Box{-230.0, 0.0, 250.0, 500.0, 0.0, 1000.0}};  // its right side at x 20
  world().update();
  ASSERT_EQ(world().grips.size(), 1u);
  SeatInputs in;
  in[1] = pressed({KEY_J});
  in[1].held[KEY_A] = true;
  world().controlPlayers(in);
  EXPECT_EQ(hero->facing, 1) << "turned to throw behind";
  frames(80);
  EXPECT_TRUE(world().flights.empty());
  EXPECT_GE(enemy->x, 40) << "stopped by the wall (its body 40 wide), not through it";
  EXPECT_LT(enemy->x, 70) << "it flew the way the thrower turned";
  EXPECT_EQ(enemy->y, 0);
}

TEST_F(Grabs, TheGripEnds) {
  struct Case {
    const char* what;
    std::function<void(Grabs&, Chara* hero, Chara* enemy)> act;
    int heroAction, enemyAction;  // -1: not looked at; kFree: standing or walking (its own mind again)
  };
  constexpr int kFree = -2;
  const Case cases[] = {
      {"the held one struggles free", [](Grabs& t, Chara*, Chara*) { t.frames(World::kStruggleFrames); }, 0, kFree},
      {"the holder is hit",
       [](Grabs& t, Chara*, Chara*) {
         t.scene().createObj("striker", 0, 0, 0, 1, 100, 0, 300);
         t.frames(2);
       },
       8, kFree},
      {"the held one is killed by another hit",
       [](Grabs& t, Chara*, Chara*) {
         t.scene().createObj("striker", 0, 0, 0, 0, 130, 0, 300);
         t.frames(2);
       },
       0, 10},
      {"K vaults over", [](Grabs& t, Chara*, Chara*) { t.press(1, {KEY_K}); t.frames(1); }, VAULT, kFree},
      {"the scene changes",
       [](Grabs& t, Chara*, Chara*) {
         writeScene("next", sceneNamed("next", 1000, 500));
         ASSERT_TRUE(t.scene().changeScene("next", 100, 300));
       },
       0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    extended();
    w.resetScene();
    auto [hero, enemy] = heroAndEnemy();
    world().update();
    ASSERT_EQ(world().grips.size(), 1u);
    c.act(*this, hero, enemy);
    EXPECT_TRUE(world().grips.empty());
    EXPECT_EQ(hero->action, c.heroAction);
    if (c.enemyAction >= 0) {
      EXPECT_EQ(enemy->action, c.enemyAction);
    }
    if (c.enemyAction == kFree) {
      EXPECT_TRUE(enemy->action == 0 || enemy->action == kWalkAction) << enemy->action;
    }
  }
}

TEST_F(Grabs, WhoCannotBeGrabbed) {
  struct Case {
    const char* what;
    const char* id;
    std::function<void(Chara* enemy)> prepare;
  };
  const Case cases[] = {
      {"a kind the rules name", "boss01", [](Chara*) {}},
      {"an enemy attacking", "guai01", [](Chara* e) { e->setAction(13); }},
      {"an enemy frozen by a hit", "guai01", [](Chara* e) { e->freeze = 5; }},
      {"an enemy in the air", "guai01", [](Chara* e) { e->y = -30; }},
      {"an enemy lying", "guai01", [](Chara* e) { e->setAction(5); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    extended();
    w.resetScene();
    auto [hero, enemy] = heroAndEnemy(c.id);
    hero->setAction(0);
    world().update();  // the enemy's body comes out
    hero->setAction(kWalkAction);
    c.prepare(enemy);
    world().update();
    EXPECT_TRUE(world().grips.empty());
    EXPECT_EQ(hero->action, kWalkAction);
  }
}

TEST_F(Grabs, AnEnemyWithAHoldActionGrabsAFighterWhoBreaksFreeByPressingKeys) {
  extended();
  CharaData heavy = fighter("heavy", 100, 44);
  heavy.actions[1] = act({bodyBox(0, -50, 40, 100, 20), grabBox(30, 30), frame(0, 0)});
  w.writeChara("heavy", heavy);
  world().width = 2000;
  world().depth = 500;
  Chara* hero = addPlayer(130, 300);
  world().setFighters(1);
  Chara* e = world().createChara("heavy", 1, 100, 300);
  e->setAction(kWalkAction);
  world().update();
  ASSERT_EQ(world().grips.size(), 1u);
  EXPECT_EQ(world().grips[0].holder, e);
  EXPECT_EQ(world().grips[0].held, hero);
  EXPECT_EQ(hero->action, 8);
  press(1, {KEY_D}, true);
  EXPECT_EQ(hero->action, 8) << "held: the keys do not walk";
  int presses = 0;
  while (presses < 20 && !world().grips.empty()) {
    press(1, {presses % 2 ? KEY_J : KEY_K});
    ++presses;
    frames(1);
  }
  EXPECT_TRUE(world().grips.empty());
  EXPECT_GE(presses, 8) << "the hold lasts 250 frames, a press is worth 25";
  EXPECT_LE(presses, 10);
  EXPECT_EQ(hero->action, 0) << "free, standing";
}

TEST_F(Grabs, TiesTheLowerSeatWinsAndAHitInTheGrabbingFrameWins) {
  extended();
  auto [hero, enemy] = heroAndEnemy();
  ASSERT_TRUE(world().join(2));
  Chara* second = world().seat(2).hud.player;
  second->x = 160;
  second->z = 300;
  second->protection = 0;
  second->setFacing(1);
  second->setAction(kWalkAction);
  world().update();
  ASSERT_EQ(world().grips.size(), 1u);
  EXPECT_EQ(world().grips[0].holder, hero) << "seat 1 before seat 2";
  EXPECT_EQ(second->action, kWalkAction);

  w.resetScene();
  auto [hero2, enemy2] = heroAndEnemy();
  world().createObj("striker", 0, 0, 0, 1, 100, 0, 300);
  world().update();
  EXPECT_TRUE(world().grips.empty()) << "hit in the frame it would grab: no grip";
  EXPECT_EQ(hero2->action, 8);
  EXPECT_TRUE(enemy2->action == 0 || enemy2->action == kWalkAction) << "not held: " << enemy2->action;
}

TEST_F(Grabs, GripsAndFlightsAreInTheStateTheChecksumAndTheTrace) {
  extended();
  auto [hero, enemy] = heroAndEnemy();
  world().createChara("guai01", 1, 230, 300);
  world().update();
  ASSERT_EQ(world().grips.size(), 1u);
  const uint64_t holding = worldChecksum(&world(), 0);
  std::vector<uint8_t> saved;
  world().saveState(0, saved);
  press(1, {KEY_J}, true);
  frames(4);
  ASSERT_EQ(world().flights.size(), 1u);
  std::vector<uint8_t> flying;
  world().saveState(0, flying);
  std::vector<uint64_t> after;
  for (int i = 0; i < 30; ++i) {
    world().step(SeatInputs{});
    after.push_back(worldChecksum(&world(), 0));
  }

  ASSERT_TRUE(world().restoreState(saved, "saved"));
  ASSERT_EQ(world().grips.size(), 1u);
  EXPECT_EQ(worldChecksum(&world(), 0), holding);
  ASSERT_TRUE(world().restoreState(flying, "flying"));
  ASSERT_EQ(world().flights.size(), 1u);
  for (int i = 0; i < 30; ++i) {
    world().step(SeatInputs{});
    ASSERT_EQ(worldChecksum(&world(), 0), after[static_cast<size_t>(i)]) << "frame " << i << " after the restore";
  }

  // A grip in the checksum: the same world holding and not holding sums differently.
  ASSERT_TRUE(world().restoreState(saved, "saved"));
  world().grips.clear();
  EXPECT_NE(worldChecksum(&world(), 0), holding);

  // A state whose grip names no character is refused with the place.
  ASSERT_TRUE(world().restoreState(saved, "saved"));
  std::vector<uint8_t> broken = saved;
  // The grip is holder, held, frames and knees (four numbers), then its reach:
  // find the reach's bytes (the last, as the grips follow the objects) and point the holder nowhere.
  const double reach = world().grips[0].reach;
  uint8_t reachBytes[sizeof reach];
  std::memcpy(reachBytes, &reach, sizeof reach);
  auto at = std::find_end(broken.begin(), broken.end(), std::begin(reachBytes), std::end(reachBytes));
  ASSERT_NE(at, broken.end());
  const size_t grip = static_cast<size_t>(at - broken.begin()) - 16;
  broken[grip] = 0x70;
  auto refused = world().restoreState(broken, "broken");
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().what.find("holder"), std::string::npos) << refused.error().what;

  TraceWriter trace("trace.jsonl");
  trace.write(world(), 1, 0);
  ASSERT_TRUE(trace.close());
  std::ifstream in("trace.jsonl");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("\"grips\":[{\"holder\":0,\"held\":1,\"frames\":0,\"knees\":0}],\"thrown\":[]"),
            std::string::npos)
      << text.str();
}

TEST_F(Grabs, AClassicTraceHasNoGrabFields) {
  auto [hero, enemy] = heroAndEnemy();
  world().update();
  TraceWriter trace("trace.jsonl");
  trace.write(world(), 1, 0);
  ASSERT_TRUE(trace.close());
  std::ifstream in("trace.jsonl");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str().find("grips"), std::string::npos);
}

}  // namespace
}  // namespace worldtest
