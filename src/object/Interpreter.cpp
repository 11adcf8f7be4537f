// The action-script interpreter: one tick of an object's current action.
// Time passes only at frame instructions; everything else runs at once.
#include <string>

#include "base/DataPath.h"
#include "object/Obj.h"
#include "object/ObjReport.h"
#include "object/ScriptNumber.h"
#include "object/SharedEffects.h"

namespace {

// A script that loops without reaching a frame instruction is stopped after
// this many instructions in one tick; the object goes on in the next tick.
constexpr int kMaxInstructionsPerPass = 10000;
// A frame of duration 0 is held until something else changes the action.
constexpr int32_t kHoldForever = 1000000;

enum Opcode : int32_t {
  Frame = 0,
  Motion = 1,
  BodyBox = 2,
  AttackBox = 3,
  ArmHit = 4,
  Spawn = 5,
  Sound = 6,
  ArmJump = 7,
  Goto = 8,
  Nop = 9,
  Tint = 10,
  // The extended set (see isExtendedOpcode).
  GrabBox = 11,
  Throw = 12,
  LetGo = 13,
};

const std::string kSystemId = kSharedEffectsId;

// The instructions of the object's current action, or nullptr when the
// action number lies outside the file (a file without actions).
const std::vector<Instruction>* currentCodes(const Obj& o) {
  return hasAction(o, o.action) ? &o.data->actions[static_cast<size_t>(o.action)].codes : nullptr;
}

bool pcPastEnd(const Obj& o, const std::vector<Instruction>* codes) {
  return !codes || static_cast<uint32_t>(o.pc) >= codes->size();
}

// Opcode 1: assign (mode 0) or add (mode 1) each component whose keep flag is 0.
void motion(Obj& o, const std::vector<double>& a) {
  double* const fields[6] = {&o.vx, &o.vy, &o.vz, &o.ax, &o.ay, &o.az};
  const double mode = scriptArg(a, 12);
  const bool assign = toInt32(mode) == 0;
  if (!assign && mode != 1.0) return;
  for (size_t i = 0; i < 6; ++i) {
    const size_t valueIndex = i < 3 ? i : i + 3;   // 0,1,2 then 6,7,8
    const size_t keepIndex = i < 3 ? i + 3 : i + 6;  // 3,4,5 then 9,10,11
    if (scriptArg(a, keepIndex) != 0) continue;
    if (assign) {
      *fields[i] = scriptArg(a, valueIndex);
    } else {
      *fields[i] += scriptArg(a, valueIndex);
    }
  }
}

Box boxFrom(const std::vector<double>& a) {
  Box b;
  b.x = scriptArg(a, 0);
  b.y = scriptArg(a, 1);
  b.z = 0;
  b.width = scriptArg(a, 2);
  b.height = scriptArg(a, 3);
  b.depth = scriptArg(a, 4);
  return b;
}

}  // namespace

