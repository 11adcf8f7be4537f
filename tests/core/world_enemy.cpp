// The enemy behaviour with a scripted random source: when enemies stand,
// approach, back off, turn and attack.
#include "WorldHelpers.h"
#include "world/EnemyBehaviour.h"

namespace worldtest {
namespace {

class Enemy : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    CharaData grunt = fighter("guai01", 30);
    grunt.aiRules.push_back(AiRule{0, 100, 0, 20, 0, 0, 0, 13});    // close: action 13, chance 0
    grunt.aiRules.push_back(AiRule{0, 100, 0, 20, 100, 0, 0, 14});  // close: action 14, always
    grunt.aiRules.push_back(AiRule{400, 900, 0, 50, 100, 0, 0, 15}); // far: action 15, always
    w.writeChara("grunt", grunt);
    p = addPlayer(400, 200);
    e = world().createChara("grunt", 1, 200, 200);
  }
  // One frame of behaviour; the attack part is kept quiet unless the script says otherwise.
  void think(ScriptedRandom& r, const EnemyPace& pace = {}) {
    runEnemyBehaviour(*e, *p, pace, [&r](int lo, int hi) { return r(lo, hi); });
  }
  Chara* p = nullptr;
  Chara* e = nullptr;
  static constexpr int kNoAttack = 250;  // a roll of the 2-in-501 attack chance that fails
};

TEST_F(Enemy, FiveHundredOrMoreAwayItStandsAndDecidesAgainEveryFrame) {
  p->x = 700;  // dx 500
  e->setAction(1);
  e->aiMode = AI_APPROACH;
  ScriptedRandom r{kNoAttack, kNoAttack};
  think(r);
  EXPECT_EQ(e->aiMode, AI_STAND);
  EXPECT_EQ(e->action, 0) << "stops walking";
  EXPECT_LE(e->aiModeTimer, 0) << "the timer is not reset";
  think(r);
  EXPECT_TRUE(r.used());
  // Only the attack part rolled: no movement roll at this distance.
  EXPECT_EQ(r.calls, (std::vector<std::pair<int, int>>{{0, 500}, {0, 500}}));
}

TEST_F(Enemy, At499ItRollsForAMode) {
  p->x = 699;
  p->setFacing(1);
  ScriptedRandom r{50, kNoAttack};
  think(r);
  EXPECT_TRUE(r.used());
  EXPECT_EQ(e->aiMode, AI_STAND);
  EXPECT_EQ(e->aiModeTimer, 10);
}

TEST_F(Enemy, FarAwayItMayStillAttackWithARuleForThatDistance) {
  p->x = 700;
  ScriptedRandom r{1, 100};
  think(r);
  EXPECT_EQ(e->action, 15);
  EXPECT_EQ(e->aiAttackTimer, 500);
}

TEST_F(Enemy, APlayerShowingItsBackIsApproached) {
  // Both face right and the player is in front of the enemy.
  ASSERT_EQ(e->facing, 0);
  ASSERT_EQ(p->facing, 0);
  ScriptedRandom r{95, 40, 0, kNoAttack};  // a stand roll, the timer, the drift roll
  think(r);
  EXPECT_TRUE(r.used());
  EXPECT_EQ(e->aiMode, AI_APPROACH);
  EXPECT_EQ(e->aiModeTimer, 40);
  EXPECT_EQ(e->action, 1);
  EXPECT_EQ(e->vx, 1.5);
  EXPECT_EQ(e->vz, -0.5) << "close in depth: drifts up with a roll of 0";
}

TEST_F(Enemy, FacingThePlayerARollBelow20Approaches) {
  p->setFacing(1);
  ScriptedRandom r{19, 10, 1, kNoAttack};
  think(r);
  EXPECT_EQ(e->aiMode, AI_APPROACH);
  EXPECT_EQ(e->vz, 0.5);
  EXPECT_TRUE(r.used());
}

TEST_F(Enemy, FarInBothXAndZItClosesInOnThePlayersDepth) {
  p->setFacing(1);
  p->z = 100;  // dz 100, dx 200
  ScriptedRandom r{0, 10, 1, kNoAttack};
  think(r);
  EXPECT_EQ(e->vx, 1.5);
  EXPECT_EQ(e->vz, -0.5) << "the player is farther away in depth";
  EXPECT_TRUE(r.used());
}

TEST_F(Enemy, ARollFrom20To29BacksOff) {
  p->setFacing(1);
  for (int k = 0; k <= 2; ++k) {
    e->setAction(0);
    e->aiModeTimer = 0;
    ScriptedRandom r{29, 33, k, kNoAttack};
    think(r);
    EXPECT_TRUE(r.used());
    EXPECT_EQ(e->aiMode, AI_BACK_OFF);
    EXPECT_EQ(e->aiModeTimer, 33);
    EXPECT_EQ(e->action, 1);
    EXPECT_EQ(e->vx, -1.5);
    EXPECT_EQ(e->vz, k == 1 ? -0.5 : 0.5) << "k = " << k << " (level with the player: zdir is +0.5)";
  }
}

