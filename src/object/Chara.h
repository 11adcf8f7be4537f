// A fighter, player or enemy: an object that reacts to hits, loses hit points,
// returns to standing or falling when an action ends, dies through action 5
// and casts a shadow. Also holds the enemy behaviour's three counters.
#pragma once

#include "object/Obj.h"

// Action 5: started with no hit points left it is death; with hit points left
// it is an ordinary action (lying after a knock-down, and getting up).
inline constexpr int32_t kDeathAction = 5;

class Chara : public Obj {
 public:
  Chara(ObjectHost* host, const std::string& id, int32_t action, int32_t pc, int32_t team, float x, float y,
        float z);

  // Death check: action 5 with no hit points left finishes the character and
  // spawns the death effect ("system" action 8) 50 units above it.
  void onActionSet() override;
  // Back to the stand action on the ground (stopping), the air action in the air.
  void onActionEnd() override;
  // Reaction, hit-stop, push, damage, knock-down on the last hit point, turning.
  void takeHit(HitInfo info, int32_t damage, int32_t attackerFacing) override;
  Chara* asChara() override { return this; }
  const Chara* asChara() const override { return this; }

  int32_t aiMode = 0;         // 0 stand, 1 approach, 2 back off
  int32_t aiModeTimer = 0;    // frames until the movement part decides again
  int32_t aiAttackTimer = 0;  // frames until the attack part may try again
  // A fighter that just joined or continued: frames left in which no hit lands.
  int32_t protection = 0;
  // The seat whose attack hit this character last (0: none); a defeated enemy scores for it.
  int32_t lastHitSeat = 0;
  // The hit points of a full bar: the file's, or more for an enemy made stronger for a team.
  int32_t fullHp() const { return teamHp > 0 ? teamHp : (data ? data->maxHp : 0); }
  int32_t teamHp = 0;  // 0: the file's
  // The stretch of its scene this enemy belongs to (0 the first), -1: none.
  int32_t stretch = -1;
};
