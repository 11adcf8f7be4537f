// How hard the game is: three levels, each a set of numbers from the rules
// file put over what the data make of the enemies.
#pragma once

#include <cstdint>
#include <string>

// One level of difficulty: the enemies' hit points, the damage their blows do
// to the fighters and how often they attack, in percent of the data's, and the
// continues the team shares (-1: the rules' own). All 100 and -1 is the game
// exactly as its data make it.
struct DifficultyLevel {
  int32_t enemyHpPercent = 100;
  int32_t enemyDamagePercent = 100;
  int32_t enemyPacePercent = 100;
  int32_t continues = -1;
};

enum class Difficulty { Easy, Normal, Hard };
inline constexpr int kDifficultyCount = 3;
// "easy", "normal", "hard": the names of the options, the settings and the rules' prefixes.
const char* difficultyName(Difficulty d);
// False when `name` is none of them.
bool difficultyFromName(const std::string& name, Difficulty& out);