void Obj::step() {
  int executed = 0;
  for (;;) {
    if (ticks < wait) return;
    ticks = 0;
    wait = 0;
    if (!holdPc) pc = static_cast<int32_t>(static_cast<uint32_t>(pc) + 1u);  // wraps, never overflows
    holdPc = false;

    const std::vector<Instruction>* codes = currentCodes(*this);
    if (pcPastEnd(*this, codes)) {
      // The action has run out (an action without instructions at once).
      // An object that has already finished only waits to be removed: its
      // follow-up action runs at most once, never round and round.
      if (finished) {
        holdPc = true;
        return;
      }
      const int32_t ended = action;
      onActionEnd();
      if (pcPastEnd(*this, currentCodes(*this))) {
        // Nothing to go on with: a plain object whose file has no action 1
        // (it has finished), or a character without its stand or air action.
        if (!finished && firstReport(*this, ended, ReportOnce::NoActionAfterEnd)) {
          host->report("%s: action %d: the action ended and the action that follows it does not exist",
                             charaFilePath(data->id).c_str(), ended);
        }
        holdPc = true;
        return;
      }
      // The new action starts at its instruction 0 in this same tick; nothing
      // of the action that just ended runs any more.
      continue;
    }

    if (++executed > kMaxInstructionsPerPass) {
      if (firstReport(*this, action, ReportOnce::RunawayScript)) {
        host->report("%s: action %d: more than %d instructions in one tick without a frame; the object "
                           "waits a tick",
                           charaFilePath(data->id).c_str(), action, kMaxInstructionsPerPass);
      }
      holdPc = true;  // run this instruction first in the next tick
      return;
    }

    const Instruction& code = (*codes)[static_cast<size_t>(pc)];
    const std::vector<double>& a = code.args;
    switch (code.opcode) {
      case Frame: {
        setFrame(toInt32(scriptArg(a, 0)), toInt32(scriptArg(a, 2)), toInt32(scriptArg(a, 3)));
        const int32_t d = toInt32(scriptArg(a, 1));
        wait = d == 0 ? kHoldForever : d;
        break;
      }
      case Motion:
        motion(*this, a);
        break;
      case BodyBox:
        body = boxFrom(a);
        break;
      case AttackBox:
        attack = boxFrom(a);
        damage = toInt32(scriptArg(a, 5));
        break;
      case ArmHit:
        hit.groundReaction = toInt32(scriptArg(a, 0));
        hit.airReaction = toInt32(scriptArg(a, 1));
        hit.pushVx = scriptArg(a, 2);
        hit.pushVy = scriptArg(a, 3);
        hit.targetFreeze = toInt32(scriptArg(a, 4));
        hit.selfFreeze = toInt32(scriptArg(a, 5));
        hit.sparkFromSystem = toInt32(scriptArg(a, 6));
        hit.sparkAction = toInt32(scriptArg(a, 7));
        hit.active = true;
        break;
      case Spawn: {
        if (!host) break;
        if (!host->hasRoomForObjects()) {
          if (firstReport(*this, action, ReportOnce::SpawnLimit)) {
            host->report("%s: action %d: the world holds all the objects it can; this spawn and the later ones "
                         "are dropped",
                         charaFilePath(data->id).c_str(), action);
          }
          break;
        }
        const std::string& file = scriptArg(a, 0) == 0 ? data->id : kSystemId;
        const double offset = scriptArg(a, 3);
        const int32_t sxWhole = toInt32(facing == 0 ? x + offset : x - offset);
        // The new object may be appended to the world's list; `code` and `a`
        // point into the shared character record, which does not move.
        host->spawn(file, toInt32(scriptArg(a, 1)), toInt32(scriptArg(a, 2)), facing, team, sxWhole,
                    y + scriptArg(a, 4), z);
        break;
      }
      case Sound:
        if (!host) break;
        if (scriptArg(a, 0) == 0) {
          host->playSound(data->pictureSet, toInt32(scriptArg(a, 1)));
        } else {
          host->playSystemSound(toInt32(scriptArg(a, 1)));
        }
        break;
      case ArmJump: {
        const double which = scriptArg(a, 0);
        if (which == 0) {
          landArmed = true;
          landAction = toInt32(scriptArg(a, 1));
          landPc = toInt32(scriptArg(a, 2));
        } else if (which == 1) {
          hitArmed = true;
          hitAction = toInt32(scriptArg(a, 1));
          hitPc = toInt32(scriptArg(a, 2));
        }
        break;
      }
      case Goto: {
        const int32_t target = toInt32(scriptArg(a, 0));
        if (!hasAction(*this, target)) {
          if (firstReport(*this, action, ReportOnce::BadGotoAction)) {
            host->report("%s: action %d: opcode 8 goes to action %d, which the file does not have; ignored",
                               charaFilePath(data->id).c_str(), action, target);
          }
          break;
        }
        action = target;
        // The next fetch advances pc onto instruction a[1] of the target.
        pc = toInt32(scriptArg(a, 1) - 1.0);
        break;
      }
      case Tint:
        setTint(toInt32(scriptArg(a, 0)), toInt32(scriptArg(a, 1)), toInt32(scriptArg(a, 2)),
                toInt32(scriptArg(a, 3)));
        break;
      case GrabBox:
        if (host && host->extendedInstructions()) grab = boxFrom(a);
        break;
      case Throw:
        if (host && host->extendedInstructions())
          host->throwHeld(*this, scriptArg(a, 0), scriptArg(a, 1), toInt32(scriptArg(a, 2)));
        break;
      case LetGo:
        if (host && host->extendedInstructions()) {
          host->letGo(*this);
          if (scriptArg(a, 0) != 0) turnAround();
        }
        break;
      default:  // Nop and every unknown opcode
        break;
    }
  }
}
