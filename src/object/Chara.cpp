#include "object/Chara.h"

#include <algorithm>

#include "base/DataPath.h"
#include "object/ObjReport.h"
#include "object/SharedEffects.h"

Chara::Chara(ObjectHost* host, const std::string& id, int32_t action, int32_t pc, int32_t team, float x, float y,
             float z)
    : Obj(host, id, action, pc, team, x, y, z) {
  aiMode = 0;
  aiModeTimer = 0;
  aiAttackTimer = 0;
}

void Chara::takeHit(HitInfo info, int32_t damage, int32_t attackerFacing) {
  const std::vector<int32_t>& reactions = data->reactions;
  const int32_t reaction = y >= 0 ? info.groundReaction : info.airReaction;
  if (reaction >= 0 && static_cast<size_t>(reaction) < reactions.size()) {
    setAction(reactions[static_cast<size_t>(reaction)]);
  } else if (firstReport(*this, reaction, ReportOnce::BadReaction)) {
    // The hit still freezes, pushes and hurts; only the action stays.
    host->report("%s: a hit asks for reaction %d, past the %zu reactions of the file; the action stays",
                       charaFilePath(data->id).c_str(), reaction, reactions.size());
  }

  freeze = info.targetFreeze;
  vx = info.pushVx;
  vy = info.pushVy;
  vz = 0;

  const int64_t left = static_cast<int64_t>(hp) - damage;
  hp = static_cast<int32_t>(std::clamp<int64_t>(left, 0, INT32_MAX));

  if (hp == 0 && !knockDown()) {
    if (firstReport(*this, -1, ReportOnce::NoKnockDown)) {
      host->report("%s: no knock-down reaction (reaction 2) for a lethal hit; the character cannot fall",
                         charaFilePath(data->id).c_str());
    }
  }

  if (attackerFacing == facing) turnAround();
}

bool Chara::knockDown() {
  const int32_t down = knockDownAction();
  if (down < 0) return false;
  if (action != down) {
    setAction(down);
    vx = -3.0;
    vy = -3.0;
  }
  return true;
}

void Chara::onActionEnd() {
  if (y < 0) {
    setAction(data->airAction);
  } else {
    setAction(data->standAction);
    vx = 0;
    vy = 0;
    vz = 0;
  }
}

void Chara::onActionSet() {
  // Dies once: a finished character that is given action 5 again (the player
  // stays in the character list) spawns no second death effect.
  if (action != kDeathAction || hp > 0 || finished) return;
  finished = true;
  if (host) host->spawn(kSharedEffectsId, kDeathEffectAction, 0, facing, team, x, y - 50, z);
}
