// Resolving attacks: who can be hit, how often, the spark, the power gauge and
// the Hud's target; removing defeated enemies with their score; the end of the game.
#include "WorldHelpers.h"
#include "world/EnemyBehaviour.h"

namespace worldtest {
namespace {

class Hits : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    // A striker: waits one tick, then a 200-wide attack box for 5 damage, armed
    // with a held spark from "system" (action 2).
    CharaData striker = fighter("striker", 10, 2);
    striker.actions[0] = act({frame(0, 1), attackBox(0, -50, 200, 100, 100, 5), armHit(-1, 2, 3, 1, 2), frame(0, 0)});
    w.writeChara("striker", striker);
    CharaData ghost = fighter("ghost", 30);
    ghost.actions[0] = act({bodyBox(0, -50, 0, 100, 20), frame(0, 0)});
    w.writeChara("ghost", ghost);
  }
  // The player far away (enemies 500 or more away just stand), then the
  // characters, then the striker at z 101 so that it is moved after them.
  Obj* striker(double x = 300) {
    return world().createObj("striker", 0, 0, 0, 0, x, 0, 101);
  }
  size_t sparks() const {
    size_t n = 0;
    for (const Obj* o : w_objects()) n += (!o->asChara() && o->id() == "system" && o->action == 2);
    return n;
  }
  const std::vector<Obj*>& w_objects() const { return const_cast<Hits*>(this)->world().objects; }
};

TEST_F(Hits, AnAttackHitsTwoEnemiesInOneFrameAndNobodyTheNext) {
  addPlayer(2000, 100);
  Chara* a = world().createChara("guai01", 1, 280, 100);
  Chara* b = world().createChara("guai01", 1, 320, 100);
  Obj* s = striker();
  world().hud.power = 50;
  world().update();  // bodies and the striker's wait
  world().update();  // the striker arms and hits
  EXPECT_EQ(a->hp, 25);
  EXPECT_EQ(b->hp, 25);
  EXPECT_EQ(a->action, 8);
  EXPECT_EQ(b->action, 8);
  EXPECT_EQ(a->freeze, 2);
  EXPECT_EQ(s->freeze, 3) << "the attacker's own hit-stop";
  EXPECT_TRUE(s->hitLanded);
  EXPECT_FALSE(s->hit.active);
  EXPECT_EQ(world().hud.power, 52);
  ASSERT_EQ(sparks(), 2u);
  for (const Obj* o : w_objects()) {
    if (o->id() == "system") {
      EXPECT_EQ(o->z, 101.1f) << "in front of both boxes";
      EXPECT_EQ(o->y, -50);
      EXPECT_EQ(o->wait, 0) << "a spark spawned in the pass is first stepped in the next frame";
    }
  }
  for (int i = 0; i < 5; ++i) world().update();
  EXPECT_EQ(a->hp, 25);
  EXPECT_EQ(b->hp, 25);
  EXPECT_EQ(sparks(), 2u);
  EXPECT_EQ(world().hud.power, 52);
}

TEST_F(Hits, TheSameTeamAndZeroWidthBodiesAreNeverHit) {
  addPlayer(2000, 100);
  Chara* friendly = world().createChara("guai01", 0, 300, 100);
  Chara* ghost = world().createChara("ghost", 1, 300, 100);
  Obj* s = striker();
  world().hud.power = 50;
  for (int i = 0; i < 5; ++i) world().update();
  EXPECT_EQ(friendly->hp, 30);
  EXPECT_EQ(ghost->hp, 30);
  EXPECT_EQ(sparks(), 0u);
  EXPECT_EQ(world().hud.power, 50);
  EXPECT_TRUE(s->hit.active) << "an attack that met nobody stays armed";
}

TEST_F(Hits, PowerRisesOncePerResolvedHitUpTo90) {
  addPlayer(2000, 100);
  world().createChara("guai01", 1, 280, 100);
  world().createChara("guai01", 1, 320, 100);
  striker();
  world().hud.power = 89;
  world().update();
  world().update();
  EXPECT_EQ(sparks(), 2u);
  EXPECT_EQ(world().hud.power, 90);
  world().hud.gainPower();
  EXPECT_EQ(world().hud.power, 90);
}

