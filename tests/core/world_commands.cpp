// The key-command buffer and the player control that reads it.
#include "WorldHelpers.h"
#include "world/PlayerControl.h"

namespace worldtest {
namespace {

class CommandBuffer : public WorldTest {
 protected:
  Hud& hud() { return world().hud; }
  std::vector<int32_t> newest(size_t n) {
    return std::vector<int32_t>(hud().commands.end() - static_cast<std::ptrdiff_t>(n), hud().commands.end());
  }
  FrameInput keys;
};

TEST_F(CommandBuffer, StartsEmpty) {
  for (int32_t c : hud().commands) EXPECT_EQ(c, CMD_EMPTY);
  EXPECT_EQ(hud().commandTimer, 0);
  EXPECT_EQ(hud().power, 90);
}

TEST_F(CommandBuffer, ForgetsEverything31FramesAfterTheLastKey) {
  keys = pressed({KEY_J});
  hud().updateCommands(keys);
  keys = FrameInput{};
  for (int i = 0; i < 30; ++i) hud().updateCommands(keys);
  EXPECT_EQ(hud().commands[9], CMD_J) << "still there after 30 frames";
  hud().updateCommands(keys);
  EXPECT_EQ(hud().commands[9], CMD_EMPTY);
  EXPECT_EQ(hud().commandTimer, 0);
}

TEST_F(CommandBuffer, AKeyRestartsTheCountdown) {
  keys = pressed({KEY_J});
  hud().updateCommands(keys);
  keys = FrameInput{};
  for (int i = 0; i < 20; ++i) hud().updateCommands(keys);
  keys = pressed({KEY_K});
  hud().updateCommands(keys);
  keys = FrameInput{};
  for (int i = 0; i < 30; ++i) hud().updateCommands(keys);
  EXPECT_EQ(newest(2), (std::vector<int32_t>{CMD_J, CMD_K}));
}

TEST_F(CommandBuffer, KeysOfOneFrameEnterInTheOrderWSADJKUI) {
  keys = pressed({KEY_I, KEY_U, KEY_K, KEY_J, KEY_D, KEY_A, KEY_S, KEY_W});
  hud().updateCommands(keys);
  EXPECT_EQ(newest(8), (std::vector<int32_t>{CMD_W, CMD_S, CMD_A, CMD_D, CMD_J, CMD_K, CMD_U, CMD_I}));
  keys = pressed({KEY_J, KEY_W});
  hud().updateCommands(keys);
  EXPECT_EQ(newest(2), (std::vector<int32_t>{CMD_W, CMD_J}));
}

TEST_F(CommandBuffer, KeepsOnlyTheLastTen) {
  for (int i = 0; i < 12; ++i) hud().pushCommand(i % 2 == 0 ? CMD_W : CMD_S);
  EXPECT_EQ(hud().commands[0], CMD_W);
  EXPECT_EQ(hud().commands[9], CMD_S);
  for (int32_t c : hud().commands) EXPECT_NE(c, CMD_EMPTY);
}

class Control : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    p = addPlayer(400, 200);
  }
  void push(std::initializer_list<int32_t> codes) {
    for (int32_t c : codes) world().hud.pushCommand(c);
  }
  void control(HeldKeys held = {}) { controlPlayer(world().hud, *p, held); }
  Hud& hud() { return world().hud; }
  Chara* p = nullptr;
};

TEST_F(Control, JWhileIdlePunchesAndConsumesTheJ) {
  push({CMD_J});
  control();
  EXPECT_EQ(p->action, 13);
  EXPECT_EQ(hud().commands[9], CMD_EMPTY);
}

TEST_F(Control, JWithWHeldPunchesUpwards) {
  push({CMD_J});
  control({.w = true});
  EXPECT_EQ(p->action, 14);
}

TEST_F(Control, AJDuringAPunchWaitsForInstruction17) {
  p->setAction(13);
  push({CMD_J});
  p->pc = 17;
  control();
  EXPECT_EQ(p->action, 13);
  EXPECT_EQ(hud().commands[9], CMD_J) << "kept for a later frame";
  p->pc = 18;
  control();
  EXPECT_EQ(p->action, 31);
  EXPECT_EQ(hud().commands[9], CMD_EMPTY);
}

TEST_F(Control, KKicksAndIsNotConsumed) {
  push({CMD_K});
  control();
  EXPECT_EQ(p->action, 2);
  EXPECT_EQ(hud().commands[9], CMD_K);
  p->setAction(0);
  control();
  EXPECT_EQ(p->action, 2) << "applies again once the player is back to idle";
  p->setAction(0);
  control({.d = true});
  EXPECT_EQ(p->action, 3) << "forward held";
}

TEST_F(Control, KWithSHeldLowKicksAndClearsTheBuffer) {
  push({CMD_K});
  control({.s = true});
  EXPECT_EQ(p->action, 18);
  for (int32_t c : hud().commands) EXPECT_EQ(c, CMD_EMPTY);
}

