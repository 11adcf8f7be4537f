// The action-script interpreter: timing to the tick, the jumps between
// actions, and scripts that a faulty character file can contain.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ObjectWorld.h"
#include "object/ScriptNumber.h"

using namespace objtest;

namespace {

// A world with one picture set of four pictures, each of its own width
// (10, 20, 30, 40), so the picture shown can be read from its width.
struct ScriptWorld : ObjectWorld {
  ScriptWorld() { addPictureSet("s", {{10, 10}, {20, 10}, {30, 10}, {40, 10}}); }
  Obj* spawn(const std::string& id, int32_t action = 0, int32_t pc = 0) {
    return scene().createObj(id, action, pc, 0, 0, 0, 0, 0);
  }
};


// Opcode 1 setting only vx (mode 0, every other keep flag set).
Instruction setVx(double v) { return op(1, {v, 0, 0, 0, 1, 1, 0, 0, 0, 1, 1, 1, 0}); }
Instruction bodyWidth(double w) { return op(2, {0, 0, w, 1, 1}); }

}  // namespace

TEST(ScriptTiming, FramesShowForTheirDurationAndTheActionRunsOutAfterTheLast) {
  ScriptWorld w;
  w.writeChara("fx", chara(1, 0, {act({frame(0, 3), frame(1, 2)}), act({frame(2, 9)})}));
  Obj* o = w.spawn("fx");
  ASSERT_NE(o, nullptr);
  const float expected[] = {10, 10, 10, 20, 20};
  for (int tick = 1; tick <= 5; ++tick) {
    ObjectWorld::tick(o);
    EXPECT_EQ(w.shownWidth(o), expected[tick - 1]) << "tick " << tick;
    EXPECT_FALSE(o->finished) << "tick " << tick;
  }
  ObjectWorld::tick(o);  // tick 6: the action has run out; a plain object finishes
  EXPECT_TRUE(o->finished);
  EXPECT_EQ(o->action, 1);
}

TEST(ScriptTiming, InstructionsBetweenFramesRunInTheTickOfTheSecondFrame) {
  ScriptWorld w;
  w.writeChara("fx", chara(1, 0, {act({frame(0, 2), setVx(5), bodyWidth(7), frame(1, 4)}), act({})}));
  Obj* o = w.spawn("fx");
  ObjectWorld::tick(o, 2);
  EXPECT_EQ(o->vx, 0);
  EXPECT_EQ(o->body.width, 0);
  ObjectWorld::tick(o);  // tick 3
  EXPECT_EQ(o->vx, 5);
  EXPECT_EQ(o->body.width, 7);
  EXPECT_EQ(w.shownWidth(o), 20);
}

TEST(ScriptTiming, DurationZeroHoldsAMillionTicksAndNegativeDurationsDoNotWait) {
  ScriptWorld w;
  w.writeChara("fx", chara(1, 0, {act({frame(0, 0), frame(1, 5)}),
                                   act({frame(2, -1), bodyWidth(3), frame(3, -7), frame(1, 2)})}));
  Obj* held = w.spawn("fx");
  ObjectWorld::tick(held);
  EXPECT_EQ(held->wait, 1000000);
  ObjectWorld::tick(held, 999999);  // up to tick 1,000,000
  EXPECT_EQ(w.shownWidth(held), 10);
  ObjectWorld::tick(held);  // tick 1,000,001
  EXPECT_EQ(w.shownWidth(held), 20);

  Obj* quick = w.spawn("fx", 1);
  ObjectWorld::tick(quick);
  // Both negative frames and the box between them ran; the pass stopped at
  // the first frame that waits.
  EXPECT_EQ(quick->body.width, 3);
  EXPECT_EQ(w.shownWidth(quick), 20);
  EXPECT_EQ(quick->pc, 3);
  EXPECT_EQ(quick->wait, 2);
}