TEST_F(Enemy, ARollOf30OrMoreStandsForTenFrames) {
  p->setFacing(1);
  e->setAction(1);
  ScriptedRandom r{30, kNoAttack};
  think(r);
  EXPECT_EQ(e->aiMode, AI_STAND);
  EXPECT_EQ(e->aiModeTimer, 10);
  EXPECT_EQ(e->action, 0);
  // Between decisions the movement part does nothing: nine frames, no movement roll.
  ScriptedRandom quiet{kNoAttack, kNoAttack, kNoAttack, kNoAttack, kNoAttack,
                       kNoAttack, kNoAttack, kNoAttack, kNoAttack};
  for (int i = 0; i < 9; ++i) think(quiet);
  EXPECT_TRUE(quiet.used());
  EXPECT_EQ(e->aiModeTimer, 1);
}

TEST_F(Enemy, LevelWithThePlayerAnApproachRollChangesNothing) {
  p->x = e->x;
  p->setFacing(1);
  e->setFacing(1);
  e->aiMode = AI_BACK_OFF;
  ScriptedRandom r{10, 0, kNoAttack};  // the mode roll, then the back-off direction roll
  think(r);
  EXPECT_TRUE(r.used());
  EXPECT_EQ(e->aiMode, AI_BACK_OFF) << "dx 0: the approach roll changes nothing";
  EXPECT_EQ(e->aiModeTimer, -1) << "and sets no timer";
  EXPECT_EQ(e->facing, 0) << "with p.x = e.x an idle enemy turns to face right";
}

TEST_F(Enemy, AnIdleEnemyTurnsToThePlayerButABusyOneDoesNot) {
  p->x = 100;
  p->setFacing(0);
  ScriptedRandom r{95, kNoAttack};
  think(r);
  EXPECT_EQ(e->facing, 1);

  p->x = 300;
  e->setAction(8);
  e->aiModeTimer = 0;
  e->aiAttackTimer = 0;
  ScriptedRandom busy{10, 20, 1};  // approach for 20 frames; the attack chance passes
  think(busy);
  EXPECT_TRUE(busy.used());
  EXPECT_EQ(e->facing, 1) << "no turning outside action 0";
  EXPECT_EQ(e->aiMode, AI_APPROACH) << "the mode changes";
  EXPECT_EQ(e->aiModeTimer, 20);
  EXPECT_EQ(e->action, 8) << "but it neither walks nor attacks";
  EXPECT_EQ(e->vx, 0);
}

TEST_F(Enemy, ARuleWithChance0FiresOnARollOf0Only) {
  p->setFacing(1);
  p->x = 250;  // dx 50: both close rules match
  e->aiModeTimer = 100;  // keep the movement part quiet
  // Roll 1 fails chance 0; the next rule (chance 100) fires.
  ScriptedRandom r{0, 1, 100};
  think(r);
  EXPECT_TRUE(r.used());
  EXPECT_EQ(e->action, 14);
  EXPECT_EQ(e->aiAttackTimer, 500);

  e->setAction(0);
  e->aiAttackTimer = 0;
  ScriptedRandom lucky{1, 0};
  think(lucky);
  EXPECT_TRUE(lucky.used());
  EXPECT_EQ(e->action, 13);
}

TEST_F(Enemy, ARuleWithChance100AlwaysFiresInItsWindow) {
  CharaData sure = fighter("guai01", 30);
  sure.aiRules.push_back(AiRule{0, 300, 0, 0, 100, 0, 0, 16});
  w.writeChara("sure", sure);
  Chara* s = world().createChara("sure", 1, 200, 200);
  s->aiModeTimer = 100;
  ScriptedRandom r{0, 100};
  runEnemyBehaviour(*s, *p, EnemyPace{}, [&r](int lo, int hi) { return r(lo, hi); });
  EXPECT_EQ(s->action, 16);
  // Outside its window (dz 1) it is not even rolled for.
  s->setAction(0);
  s->aiAttackTimer = 0;
  p->z = 201;
  ScriptedRandom outside{0};
  runEnemyBehaviour(*s, *p, EnemyPace{}, [&outside](int lo, int hi) { return outside(lo, hi); });
  EXPECT_TRUE(outside.used());
  EXPECT_EQ(s->action, 0);
  EXPECT_LE(s->aiAttackTimer, 0) << "tries again next frame";
}