TEST_F(Control, TheSpecialMoveNeeds30Power) {
  push({CMD_S, CMD_A, CMD_D, CMD_J});  // facing right: back is A, forward is D
  hud().power = 29;
  control();
  EXPECT_EQ(p->action, 13) << "no special move: the J acts as a plain J";
  EXPECT_EQ(hud().power, 29);
  EXPECT_EQ(hud().commands[6], CMD_S);
  EXPECT_EQ(hud().commands[7], CMD_A);
  EXPECT_EQ(hud().commands[8], CMD_D);

  p->setAction(0);
  hud().clearCommands();
  push({CMD_S, CMD_A, CMD_D, CMD_J});
  hud().power = 30;
  control();
  EXPECT_EQ(p->action, 22);
  EXPECT_EQ(hud().power, 0);
  for (int32_t c : hud().commands) EXPECT_EQ(c, CMD_EMPTY);
}

TEST_F(Control, TheKickSpecialNeeds30Power) {
  p->setAction(2);
  push({CMD_S, CMD_D, CMD_J});
  hud().power = 29;
  control();
  EXPECT_EQ(p->action, 15) << "the J follows the kick instead";
  EXPECT_EQ(hud().power, 29);

  p->setAction(2);
  hud().clearCommands();
  push({CMD_S, CMD_D, CMD_J});
  hud().power = 30;
  control();
  EXPECT_EQ(p->action, 33);
  EXPECT_EQ(hud().power, 0);
  for (int32_t c : hud().commands) EXPECT_EQ(c, CMD_EMPTY);
}

TEST_F(Control, MotionCommandsFacingLeftUseAAsForward) {
  p->setFacing(1);
  push({CMD_S, CMD_A, CMD_J});
  control();
  EXPECT_EQ(p->action, 21);
  p->setAction(0);
  push({CMD_S, CMD_W, CMD_J});
  control();
  EXPECT_EQ(p->action, 20);
}

TEST_F(Control, ForwardTappedTwiceRunsAndReleasingForwardStops) {
  push({CMD_D, CMD_D});
  control({.d = true});
  EXPECT_EQ(p->action, 6);
  control({.s = true, .d = true});
  EXPECT_EQ(p->vz, 1.0);
  control();
  EXPECT_EQ(p->action, 7);
}

TEST_F(Control, JWhileRunningIsARunningPunch) {
  p->setAction(6);
  push({CMD_J});
  control({.d = true});
  EXPECT_EQ(p->action, 17);
  EXPECT_EQ(hud().commands[9], CMD_EMPTY);
}

TEST_F(Control, DirectionKeysWalkAndTheBackKeyTurnsFirst) {
  control({.w = true, .d = true});
  EXPECT_EQ(p->action, 1);
  EXPECT_EQ(p->vx, 2.0);
  EXPECT_EQ(p->vz, -1.0);
  control();
  EXPECT_EQ(p->action, 0);

  p->vx = 0;
  control({.a = true});
  EXPECT_EQ(p->facing, 1) << "turned around";
  EXPECT_EQ(p->vx, 0) << "not yet walking";
  control({.a = true});
  EXPECT_EQ(p->facing, 1);
  EXPECT_EQ(p->vx, 2.0) << "the held key is now forward";
}

TEST_F(Control, NothingHappensDuringHitStopButKeysStillEnterTheBuffer) {
  p->freeze = 3;
  FrameInput keys;
  keys = pressed({KEY_J});
  hud().updateCommands(keys);
  control({.d = true});
  EXPECT_EQ(p->action, 0);
  EXPECT_EQ(hud().commands[9], CMD_J);
  p->freeze = 0;
  control();
  EXPECT_EQ(p->action, 13);
}

TEST_F(Control, TheWorldsControlAgesTheBufferThenControlsThePlayer) {
  // No key went down, so the buffer only ages; the J pushed before still punches.
  push({CMD_J});
  world().controlPlayer(FrameInput{});
  EXPECT_EQ(p->action, 13);
  EXPECT_EQ(hud().commandTimer, 1);
}

TEST_F(Control, AStepRunsTheControlAfterTheUpdateAndNotOnceTheGameIsOver) {
  push({CMD_J});
  world().step(FrameInput{});
  EXPECT_EQ(p->action, 13);
  EXPECT_EQ(p->pc, 0) << "the punch starts after the update: its script has not run yet";

  // A player lying without hit points ends the game in the update; the
  // control of that frame does not run.
  p->setAction(11);
  p->hp = 0;
  push({CMD_J});
  world().step(FrameInput{});
  EXPECT_TRUE(world().gameOver);
  EXPECT_EQ(p->action, 11);
  EXPECT_EQ(hud().commands[9], CMD_J);
}

}  // namespace
}  // namespace worldtest