TEST(ScriptTiming, NoOperationAndUnknownOpcodesTakeNoTime) {
  ScriptWorld w;
  w.writeChara("fx", chara(1, 0, {act({op(9), op(-3, {1}), op(11, {1, 2}), op(1000), bodyWidth(4), frame(1, 2)})}));
  Obj* o = w.spawn("fx");
  ObjectWorld::tick(o);
  EXPECT_EQ(o->body.width, 4);
  EXPECT_EQ(w.shownWidth(o), 20);
}

TEST(ScriptTiming, AFrozenObjectKeepsItsFrame) {
  ScriptWorld w;
  w.writeChara("fx", chara(1, 0, {act({frame(0, 1), frame(1, 1)})}));
  Obj* o = w.spawn("fx");
  ObjectWorld::tick(o);
  o->freeze = 3;
  ObjectWorld::tick(o, 3);
  EXPECT_EQ(w.shownWidth(o), 10);
  EXPECT_EQ(o->freeze, 0);
  ObjectWorld::tick(o);
  EXPECT_EQ(w.shownWidth(o), 20);
}

TEST(ScriptJumps, Opcode8ContinuesAtTheGivenInstructionInTheSameTick) {
  ScriptWorld w;
  w.writeChara("fx", chara(1, 0,
                           {act({frame(0, 2), op(8, {1, 0})}),         // to action 1, instruction 0
                            act({bodyWidth(9), frame(1, 5)}),            //
                            act({frame(0, 2), op(8, {1, 1})})}));        // to action 1, instruction 1
  Obj* from0 = w.spawn("fx");
  ObjectWorld::tick(from0, 3);
  EXPECT_EQ(from0->action, 1);
  EXPECT_EQ(from0->pc, 1);
  EXPECT_EQ(from0->body.width, 9);
  EXPECT_EQ(w.shownWidth(from0), 20);

  Obj* from1 = w.spawn("fx", 2);
  ObjectWorld::tick(from1, 3);
  EXPECT_EQ(from1->action, 1);
  EXPECT_EQ(from1->body.width, 0);  // instruction 0 was skipped
  EXPECT_EQ(w.shownWidth(from1), 20);
}

TEST(ScriptJumps, Opcode8KeepsTheAttackBoxAndRunsNoActionHook) {
  ScriptWorld w;
  std::vector<Action> actions(6, act({frame(0, 9)}));
  actions[1] = act({op(3, {1, 1, 5, 5, 5, 7}), op(8, {5, 0})});
  w.writeChara("fighter", chara(10, 0, actions));
  Chara* c = w.scene().createChara("fighter", 1, 0, 0);
  ASSERT_NE(c, nullptr);
  c->setAction(1);
  c->hp = 0;
  c->hitLanded = true;
  ObjectWorld::tick(c);
  EXPECT_EQ(c->action, 5);
  EXPECT_EQ(c->attack.width, 5);
  EXPECT_EQ(c->damage, 7);
  EXPECT_TRUE(c->hitLanded);
  EXPECT_FALSE(c->finished);  // reaching action 5 by opcode 8 is not a death
}

TEST(ScriptJumps, ANewActionAfterTheEndStartsAtItsFirstInstructionInTheSameTick) {
  ScriptWorld w;
  std::vector<Action> actions(5, act({frame(0, 9)}));
  actions[0] = act({frame(2, 5)});
  actions[1] = act({setVx(4), frame(1, 1)});
  w.writeChara("fighter", chara(10, 0, actions));
  Chara* c = w.scene().createChara("fighter", 1, 0, 0);
  c->setAction(1);
  ObjectWorld::tick(c);
  EXPECT_EQ(c->vx, 4);
  ObjectWorld::tick(c);  // action 1 runs out: back to standing, which stops the character
  EXPECT_EQ(c->action, 0);
  EXPECT_EQ(c->pc, 0);
  EXPECT_EQ(w.shownWidth(c), 30);
  EXPECT_EQ(c->wait, 5);
  // The ended action's instruction 0 (vx = 4) did not run again.
  EXPECT_EQ(c->vx, 0);
}