TEST_F(Enemy, TheAttackChanceIsTwoIn501AndNeedsIdleOrWalking) {
  e->aiModeTimer = 100;
  ScriptedRandom miss{2};
  think(miss);
  EXPECT_EQ(e->action, 0);
  e->setAction(2);
  ScriptedRandom busy{0};
  think(busy);
  EXPECT_TRUE(busy.used());
  EXPECT_EQ(e->action, 2);
}

TEST_F(Enemy, AfterAnAttackItWaits500Frames) {
  e->aiModeTimer = 1000;
  e->aiAttackTimer = 500;
  ScriptedRandom none{};
  for (int i = 0; i < 499; ++i) think(none);
  EXPECT_TRUE(none.calls.empty());
  ScriptedRandom now{kNoAttack};
  think(now);
  EXPECT_TRUE(now.used());
}

// The world steps its enemies with the chance it is handed, and only with it:
// no engine, a scripted sequence, every number asked for accounted for.
TEST(EnemyInTheWorld, AStepOfTheWorldDrawsItsChanceFromTheGeneratorItIsHanded) {
  objtest::ObjectWorld w;
  CharaData grunt = fighter("guai01", 30);
  w.writeChara("c_morivane", fighter("hero", 100));
  w.writeChara("grunt", grunt);
  // The first frame: the movement roll (0..100), its timer (10..80) and the
  // approach's drift in depth (0..1), then the attack roll (0..500); the second frame:
  // only the attack roll.
  ScriptedRandom r{5, 40, 0, 250, 250};
  w.setRandom([&r](int lo, int hi) { return r(lo, hi); });
  Chara* p = w.scene().createChara("c_morivane", 0, 400, 200);
  w.scene().hud.player = p;
  Chara* e = w.scene().createChara("grunt", 1, 200, 200);
  w.scene().step(FrameInput{});
  EXPECT_EQ(e->aiMode, AI_APPROACH) << "a roll of 5 approaches";
  EXPECT_EQ(e->aiModeTimer, 40);
  w.scene().step(FrameInput{});
  EXPECT_TRUE(r.used());
  EXPECT_EQ(r.calls, (std::vector<std::pair<int, int>>{{0, 100}, {10, 80}, {0, 1}, {0, 500}, {0, 500}}));
}

// An enemy's own pace: its tries in 501, its pause after an attack and its walk.
TEST_F(Enemy, ItsPaceSetsHowOftenItTriesHowLongItWaitsAndHowFastItWalks) {
  p->x = 250;  // dx 50: the close rules' window
  // The game's own pace takes a roll of 0 or 1 only; a pace of 6 takes 2 to 5 as well.
  for (const int roll : {2, 5, 6}) {
    for (const bool ownPace : {false, true}) {
      e->setAction(0);
      e->aiAttackTimer = 0;
      e->aiModeTimer = 100;  // no movement roll
      ScriptedRandom r{roll, 100, 100};  // the roll, then rule 13 (chance 0) and rule 14
      think(r, ownPace ? EnemyPace{120, 6, 1.5} : EnemyPace{});
      const bool attacks = ownPace && roll < 6;
      EXPECT_EQ(e->action, attacks ? 14 : 0) << "roll " << roll << (ownPace ? " at a pace of 6" : " at the game's");
      if (attacks) {
        EXPECT_EQ(e->aiAttackTimer, 120) << "the pause is its own";
      }
    }
  }

  // It tries again once its own pause has run out, not the game's 500 frames.
  e->setAction(0);
  e->aiAttackTimer = 0;
  ScriptedRandom first{0, 100, 100};
  think(first, EnemyPace{3, 501, 1.5});
  ASSERT_EQ(e->action, 14);
  e->setAction(0);
  int frames = 0;
  while (e->action == 0 && frames < 10) {
    ++frames;
    e->aiModeTimer = 100;
    ScriptedRandom again{500, 100, 100};  // the highest roll: only 501 tries in 501 take it
    think(again, EnemyPace{3, 501, 1.5});
  }
  EXPECT_EQ(frames, 3);
  EXPECT_EQ(e->action, 14);

  // A pace of 0 tries never attacks, whatever the roll.
  e->setAction(0);
  e->aiAttackTimer = 0;
  ScriptedRandom never{0, 100, 100};
  think(never, EnemyPace{100, 0, 1.5});
  EXPECT_EQ(e->action, 0);

  // Approaching at its own walking speed.
  p->x = 400;
  e->setAction(0);
  e->aiModeTimer = 0;
  e->aiAttackTimer = 1000;
  ScriptedRandom approach{5, 40, 0};
  think(approach, EnemyPace{500, 2, 2.75});
  EXPECT_EQ(e->aiMode, AI_APPROACH);
  EXPECT_EQ(e->action, 1);
  EXPECT_DOUBLE_EQ(e->vx, 2.75);
}

}  // namespace
}  // namespace worldtest
