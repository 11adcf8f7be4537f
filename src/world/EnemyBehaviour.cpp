// Enemy movement modes, attack rules and the score a defeated enemy brings.
#include "world/EnemyBehaviour.h"

#include <cmath>
#include <limits>

#include "object/Chara.h"
#include "object/ScriptNumber.h"
#include "world/Hud.h"

namespace {

constexpr int32_t kIdle = 0, kWalk = 1;
constexpr int32_t kFarAway = 500;          // at this distance along x an enemy just stands
constexpr int32_t kAttackRoll = 500;       // the attack try's number is drawn from 0 to this
constexpr double kDrift = 0.5;

bool facesRight(const Chara& c) { return c.facing == 0; }

// A countdown that may run below zero while nothing resets it, without overflowing.
void countDown(int32_t& timer) {
  if (timer > std::numeric_limits<int32_t>::min()) timer -= 1;
}

void setWalk(Chara& e, double vx, double vz) { e.setVelocity(vx, 0, vz, true, false, true); }

}  // namespace

void runEnemyBehaviour(Chara& e, const Chara& p, const EnemyPace& pace, const RandomInt& randomInt) {
  const double walk = pace.walkSpeed;
  const int32_t dx = toInt32(std::fabs(e.x - p.x));
  const int32_t dz = toInt32(std::fabs(e.z - p.z));

  if (e.action == kIdle) {
    if (p.x < e.x && facesRight(e)) {
      e.turnAround();
    } else if (p.x >= e.x && !facesRight(e)) {
      e.turnAround();
    }
  }

  const double zdir = p.z < e.z ? -kDrift : kDrift;

  // Movement part.
  countDown(e.aiModeTimer);
  if (e.aiModeTimer <= 0) {
    if (dx >= kFarAway) {
      e.aiMode = AI_STAND;  // the timer stays run out: decide again next frame
    } else {
      const int r = randomInt(0, 100);
      const bool backTurned =
          e.facing == p.facing && (facesRight(e) ? p.x > e.x : p.x < e.x);
      if (backTurned) {
        e.aiMode = AI_APPROACH;
        e.aiModeTimer = randomInt(10, 80);
      } else if (r >= 0 && r <= 19) {
        if (dx > 0) {
          e.aiMode = AI_APPROACH;
          e.aiModeTimer = randomInt(10, 80);
        }
      } else if (r >= 20 && r <= 29) {
        e.aiMode = AI_BACK_OFF;
        e.aiModeTimer = randomInt(10, 50);
      } else {
        e.aiMode = AI_STAND;
        e.aiModeTimer = 10;
      }
    }

    if (e.aiMode == AI_APPROACH) {
      if (e.action == kIdle || e.action == kWalk) {
        if (e.action == kIdle) e.setAction(kWalk);
        setWalk(e, walk, zdir);
        const int k = randomInt(0, 1);
        if (dx > 100 && dz > 30) {
          setWalk(e, walk, zdir);
        } else if (k == 0) {
          setWalk(e, walk, -kDrift);
        } else {
          setWalk(e, walk, kDrift);
        }
      }
    } else if (e.aiMode == AI_BACK_OFF) {
      if (e.action == kIdle || e.action == kWalk) {
        if (e.action == kIdle) e.setAction(kWalk);
        setWalk(e, walk, zdir);
        const int k = randomInt(0, 2);
        if (k == 0) {
          setWalk(e, -walk, zdir);
        } else if (k == 1) {
          setWalk(e, -walk, -kDrift);
        } else {
          setWalk(e, -walk, kDrift);
        }
      }
    } else if (e.action == kWalk) {
      e.setAction(kIdle);
    }
  }

  // Attack part.
  countDown(e.aiAttackTimer);
  if (e.aiAttackTimer > 0) return;
  const int roll = randomInt(0, kAttackRoll);
  if (roll >= pace.attackTries) return;
  if (e.action != kIdle && e.action != kWalk) return;
  if (!e.data) return;
  for (const AiRule& rule : e.data->aiRules) {
    if (rule.minDx <= dx && dx <= rule.maxDx && rule.minDz <= dz && dz <= rule.maxDz &&
        randomInt(0, 100) <= rule.chance) {
      e.setAction(rule.action);
      e.aiAttackTimer = pace.attackPause;
      return;
    }
  }
}

void addScore(Hud& hud, const Chara& e, const GameRules& rules) {
  const EnemyValue v = rules.valueOf(e.data ? e.data->name : std::string());
  hud.score += v.score;
  hud.kills += v.kills;
}
