// Motion of objects: the motion instruction, hit-stop, landing and the two
// armed jumps, facing, and setAction's rules.
#include <gtest/gtest.h>

#include "ObjectWorld.h"

using namespace objtest;

namespace {

struct MotionWorld : ObjectWorld {
  MotionWorld() { addPictureSet("s", {{10, 10}, {20, 10}, {30, 10}}); }
  Obj* spawn(const std::string& id, int32_t action = 0, int32_t facing = 0) {
    return scene().createObj(id, action, 0, facing, 0, 0, 0, 0);
  }
};

struct Motion {
  double vx, vy, vz, ax, ay, az;
};
Motion motionOf(const Obj* o) { return {o->vx, o->vy, o->vz, o->ax, o->ay, o->az}; }

}  // namespace

TEST(MotionInstruction, Mode0AssignsMode1AddsKeepFlagsProtectOtherModesDoNothing) {
  MotionWorld w;
  const Instruction assignAll = op(1, {1, 2, 3, 0, 0, 0, 4, 5, 6, 0, 0, 0, 0});
  const Instruction addAll = op(1, {1, 2, 3, 0, 0, 0, 4, 5, 6, 0, 0, 0, 1});
  const Instruction assignKeeping = op(1, {9, 9, 9, 1, 0, 1, 9, 9, 9, 0, 1, 0, 0});
  const Instruction addKeeping = op(1, {9, 9, 9, 0, 1, 0, 9, 9, 9, 1, 0, 1, 1});
  const Instruction mode2 = op(1, {9, 9, 9, 0, 0, 0, 9, 9, 9, 0, 0, 0, 2});
  w.writeChara("m", chara(1, 0,
                          {act({assignAll, frame(0, 9)}), act({addAll, frame(0, 9)}),
                           act({assignKeeping, frame(0, 9)}), act({addKeeping, frame(0, 9)}),
                           act({mode2, frame(0, 9)})}));
  const Motion start{10, 20, 30, 40, 50, 60};
  auto run = [&](int32_t action) {
    Obj* o = w.spawn("m", action);
    o->vx = start.vx, o->vy = start.vy, o->vz = start.vz;
    o->ax = start.ax, o->ay = start.ay, o->az = start.az;
    o->step();  // the script alone, without a tick of motion
    return motionOf(o);
  };
  Motion m = run(0);
  EXPECT_EQ(m.vx, 1); EXPECT_EQ(m.vy, 2); EXPECT_EQ(m.vz, 3);
  EXPECT_EQ(m.ax, 4); EXPECT_EQ(m.ay, 5); EXPECT_EQ(m.az, 6);
  m = run(1);
  EXPECT_EQ(m.vx, 11); EXPECT_EQ(m.vy, 22); EXPECT_EQ(m.vz, 33);
  EXPECT_EQ(m.ax, 44); EXPECT_EQ(m.ay, 55); EXPECT_EQ(m.az, 66);
  m = run(2);
  EXPECT_EQ(m.vx, 10); EXPECT_EQ(m.vy, 9); EXPECT_EQ(m.vz, 30);
  EXPECT_EQ(m.ax, 9); EXPECT_EQ(m.ay, 50); EXPECT_EQ(m.az, 9);
  m = run(3);
  EXPECT_EQ(m.vx, 19); EXPECT_EQ(m.vy, 20); EXPECT_EQ(m.vz, 39);
  EXPECT_EQ(m.ax, 40); EXPECT_EQ(m.ay, 59); EXPECT_EQ(m.az, 60);
  m = run(4);
  EXPECT_EQ(m.vx, 10); EXPECT_EQ(m.vy, 20); EXPECT_EQ(m.vz, 30);
  EXPECT_EQ(m.ax, 40); EXPECT_EQ(m.ay, 50); EXPECT_EQ(m.az, 60);
}

TEST(Move, VelocityIsAddedBeforeAccelerationAndFollowsFacing) {
  MotionWorld w;
  w.writeChara("m", chara(1, 0, {act({frame(0, 0)})}));
  Obj* right = w.spawn("m", 0, 0);
  Obj* left = w.spawn("m", 0, 1);
  for (Obj* o : {right, left}) {
    o->x = 100, o->y = -50, o->z = 200;
    o->vx = 2, o->vy = -1, o->vz = 3;
    o->ax = 1, o->ay = 0.5, o->az = -1;
    o->move();
  }
  EXPECT_EQ(right->x, 102);
  EXPECT_EQ(left->x, 98);
  EXPECT_EQ(right->y, -51);
  EXPECT_EQ(right->z, 203);
  EXPECT_EQ(left->z, 203);
  EXPECT_EQ(right->vx, 3);
  EXPECT_EQ(right->vy, -0.5);
  EXPECT_EQ(right->vz, 2);
}