TEST_F(Hits, ANonLethalHitMakesTheEnemyTheTarget) {
  addPlayer(2000, 100);
  Chara* a = world().createChara("guai01", 1, 300, 100);
  striker();
  world().update();
  world().update();
  EXPECT_EQ(a->hp, 25);
  EXPECT_EQ(world().hud.target, a);
}

TEST_F(Hits, ALethalHitClearsTheTargetInTheSameFrame) {
  addPlayer(2000, 100);
  Chara* a = world().createChara("guai01", 1, 300, 100);
  a->hp = 5;
  world().hud.target = a;
  striker();
  world().update();
  world().update();
  EXPECT_EQ(a->hp, 0);
  EXPECT_EQ(a->action, 10) << "knock-down";
  EXPECT_EQ(a->vx, -3.0);
  EXPECT_EQ(world().hud.target, nullptr);
}

TEST_F(Hits, HitsOnThePlayerAndOnPropsNeverBecomeTheTarget) {
  Chara* p = addPlayer(300, 100);
  Obj* s = world().createObj("striker", 0, 0, 0, 1, 300, 0, 101);  // the enemies' side
  world().hud.power = 10;
  world().update();
  world().update();
  EXPECT_EQ(p->hp, 95);
  EXPECT_FALSE(s->hit.active);
  EXPECT_EQ(world().hud.target, nullptr);
  EXPECT_EQ(world().hud.power, 11) << "an enemy's hit on the player raises the gauge too";
}

TEST_F(Hits, ADefeatedEnemyGoesWithItsDeathAndScores) {
  addPlayer(2000, 100);
  Chara* a = world().createChara("guai01", 1, 300, 100);
  a->hp = 5;
  striker();
  int frames = 0;
  while (world().charas.size() > 1 && frames < 200) {
    world().update();
    ++frames;
  }
  ASSERT_EQ(world().charas.size(), 1u) << "the knock-down lands in action 5 and the enemy finishes";
  EXPECT_EQ(world().hud.score, 10);
  EXPECT_EQ(world().hud.kills, 1);
  EXPECT_EQ(world().hud.target, nullptr);
  bool deathEffect = false;
  for (const Obj* o : w_objects()) deathEffect |= (o->id() == "system" && o->action == 8);
  EXPECT_TRUE(deathEffect) << "the death effect spawned in the update that removed the enemy";
}

class Removal : public WorldTest {};

TEST_F(Removal, EachNameScoresByTheTableAndUnknownNamesScoreNothing) {
  addPlayer(2000, 100);
  for (const char* id : {"guai01", "guai02", "boss01", "stranger"}) world().createChara(id, 1, 100, 100);
  for (size_t i = 1; i < world().charas.size(); ++i) world().charas[i]->finished = true;
  world().hud.target = world().charas[4];
  world().update();
  EXPECT_EQ(world().charas.size(), 1u);
  EXPECT_EQ(world().objects.size(), 1u) << "only the player is left";
  EXPECT_EQ(world().hud.score, 130);
  EXPECT_EQ(world().hud.kills, 3);
  EXPECT_EQ(world().hud.target, nullptr) << "the target never points to a destroyed enemy";
}

TEST_F(Removal, AnUnknownNameStillClearsTheScene) {
  addPlayer(2000, 100);
  world().doors = {World::Door{"Next", 300, 200, 40, 50}};
  Chara* e = world().createChara("stranger", 1, 100, 100);
  e->finished = true;
  world().update();
  EXPECT_EQ(world().hud.score, 0);
  EXPECT_EQ(world().hud.kills, 0);
  EXPECT_TRUE(world().doorsOpen);
}

TEST_F(Removal, TheNameComparisonIsExact) {
  const GameRules rules;
  EXPECT_EQ(rules.valueOf("guai01").score, 10);
  EXPECT_EQ(rules.valueOf("guai02").score, 20);
  EXPECT_EQ(rules.valueOf("boss01").score, 100);
  EXPECT_EQ(rules.valueOf("Guai01").score, 0);
  EXPECT_EQ(rules.valueOf("guai01 ").kills, 0);
  EXPECT_EQ(rules.valueOf("").kills, 0);
}

