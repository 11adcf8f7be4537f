// A fighter, player or enemy: an object that reacts to hits, loses hit points,
// returns to standing or falling when an action ends, dies through action 5
// and casts a shadow. Also holds the enemy behaviour's three counters.
#pragma once

#include <array>

#include "object/Obj.h"

// Action 5: started with no hit points left it is death; with hit points left
// it is an ordinary action (lying after a knock-down, and getting up).
inline constexpr int32_t kDeathAction = 5;
// The reaction of a blow that knocks down (and of the last hit point).
inline constexpr size_t kKnockDownReaction = 2;

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
  // The frames since each of the character's latest hits, newest first (-1:
  // none), to count the hits within a stretch of frames (knockdown-hits); and
  // whether it lies knocked down and will be protected when it stands again
  // (wake-up-protection).
  static constexpr size_t kHitMemory = 20;
  std::array<int32_t, kHitMemory> hitAges = emptyHitMemory();
  static constexpr std::array<int32_t, kHitMemory> emptyHitMemory() {
    std::array<int32_t, kHitMemory> ages{};
    for (int32_t& a : ages) a = -1;
    return ages;
  }
  bool knockedDown = false;
  // Knocked down as a heavy blow knocks down: the knock-down reaction, thrown
  // back and up. False when the file has no knock-down reaction.
  bool knockDown();
  // The action of the knock-down reaction, or -1 when the file has none.
  int32_t knockDownAction() const {
    return data && data->reactions.size() > kKnockDownReaction ? data->reactions[kKnockDownReaction] : -1;
  }
};