TEST(Move, HitStopFreezesMotionAndAnimationWhileTheScreenPlaceFollowsTheCamera) {
  MotionWorld w;
  w.writeChara("m", chara(1, 0, {act({frame(0, 1), frame(1, 1), frame(2, 1)})}));
  Obj* o = w.spawn("m");
  o->x = 300;
  o->z = 100;
  o->vx = 2;
  o->vy = -1;
  ObjectWorld::tick(o);  // picture 0, x 302
  ASSERT_EQ(o->x, 302);
  o->freeze = 3;
  for (int i = 1; i <= 3; ++i) {
    w.scene().cameraX = 10.0 * i;
    ObjectWorld::tick(o);
    EXPECT_EQ(o->x, 302) << "frozen tick " << i;
    EXPECT_EQ(o->y, -1) << "frozen tick " << i;
    EXPECT_EQ(w.shownWidth(o), 10) << "frozen tick " << i;
    EXPECT_EQ(o->sx, 302 - 10.0 * i) << "frozen tick " << i;
    EXPECT_EQ(o->sz, 100) << "frozen tick " << i;
  }
  EXPECT_EQ(o->freeze, 0);
  ObjectWorld::tick(o);
  EXPECT_EQ(o->x, 304);
  EXPECT_EQ(w.shownWidth(o), 20);
}

TEST(Landing, AFallingObjectIsPutOnTheGroundAndStopsFalling) {
  MotionWorld w;
  w.writeChara("m", chara(1, 0, {act({frame(0, 50)}), act({frame(1, 50), frame(2, 50)})}));
  Obj* o = w.spawn("m");
  ObjectWorld::tick(o);
  o->y = -3;
  o->vy = 4;
  o->ay = 1;
  ObjectWorld::tick(o);
  EXPECT_EQ(o->y, 0);
  EXPECT_EQ(o->vy, 0);
  EXPECT_EQ(o->ay, 0);
  EXPECT_EQ(o->action, 0);  // nothing armed: the action goes on
  EXPECT_EQ(w.shownWidth(o), 10);
}

TEST(Landing, AnArmedLandingJumpContinuesInTheSameTick) {
  MotionWorld w;
  // Action 0 arms a landing jump to instruction 1 of action 1.
  w.writeChara("m", chara(1, 0, {act({op(7, {0, 1, 1}), frame(0, 50)}), act({frame(1, 50), frame(2, 50)})}));
  Obj* o = w.spawn("m");
  ObjectWorld::tick(o);
  ASSERT_TRUE(o->landArmed);
  o->y = -3;
  o->vy = 4;
  ObjectWorld::tick(o);
  EXPECT_FALSE(o->landArmed);
  EXPECT_EQ(o->action, 1);
  EXPECT_EQ(o->pc, 1);
  EXPECT_EQ(w.shownWidth(o), 30);
  EXPECT_EQ(o->y, 0);
}

TEST(Landing, AnObjectBelowTheGroundMovingUpKeepsItsHeightButStops) {
  MotionWorld w;
  w.writeChara("m", chara(1, 0, {act({frame(0, 50)})}));
  Obj* o = w.spawn("m");
  o->y = 5;
  o->vy = -1;
  o->ay = -2;
  o->move();
  EXPECT_EQ(o->y, 4);
  EXPECT_EQ(o->vy, 0);
  EXPECT_EQ(o->ay, 0);
}

TEST(ArmedJumps, AHitJumpFiresWhenTheAttackLandsAndOnlyOnce) {
  MotionWorld w;
  w.writeChara("m", chara(1, 0,
                          {act({op(7, {1, 1, 1}), op(7, {2, 0, 0}), op(4, {0, 0, 0, 0, 0, 6, 0, 0}), frame(0, 50)}),
                           act({frame(1, 50), frame(2, 50)})}));
  Obj* o = w.spawn("m");
  ObjectWorld::tick(o);
  ASSERT_TRUE(o->hitArmed);
  EXPECT_FALSE(o->landArmed);  // a[0] = 2 arms nothing
  o->attackLanded();
  EXPECT_EQ(o->freeze, 6);
  EXPECT_FALSE(o->hitLanded);  // the jump changed the action, which clears it
  EXPECT_FALSE(o->hitArmed);
  EXPECT_EQ(o->action, 1);
  EXPECT_EQ(o->pc, 1);
  o->step();
  EXPECT_EQ(w.shownWidth(o), 30);
  o->setAction(0);
  o->attackLanded();  // disarmed: no second jump
  EXPECT_EQ(o->action, 0);
  EXPECT_TRUE(o->hitLanded);
}

