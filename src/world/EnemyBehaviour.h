// How every enemy thinks, once per frame against the player: a movement part
// that now and then picks stand, approach or back off, and an attack part that
// now and then tries the attack rules of the enemy's character file (how often
// and how fast it walks are the enemy's pace, from the game's rules); and the
// score a defeated enemy brings.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "world/GameRules.h"

class Chara;
class Hud;

// A random whole number from lo to hi, both included (the engine's Random_Int
// in the game; a scripted sequence in tests).
using RandomInt = std::function<int(int lo, int hi)>;

// Enemy modes kept in Chara::aiMode.
constexpr int32_t AI_STAND = 0, AI_APPROACH = 1, AI_BACK_OFF = 2;

// One frame of behaviour for enemy `e` against player `p`, at the enemy's pace.
void runEnemyBehaviour(Chara& e, const Chara& p, const EnemyPace& pace, const RandomInt& randomInt);

// Adds what the defeated enemy `e` is worth (by the rules' score table) to the
// Hud's score and kills.
void addScore(Hud& hud, const Chara& e, const GameRules& rules);
