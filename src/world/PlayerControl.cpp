// Walking, running, punches, kicks and the motion commands of the player.
#include "world/PlayerControl.h"

#include <initializer_list>

#include "object/Chara.h"
#include "world/FairRules.h"
#include "world/Hud.h"

namespace {

// Action roles the player's character file must fill.
enum PlayerAction : int32_t {
  IDLE = 0,
  WALK = 1,
  KICK = 2,
  KICK_FORWARD = 3,
  KICK_AFTER = 4,
  RUN = 6,
  RUN_STOP = 7,
  PUNCH = 13,
  PUNCH_UP = 14,
  KICK_FOLLOW = 15,
  KICK_FOLLOW_DOWN = 16,
  RUN_PUNCH = 17,
  LOW_KICK = 18,
  LOW_KICK_FOLLOW = 19,
  UPPER_COMMAND = 20,
  FORWARD_COMMAND = 21,
  SPECIAL = 22,
  PUNCH_CHAIN = 31,
  PUNCH_CHAIN_END = 32,
  KICK_SPECIAL = 33,
};

constexpr int32_t kSpecialCost = 30;

bool isOneOf(int32_t action, std::initializer_list<int32_t> set) {
  for (int32_t a : set) {
    if (a == action) return true;
  }
  return false;
}

}  // namespace

void controlPlayer(Hud& hud, Chara& p, const HeldKeys& keys, const FairRules* fair) {
  if (p.freeze > 0) return;
  auto& cmd = hud.commands;
  const auto& gap = hud.commandGaps;

  // Starts `action` when the fighter has the power it costs (the rules' price,
  // else `cost`), spending it; false (nothing started) when it has not.
  auto start = [&](int32_t action, int32_t cost = 0) {
    const int32_t priced = fair && p.data ? fair->powerCost(p.data->id, action) : -1;
    if (priced >= 0) cost = priced;
    if (hud.power < cost) return false;
    hud.power -= cost;
    p.setAction(action);
    return true;
  };
  // A motion whose directions are buffer entries first..last-1 and whose button
  // is entry `last`. With a motion window each direction comes in a later frame
  // than the one before, within the window, and the button within the window of
  // the last direction, down let go by then; else the buffer alone decides.
  const int32_t window = fair ? fair->motionWindow : 0;
  auto inOrder = [&](size_t first, size_t last, bool downLetGo) {
    if (window <= 0) return true;
    for (size_t k = first + 1; k < last; ++k)
      if (gap[k] < 1 || gap[k] > window) return false;
    return gap[last] <= window && !(downLetGo && keys.s);
  };

  const bool facingRight = p.facing == 0;
  const int32_t fwd = facingRight ? CMD_D : CMD_A;
  const int32_t back = facingRight ? CMD_A : CMD_D;
  const bool fwdHeld = facingRight ? keys.d : keys.a;
  const bool backHeld = facingRight ? keys.a : keys.d;

  const int vert = keys.w ? -1 : (keys.s ? 1 : 0);
  const int horiz = fwdHeld ? 1 : (backHeld ? -1 : 0);

  // Walking.
  if (horiz != 0 || vert != 0) {
    if (p.action == IDLE || p.action == WALK) {
      if (p.action == IDLE) start(WALK);
      if (horiz == 0) p.setVelocity(0, 0, 0, true, false, false);
      p.setVelocity(0, 0, vert == -1 ? -1.0 : (vert == 1 ? 1.0 : 0.0), false, false, true);
      if (horiz == -1) {
        p.turnAround();
      } else if (horiz == 1) {
        p.setVelocity(2.0, 0, 0, true, false, false);
      }
    }
  } else if (p.action == WALK) {
    p.setAction(IDLE);
  }

  // K: kicks, the low kick with S held. K is not consumed.
  if (cmd[9] == CMD_K) {
    if (isOneOf(p.action, {IDLE, WALK, RUN, PUNCH, PUNCH_CHAIN, PUNCH_CHAIN_END}) && vert == 1) {
      if (start(LOW_KICK)) hud.clearCommands();
    }
    if (isOneOf(p.action, {IDLE, WALK, RUN})) {
      if (horiz == 0) {
        start(KICK);
      } else if (horiz == 1) {
        start(KICK_FORWARD);
      }
    }
  }

  // Forward tapped twice: run.
  if (cmd[8] == fwd && cmd[9] == fwd && (p.action == IDLE || p.action == WALK)) start(RUN);
  if (p.action == RUN) p.setVelocity(0, 0, vert == 1 ? 1.0 : (vert == -1 ? -1.0 : 0.0), false, false, true);
  if (horiz != 1 && p.action == RUN) p.setAction(RUN_STOP);

  // S, back, forward, J: the special move.
  if (cmd[6] == CMD_S && cmd[7] == back && cmd[8] == fwd && cmd[9] == CMD_J &&
      isOneOf(p.action, {IDLE, WALK, RUN, PUNCH}) && inOrder(6, 9, true) && start(SPECIAL, kSpecialCost)) {
    hud.clearCommands();
  }
  // S, W, J.
  if (cmd[7] == CMD_S && cmd[8] == CMD_W && cmd[9] == CMD_J &&
      isOneOf(p.action, {IDLE, WALK, RUN, PUNCH, PUNCH_CHAIN, PUNCH_CHAIN_END}) && inOrder(7, 9, false) &&
      start(UPPER_COMMAND)) {
    hud.clearCommands();
  }
  // S, forward, J.
  if (cmd[7] == CMD_S && cmd[8] == fwd && cmd[9] == CMD_J && inOrder(7, 9, true)) {
    if (isOneOf(p.action, {IDLE, WALK, RUN, PUNCH, PUNCH_CHAIN, PUNCH_CHAIN_END}) && start(FORWARD_COMMAND)) {
      hud.clearCommands();
    }
    // The buffer was cleared above if that fired, so this reads the buffer again.
    if (cmd[7] == CMD_S && cmd[8] == fwd && cmd[9] == CMD_J &&
        isOneOf(p.action, {KICK, KICK_FORWARD, KICK_AFTER}) && start(KICK_SPECIAL, kSpecialCost)) {
      hud.clearCommands();
    }
  }

  // J: punches and follow-ups.
  if (cmd[9] == CMD_J) {
    if (p.action == IDLE || p.action == WALK) {
      if (start(vert == -1 ? PUNCH_UP : PUNCH)) hud.consumeJ();
    } else if ((p.action == PUNCH || p.action == PUNCH_UP) && p.pc > 17) {
      if (start(vert == -1 ? PUNCH_UP : PUNCH_CHAIN)) hud.consumeJ();
    } else if (p.action == LOW_KICK) {
      if (start(LOW_KICK_FOLLOW)) hud.consumeJ();
    } else if (p.action == PUNCH_CHAIN && p.pc > 17) {
      if (start(PUNCH_CHAIN_END)) hud.consumeJ();
    }
  }
  if (cmd[9] == CMD_J) {
    if (p.action == RUN) {
      if (start(RUN_PUNCH)) hud.consumeJ();
    }
    if (p.action == RUN_PUNCH && p.hitLanded && p.pc > 15) {
      if (start(PUNCH_CHAIN)) hud.consumeJ();
    }
    if (isOneOf(p.action, {KICK, KICK_FORWARD, KICK_AFTER})) {
      if (start(vert == 1 ? KICK_FOLLOW_DOWN : KICK_FOLLOW)) hud.consumeJ();
    }
  }
}