TEST(ArmedJumps, AJumpToAMissingActionIsIgnoredAndLoggedOnce) {
  MotionWorld w;
  w.writeChara("m", chara(1, 0, {act({op(7, {0, 9, 0}), op(7, {1, -4, 0}), frame(0, 50), frame(1, 50)})}));
  Obj* o = w.spawn("m");
  ObjectWorld::tick(o);
  o->y = -1;
  o->vy = 2;
  ObjectWorld::tick(o);
  EXPECT_FALSE(o->landArmed);
  EXPECT_EQ(o->action, 0);
  EXPECT_EQ(o->pc, 2);
  o->attackLanded();
  EXPECT_FALSE(o->hitArmed);
  EXPECT_EQ(o->action, 0);
  EXPECT_EQ(o->pc, 2);
  EXPECT_EQ(w.logCount("a landing or hit jump to action 9,"), 1u) << w.log();
  EXPECT_EQ(w.logCount("a landing or hit jump to action -4,"), 0u) << "one line per file and action";
}

TEST(SetAction, AValidNumberRestartsTheScriptAnInvalidOneOnlyClearsHitLanded) {
  MotionWorld w;
  w.writeChara("m", chara(1, 0, {act({op(3, {0, 0, 4, 4, 4, 1}), frame(0, 5), frame(1, 5)}), act({frame(2, 5)})}));
  Obj* o = w.spawn("m");
  ObjectWorld::tick(o, 7);
  ASSERT_EQ(o->pc, 2);
  o->hitLanded = true;
  for (int32_t bad : {2, -1, 1000}) {
    o->setAction(bad);
    EXPECT_EQ(o->action, 0);
    EXPECT_EQ(o->pc, 2);
    EXPECT_EQ(o->ticks, 1);
    EXPECT_EQ(o->wait, 5);
    EXPECT_FALSE(o->holdPc);
    EXPECT_EQ(o->attack.width, 4);
    EXPECT_FALSE(o->hitLanded);
    o->hitLanded = true;
  }
  o->setAction(1);
  EXPECT_EQ(o->action, 1);
  EXPECT_EQ(o->pc, 0);
  EXPECT_EQ(o->ticks, 0);
  EXPECT_EQ(o->wait, 0);
  EXPECT_TRUE(o->holdPc);
  EXPECT_EQ(o->attack.width, 0);
  EXPECT_FALSE(o->hitLanded);
  o->step();
  EXPECT_EQ(w.shownWidth(o), 30);
}

TEST(SetAction, AnObjectMadeWithAMissingActionStartsFreshAndDoesNotCrash) {
  MotionWorld w;
  w.writeChara("m", chara(1, 0, {act({frame(1, 5)}), act({})}));
  Obj* o = w.scene().createObj("m", 42, 0, 0, 0, 0, 0, 0);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->action, 0);
  EXPECT_EQ(o->wait, 0);
  EXPECT_TRUE(o->holdPc);
  ObjectWorld::tick(o);
  EXPECT_EQ(w.shownWidth(o), 20);
}

TEST(Facing, TurnAroundFacesLeftFromAnythingButLeft) {
  MotionWorld w;
  w.writeChara("m", chara(1, 0, {act({frame(0, 5)})}));
  Obj* o = w.spawn("m");
  o->turnAround();
  EXPECT_EQ(o->facing, 1);
  EXPECT_NE(o->facing, 0);
  o->turnAround();
  EXPECT_EQ(o->facing, 0);
  EXPECT_EQ(o->facing, 0);
  o->setFacing(7);
  EXPECT_NE(o->facing, 0);
  o->turnAround();
  EXPECT_EQ(o->facing, 1);
}

TEST(Facing, SetVelocityWritesOnlyTheFlaggedComponents) {
  MotionWorld w;
  w.writeChara("m", chara(1, 0, {act({frame(0, 5)})}));
  Obj* o = w.spawn("m");
  o->vx = 1, o->vy = 2, o->vz = 3;
  o->setVelocity(7, 8, 9, true, false, true);
  EXPECT_EQ(o->vx, 7);
  EXPECT_EQ(o->vy, 2);
  EXPECT_EQ(o->vz, 9);
}