TEST(ScriptJumps, AnActionWithoutInstructionsEndsAtOnce) {
  ScriptWorld w;
  std::vector<Action> actions(5, act({frame(1, 9)}));
  actions[3] = act({});
  w.writeChara("fighter", chara(10, 0, actions));
  w.writeChara("fx", chara(1, 0, {act({}), act({frame(3, 2)})}));
  Obj* o = w.spawn("fx");
  ObjectWorld::tick(o);
  EXPECT_TRUE(o->finished);
  EXPECT_EQ(w.shownWidth(o), 40);

  Chara* c = w.scene().createChara("fighter", 1, 0, 0);
  c->setAction(3);
  ObjectWorld::tick(c);
  EXPECT_EQ(c->action, 0);
  EXPECT_EQ(w.shownWidth(c), 20);
}

TEST(ScriptFaults, ALoopWithoutAFrameIsCutAfterTenThousandInstructionsAndLoggedOnce) {
  ScriptWorld w;
  // Each round adds 1 to vx and jumps back: two instructions per round.
  const Instruction addVx = op(1, {1, 0, 0, 0, 1, 1, 0, 0, 0, 1, 1, 1, 1});
  w.writeChara("loop", chara(1, 0, {act({addVx, op(8, {0, 0})})}));
  Obj* o = w.spawn("loop");
  ObjectWorld::tick(o);
  EXPECT_EQ(o->vx, 5000);
  ObjectWorld::tick(o);
  EXPECT_EQ(o->vx, 10000);
  ObjectWorld::tick(o, 3);
  EXPECT_EQ(w.logCount("data/chara/loop.dat: action 0: more than 10000 instructions"), 1u) << w.log();
}

TEST(ScriptFaults, MissingArgumentsReadAsZero) {
  ScriptWorld w;
  w.writeChara("fx", chara(1, 0, {act({op(2, {5}), op(3, {}), op(4), op(1, {2}), op(0, {1})})}));
  Obj* o = w.spawn("fx");
  o->vy = 3;
  o->ax = 1;
  ObjectWorld::tick(o);
  EXPECT_EQ(o->body.x, 5);
  EXPECT_EQ(o->body.width, 0);
  EXPECT_EQ(o->damage, 0);
  EXPECT_TRUE(o->hit.active);
  EXPECT_EQ(o->hit.groundReaction, 0);
  // Opcode 1 with only vx given: mode 0, keep flags 0, so every component is assigned.
  EXPECT_EQ(o->vx, 2);
  EXPECT_EQ(o->vy, 0);
  EXPECT_EQ(o->ax, 0);
  EXPECT_EQ(w.shownWidth(o), 20);
  EXPECT_EQ(o->wait, 1000000);  // a missing duration is 0: held
}

TEST(ScriptFaults, Opcode8ToAMissingActionIsIgnoredAndLoggedOnce) {
  ScriptWorld w;
  w.writeChara("fx", chara(1, 0, {act({op(8, {7, 0}), op(8, {-1, 0}), op(8, {1e300, 0}), bodyWidth(3), frame(0, 1)})}));
  Obj* o = w.spawn("fx");
  ObjectWorld::tick(o, 6);
  EXPECT_EQ(o->action, 0);
  EXPECT_EQ(o->body.width, 3);
  EXPECT_EQ(w.logCount("data/chara/fx.dat: action 0: opcode 8"), 1u) << w.log();
}

TEST(ScriptFaults, AnEndingPlainObjectWhoseFileHasNoAction1Finishes) {
  ScriptWorld w;
  w.writeChara("one", chara(1, 0, {act({frame(2, 1)})}));
  Obj* o = w.spawn("one");
  ObjectWorld::tick(o);
  EXPECT_FALSE(o->finished);
  ObjectWorld::tick(o);
  EXPECT_TRUE(o->finished);
  EXPECT_EQ(o->action, 0);
  ObjectWorld::tick(o, 3);  // stepping it again changes nothing and reads nothing out of range
  EXPECT_TRUE(o->finished);
  EXPECT_EQ(w.shownWidth(o), 30);
}

