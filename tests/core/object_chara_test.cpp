// Characters: hit reactions, lethal hits, turning, death and the end of an
// action; the two world factories and what they do with missing files.
#include <gtest/gtest.h>

#include <algorithm>

#include "ObjectWorld.h"

using namespace objtest;

namespace {

// A fighter file with ten actions; action n shows picture 0 for 50 ticks and
// sets a body box of width n + 1, so the running action can be told apart.
// Reactions: 0 -> 6, 1 -> 7, 2 -> 8 (the knock-down), 3 -> 5.
CharaData fighter(int32_t hp = 100) {
  std::vector<Action> actions;
  for (int n = 0; n < 10; ++n) actions.push_back(act({op(2, {0, 0, double(n + 1), 10, 10}), frame(0, 50)}));
  return chara(hp, 0, actions, {6, 7, 8, 5});
}

struct CharaWorld : ObjectWorld {
  CharaWorld() {
    addPictureSet("s", {{40, 60}});
    writeChara("fighter", fighter());
    // The shared effects file: action 8 is the death effect.
    std::vector<Action> effects(10, act({frame(0, 30)}));
    writeChara("system", chara(1, 0, effects));
  }
  Chara* make(int32_t team = 1, int32_t x = 100, int32_t z = 200) {
    return scene().createChara("fighter", team, x, z);
  }
};

HitInfo hitInfo(int32_t ground, int32_t air, double pushVx = -2, double pushVy = -1, int32_t freeze = 7) {
  HitInfo h;
  h.groundReaction = ground;
  h.airReaction = air;
  h.pushVx = pushVx;
  h.pushVy = pushVy;
  h.targetFreeze = freeze;
  h.active = true;
  return h;
}

}  // namespace

TEST(TakeHit, AHitOnTheGroundStartsTheGroundReactionFreezesPushesAndHurts) {
  CharaWorld w;
  Chara* c = w.make();
  c->vz = 4;
  c->takeHit(hitInfo(1, 0), 30, 1);
  EXPECT_EQ(c->action, 7);
  EXPECT_EQ(c->freeze, 7);
  EXPECT_EQ(c->vx, -2);
  EXPECT_EQ(c->vy, -1);
  EXPECT_EQ(c->vz, 0);
  EXPECT_EQ(c->hp, 70);
  EXPECT_FALSE(c->finished);
}

TEST(TakeHit, TheSameAttackPicksTheAirReactionJustAboveTheGround) {
  CharaWorld w;
  Chara* air = w.make();
  air->y = -0.5;
  air->takeHit(hitInfo(0, 1), 1, 1);
  EXPECT_EQ(air->action, 7);
  Chara* ground = w.make();
  ground->y = 0;
  ground->takeHit(hitInfo(0, 1), 1, 1);
  EXPECT_EQ(ground->action, 6);
}

TEST(TakeHit, ALethalHitKnocksDownBackwardsAndUpwardsUnlessItsReactionAlreadyIsTheKnockDown) {
  CharaWorld w;
  Chara* c = w.make();
  c->takeHit(hitInfo(0, 0), 250, 1);
  EXPECT_EQ(c->hp, 0);
  EXPECT_EQ(c->action, 8);
  EXPECT_EQ(c->vx, -3.0);
  EXPECT_EQ(c->vy, -3.0);
  EXPECT_EQ(c->vz, 0);
  EXPECT_EQ(c->freeze, 7);

  // Hit again with no hit points left: knocked down again.
  c->setAction(0);
  c->takeHit(hitInfo(1, 1, 5, 5), 0, 1);
  EXPECT_EQ(c->action, 8);
  EXPECT_EQ(c->vx, -3.0);
  EXPECT_EQ(c->vy, -3.0);

  // A lethal attack whose own reaction is the knock-down keeps its push.
  Chara* d = w.make();
  d->takeHit(hitInfo(2, 2, 4, -6), 100, 1);
  EXPECT_EQ(d->hp, 0);
  EXPECT_EQ(d->action, 8);
  EXPECT_EQ(d->vx, 4);
  EXPECT_EQ(d->vy, -6);
}