TEST_F(Removal, AFinishedPlayerLeavesTheObjectsButStaysEntryZero) {
  Chara* p = addPlayer(100, 100);
  p->finished = true;
  world().update();
  ASSERT_EQ(world().charas.size(), 1u);
  EXPECT_EQ(world().charas[0], p);
  EXPECT_TRUE(world().objects.empty());
}

TEST_F(Removal, AnEnemyFinishedByALaterAttackerLeavesBothLists) {
  // Its knock-down reaction is action 5: the lethal hit finishes it at once,
  // after the object pass has already moved it.
  CharaData fragile = fighter("guai01", 5);
  fragile.reactions = {8, 8, 5};
  w.writeChara("fragile", fragile);
  CharaData hitter = fighter("striker", 10, 2);
  hitter.actions[0] = act({frame(0, 1), attackBox(0, -50, 200, 100, 100, 5), armHit(-1, 0, 0, 1, 2), frame(0, 0)});
  w.writeChara("striker", hitter);
  addPlayer(2000, 100);
  Chara* e = world().createChara("fragile", 1, 300, 100);
  world().createObj("striker", 0, 0, 0, 0, 300, 0, 101);
  world().update();
  world().update();
  EXPECT_EQ(world().charas.size(), 1u);
  EXPECT_EQ(world().hud.kills, 1);
  for (const Obj* o : world().objects) EXPECT_NE(o, static_cast<Obj*>(e));
  world().update();  // nothing left points at the destroyed enemy
  for (const Obj* o : world().objects) EXPECT_NE(o, static_cast<Obj*>(e));
}

class GameEnd : public WorldTest {};

TEST_F(GameEnd, ThePlayerWithoutHitPointsInAction11EndsTheGame) {
  Chara* p = addPlayer(100, 100);
  p->hp = 0;
  p->setAction(9);
  world().update();
  EXPECT_FALSE(world().gameOver) << "no hit points in another action";
  p->hp = 1;
  p->setAction(11);
  world().update();
  EXPECT_FALSE(world().gameOver) << "action 11 with hit points left";
  p->hp = 0;
  world().update();
  EXPECT_TRUE(world().gameOver);
}

TEST_F(GameEnd, APlayerRemovedByTheDeathActionLosesInsteadOfPlayingOnUnseen) {
  Chara* p = addPlayer(100, 100);
  p->hp = 0;
  p->setAction(5);  // the death action finishes a character without hit points
  ASSERT_TRUE(p->finished);
  world().update();
  EXPECT_TRUE(world().gameOver);
  EXPECT_EQ(world().charas[0], p) << "the player stays entry 0";
}

TEST_F(GameEnd, ClearingTheSceneNamedZdEndsTheGameInTheSameUpdate) {
  addPlayer(2000, 100);
  world().name = "zd";
  Chara* e = world().createChara("guai01", 1, 100, 100);
  world().update();
  EXPECT_FALSE(world().gameOver);
  e->finished = true;
  world().update();
  EXPECT_TRUE(world().gameOver);
}

TEST_F(GameEnd, ClearingAnyOtherSceneDoesNot) {
  addPlayer(2000, 100);
  world().name = "zd2";
  Chara* e = world().createChara("guai01", 1, 100, 100);
  e->finished = true;
  world().update();
  EXPECT_FALSE(world().gameOver);
}

class DepthOrder : public WorldTest {};

TEST_F(DepthOrder, ObjectsAreSortedByDepthAfterEveryUpdate) {
  addPlayer(100, 300);
  world().createObj("system", 2, 0, 0, 0, 0, 0, 50);
  world().createObj("system", 2, 0, 0, 0, 0, 0, 400);
  world().createObj("system", 2, 0, 0, 0, 0, 0, 10);
  world().update();
  ASSERT_EQ(world().objects.size(), 4u);
  for (size_t i = 1; i < world().objects.size(); ++i) {
    EXPECT_LE(world().objects[i - 1]->z, world().objects[i]->z);
  }
}

}  // namespace
}  // namespace worldtest