TEST(ScriptFaults, AFinishedObjectRunsItsFollowUpActionOnceEvenWithoutAFrame) {
  ScriptWorld w;
  const Instruction addVx = op(1, {1, 0, 0, 0, 1, 1, 0, 0, 0, 1, 1, 1, 1});
  w.writeChara("fx", chara(1, 0, {act({frame(0, 1)}), act({addVx, bodyWidth(2)})}));
  Obj* o = w.spawn("fx");
  ObjectWorld::tick(o, 2);
  EXPECT_TRUE(o->finished);
  EXPECT_EQ(o->vx, 1);
  EXPECT_EQ(o->body.width, 2);
  EXPECT_EQ(w.logCount("more than 10000 instructions"), 0u) << w.log();
}

TEST(ScriptFaults, ACharacterWithoutItsAirActionWaitsAndIsLoggedOnce) {
  ScriptWorld w;
  w.writeChara("short", chara(10, 0, {act({frame(1, 1)})}));  // no air action 4
  Chara* c = w.scene().createChara("short", 1, 0, 0);
  c->y = -10;
  ObjectWorld::tick(c, 5);
  EXPECT_FALSE(c->finished);
  EXPECT_EQ(c->action, 0);
  EXPECT_EQ(w.logCount("data/chara/short.dat: action 0: the action ended"), 1u) << w.log();
  c->y = 0;  // on the ground it goes back to action 0, which exists
  ObjectWorld::tick(c);
  EXPECT_EQ(c->pc, 0);
  EXPECT_EQ(w.shownWidth(c), 20);
}

TEST(ScriptFaults, NonFiniteAndHugeArgumentsAreHarmless) {
  ScriptWorld w;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  w.writeChara("system", chara(1, 0, {act({frame(0, 1)})}));
  w.writeChara("odd", chara(1, 0,
                            {act({op(4, {nan, inf, nan, -inf, 1e300, -1e300, nan, 1e19}),
                                  op(3, {0, 0, 1, 1, 1, inf}), op(10, {1e12, -inf, nan, 300}),
                                  op(5, {1, nan, 1e300, inf, nan}), op(5, {0, 0, -1e40, 1e40, 0}),
                                  op(7, {0, inf, -inf}), op(6, {0, 1e300}), op(6, {1, -1e300}),
                                  frame(1e300, -inf, nan, inf), frame(-1e300, nan, 1e20, -1e20)})}));
  Obj* o = w.spawn("odd");
  ObjectWorld::tick(o, 3);
  EXPECT_EQ(o->hit.groundReaction, 0);                // NaN
  EXPECT_EQ(o->hit.airReaction, INT32_MAX);           // +inf saturates
  EXPECT_EQ(o->hit.targetFreeze, INT32_MAX);          // 1e300
  EXPECT_EQ(o->hit.selfFreeze, INT32_MIN);            // -1e300
  EXPECT_EQ(o->damage, INT32_MAX);
  EXPECT_EQ(o->landAction, INT32_MAX);
  EXPECT_EQ(o->landPc, INT32_MIN);
  EXPECT_EQ(o->wait, 1000000);                        // NaN duration reads as 0: held
  EXPECT_EQ(w.shownWidth(o), 0);                      // no such picture
}

TEST(ScriptNumbers, WholeNumbersTruncateTowardZeroAndSaturate) {
  EXPECT_EQ(toInt32(2.9), 2);
  EXPECT_EQ(toInt32(-2.9), -2);
  EXPECT_EQ(toInt32(-0.5), 0);
  EXPECT_EQ(toInt32(2147483646.7), 2147483646);
  EXPECT_EQ(toInt32(2147483648.0), INT32_MAX);
  EXPECT_EQ(toInt32(-2147483649.0), INT32_MIN);
  EXPECT_EQ(toInt32(std::numeric_limits<double>::infinity()), INT32_MAX);
  EXPECT_EQ(toInt32(-std::numeric_limits<double>::infinity()), INT32_MIN);
  EXPECT_EQ(toInt32(std::numeric_limits<double>::quiet_NaN()), 0);
}