TEST(TakeHit, DamageNeverOverflowsHitPoints) {
  CharaWorld w;
  Chara* c = w.make();
  c->takeHit(hitInfo(0, 0), INT32_MIN, 1);  // a "healing" attack from a broken file
  EXPECT_EQ(c->hp, INT32_MAX);
  c->takeHit(hitInfo(0, 0), INT32_MAX, 1);
  EXPECT_EQ(c->hp, 0);
}

TEST(TakeHit, AReactionPastTheTableStillFreezesPushesAndHurtsButKeepsTheAction) {
  CharaWorld w;
  Chara* c = w.make();
  c->setAction(3);
  c->takeHit(hitInfo(4, 4), 10, 1);
  EXPECT_EQ(c->action, 3);
  EXPECT_EQ(c->freeze, 7);
  EXPECT_EQ(c->vx, -2);
  EXPECT_EQ(c->hp, 90);
  c->takeHit(hitInfo(-1, -1), 10, 1);
  c->takeHit(hitInfo(4, 4), 10, 1);
  EXPECT_EQ(c->action, 3);
  EXPECT_EQ(c->hp, 70);
  EXPECT_EQ(w.logCount("data/chara/fighter.dat: a hit asks for reaction 4"), 1u) << w.log();
  EXPECT_EQ(w.logCount("data/chara/fighter.dat: a hit asks for reaction -1"), 1u) << w.log();
}

TEST(TakeHit, AHitFromBehindTurnsTheCharacterToFaceTheAttacker) {
  CharaWorld w;
  Chara* c = w.make();
  ASSERT_EQ(c->facing, 0);
  c->takeHit(hitInfo(0, 0), 1, 0);  // attacker faces right too: it stands behind
  EXPECT_EQ(c->facing, 1);
  c->takeHit(hitInfo(0, 0), 1, 0);  // now they face each other
  EXPECT_EQ(c->facing, 1);
  // After the turn a negative push carries the character away from the attacker.
  c->x = 100;
  c->vx = -2;
  c->freeze = 0;
  c->move();
  EXPECT_EQ(c->x, 102);
}

TEST(Death, Action5WithNoHitPointsFinishesAndSpawnsTheEffect50UnitsAbove) {
  CharaWorld w;
  Chara* c = w.make(1, 120, 330);
  c->y = -4;
  c->setFacing(1);
  c->hp = 0;
  const size_t before = w.scene().objects.size();
  c->setAction(5);
  EXPECT_TRUE(c->finished);
  ASSERT_EQ(w.scene().objects.size(), before + 1);
  Obj* effect = w.scene().objects.back();
  EXPECT_EQ(effect->asChara(), nullptr);
  EXPECT_EQ(effect->id(), "system");
  EXPECT_EQ(effect->action, 8);
  EXPECT_EQ(effect->x, 120);
  EXPECT_EQ(effect->y, -54);
  EXPECT_EQ(effect->z, 330);
  EXPECT_EQ(effect->facing, 1);
  EXPECT_EQ(effect->team, 1);

  c->setAction(5);  // a finished character does not die twice
  EXPECT_EQ(w.scene().objects.size(), before + 1);
}

TEST(Death, Action5WithHitPointsLeftIsAnOrdinaryAction) {
  CharaWorld w;
  Chara* c = w.make();
  const size_t before = w.scene().objects.size();
  c->hp = 1;
  c->setAction(5);
  EXPECT_EQ(c->action, 5);
  EXPECT_FALSE(c->finished);
  EXPECT_EQ(w.scene().objects.size(), before);
}

