// data/rules.txt: the rules of the game a modder may change (the player, the
// first and final scene, the pack's password, what each enemy is worth), one
// `key = value` per line. Every key that the file leaves out keeps the game's
// own value, so a game without the file plays exactly as before.
#pragma once

#include <string>

#include "format/LoadError.h"
#include "format/RulesText.h"
#include "world/GameRules.h"

// Where the game folder keeps it.
inline constexpr const char* kRulesFile = "data/rules.txt";

// `base` with each rule of `text` put over it. A key the game does not know,
// a key given twice, or a value that cannot be used is an error whose offset
// is the line (textLineMessage makes "file:line: what" of it).
Expected<GameRules> applyRulesText(const RulesText& text, const std::string& file, GameRules base = GameRules{});

// Reads the rules file at `path` (relative to the game folder): the game's own
// rules when there is no such file; an error when it cannot be read or a rule
// is wrong. `found`, when given, tells whether the file was there.
// The rules that name an enemy after their key word: `score NAME`, `pace NAME`, `walk-speed NAME`.
inline constexpr const char* kScoreRule = "score";
inline constexpr const char* kPaceRule = "pace";
inline constexpr const char* kWalkSpeedRule = "walk-speed";
inline bool isEnemyRule(const std::string& word) {
  return word == kScoreRule || word == kPaceRule || word == kWalkSpeedRule;
}

Expected<GameRules> readGameRules(const std::string& path = kRulesFile, bool* found = nullptr);

class DataLayers;
// The rules of the game folder with its mods: each layer's rules file, the
// game folder's first, put over the rules so far, so a mod's line wins over
// the same key below it. nullptr: the game folder's file, as above.
Expected<GameRules> readGameRules(const DataLayers* layers, bool* found = nullptr);