TEST(Death, AKnockDownThatLandsInAction5KillsTheCharacter) {
  CharaWorld w;
  CharaData d = fighter();
  d.actions[8] = act({op(7, {0, 5, 0}), op(1, {-3, -3, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}), frame(0, 0)});
  w.writeChara("falls", d);
  Chara* c = w.scene().createChara("falls", 1, 100, 200);
  c->takeHit(hitInfo(0, 0, 0, 0, 0), 1000, 1);
  ASSERT_EQ(c->action, 8);
  for (int i = 0; i < 20 && !c->finished; ++i) ObjectWorld::tick(c);
  EXPECT_TRUE(c->finished);
  EXPECT_EQ(c->action, 5);
  EXPECT_EQ(c->y, 0);
  EXPECT_EQ(w.scene().objects.back()->id(), "system");
}

TEST(ActionEnd, InTheAirACharacterFallsOnOnTheGroundItStops) {
  CharaWorld w;
  CharaData d = fighter();
  d.actions[3] = act({frame(0, 1)});
  w.writeChara("short", d);
  Chara* air = w.scene().createChara("short", 1, 100, 200);
  air->setAction(3);
  air->step();
  air->y = -10;
  air->vx = 2, air->vy = -1, air->vz = 1;
  air->onActionEnd();
  EXPECT_EQ(air->action, 4);
  EXPECT_EQ(air->vx, 2);
  EXPECT_EQ(air->vy, -1);
  EXPECT_EQ(air->vz, 1);

  Chara* ground = w.scene().createChara("short", 1, 100, 200);
  ground->setAction(3);
  ground->step();
  ground->vx = 2, ground->vy = -1, ground->vz = 1;
  ground->ticks = 1;
  ground->step();  // runs out on the ground
  EXPECT_EQ(ground->action, 0);
  EXPECT_EQ(ground->vx, 0);
  EXPECT_EQ(ground->vy, 0);
  EXPECT_EQ(ground->vz, 0);
  EXPECT_EQ(ground->body.width, 1);  // action 0's first instruction ran in the same tick
}

TEST(Factories, CreateCharaAppendsAStandingCharacterToBothLists) {
  CharaWorld w;
  World& s = w.scene();
  const size_t objectsBefore = s.objects.size();
  Chara* c = s.createChara("fighter", 1, 250, 360);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(s.charas.back(), c);
  EXPECT_EQ(s.objects.back(), c);
  EXPECT_EQ(s.objects.size(), objectsBefore + 1);
  EXPECT_EQ(c->asChara(), c);
  EXPECT_EQ(c->team, 1);
  EXPECT_EQ(c->x, 250);
  EXPECT_EQ(c->y, 0);
  EXPECT_EQ(c->z, 360);
  EXPECT_EQ(c->action, 0);
  EXPECT_EQ(c->hp, 100);
  EXPECT_EQ(c->aiMode, 0);
  EXPECT_EQ(c->aiModeTimer, 0);
  EXPECT_EQ(c->aiAttackTimer, 0);
  EXPECT_EQ(c->picture, 0);
  EXPECT_EQ(w.shownWidth(c), 40);
}

TEST(Factories, CreateObjRoundsThePositionToFloatAndAppendsToObjectsOnly) {
  CharaWorld w;
  World& s = w.scene();
  const size_t charasBefore = s.charas.size();
  Obj* o = s.createObj("system", 3, 0, 1, 1, 0.1, -2.5, 1e300);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(s.objects.back(), o);
  EXPECT_EQ(s.charas.size(), charasBefore);
  EXPECT_EQ(o->asChara(), nullptr);
  EXPECT_EQ(o->x, static_cast<double>(0.1f));
  EXPECT_EQ(o->y, -2.5);
  EXPECT_EQ(o->z, static_cast<double>(std::numeric_limits<float>::max()));  // saturated, not undefined
  EXPECT_EQ(o->facing, 1);
}

TEST(Factories, MissingCharacterFilesAddNothingAndAreLogged) {
  CharaWorld w;
  World& s = w.scene();
  const size_t objectsBefore = s.objects.size();
  const size_t charasBefore = s.charas.size();
  EXPECT_EQ(s.createChara("nobody", 1, 0, 0), nullptr);
  EXPECT_EQ(s.createChara("nobody", 1, 0, 0), nullptr);
  EXPECT_EQ(s.createObj("nothing", 0, 0, 0, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(s.createObj("nothing", 0, 0, 0, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(s.objects.size(), objectsBefore);
  EXPECT_EQ(s.charas.size(), charasBefore);
  EXPECT_EQ(w.logCount("创建角色失败: data/chara/nobody.dat"), 2u) << w.log();
  EXPECT_EQ(w.logCount("data/chara/nothing.dat cannot be read"), 1u) << w.log();
}

TEST(Factories, AnObjectWhoseFileIsMissingGetsAnEmptyRecordAndFinishes) {
  CharaWorld w;
  Obj o(&w.scene(), "ghost", 0, 0, 0, 0, 0, 0);
  ASSERT_NE(o.data, nullptr);
  EXPECT_TRUE(o.data->actions.empty());
  EXPECT_EQ(o.hp, 0);
  ObjectWorld::tick(&o, 3);
  EXPECT_TRUE(o.finished);
  EXPECT_EQ(w.shownWidth(&o), 0);
}

TEST(Spawn, Opcode5SpawnsFromTheOwnOrTheSystemFileAtAWholeNumberX) {
  CharaWorld w;
  w.writeChara("gun", chara(1, 0,
                            {act({op(5, {0, 1, 0, 2.7, -3.5}), op(5, {1, 8, 0, 2.7, 0}), frame(0, 50)}),
                             act({frame(0, 50)})}));
  World& s = w.scene();
  Obj* right = s.createObj("gun", 0, 0, 0, 1, 10.5, -1, 77);
  Obj* left = s.createObj("gun", 0, 0, 1, 1, 10.5, -1, 77);
  const size_t before = s.objects.size();
  right->step();
  left->step();
  ASSERT_EQ(s.objects.size(), before + 4);
  Obj* ownRight = s.objects[before];
  Obj* systemRight = s.objects[before + 1];
  Obj* ownLeft = s.objects[before + 2];
  EXPECT_EQ(ownRight->id(), "gun");
  EXPECT_EQ(ownRight->action, 1);
  EXPECT_EQ(ownRight->x, 13);  // int(10.5 + 2.7)
  EXPECT_EQ(ownRight->y, -4.5);
  EXPECT_EQ(ownRight->z, 77);
  EXPECT_EQ(ownRight->team, 1);
  EXPECT_EQ(ownRight->facing, 0);
  EXPECT_EQ(systemRight->id(), "system");
  EXPECT_EQ(systemRight->action, 8);
  EXPECT_EQ(systemRight->x, 13);
  EXPECT_EQ(ownLeft->x, 7);  // int(10.5 - 2.7)
  EXPECT_EQ(ownLeft->facing, 1);
}

TEST(Spawn, SpawningFromAMissingSystemFileIsLoggedAndTheScriptGoesOn) {
  ObjectWorld w;
  w.addPictureSet("s", {{10, 10}});
  w.writeChara("gun", chara(1, 0, {act({op(5, {1, 0, 0, 0, 0}), op(2, {0, 0, 5, 5, 5}), frame(0, 1)})}));
  Obj* o = w.scene().createObj("gun", 0, 0, 0, 0, 0, 0, 0);
  const size_t before = w.scene().objects.size();
  ObjectWorld::tick(o, 4);
  EXPECT_EQ(w.scene().objects.size(), before);
  EXPECT_EQ(o->body.width, 5);
  EXPECT_EQ(w.logCount("data/chara/system.dat cannot be read"), 1u) << w.log();
}

TEST(Death, WithoutTheSharedEffectsFileTheCharacterStillDies) {
  ObjectWorld w;
  w.addPictureSet("s", {{40, 60}});
  w.writeChara("fighter", fighter());
  Chara* c = w.scene().createChara("fighter", 1, 100, 200);
  const size_t before = w.scene().objects.size();
  c->hp = 0;
  c->setAction(5);
  EXPECT_TRUE(c->finished);
  EXPECT_EQ(w.scene().objects.size(), before);
  EXPECT_EQ(w.logCount("data/chara/system.dat cannot be read"), 1u) << w.log();
}
