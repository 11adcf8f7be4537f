// The lines of data/rules.txt that switch on the rules of fair fights and of
// feel (world/FairRules.h), read one at a time for the rules file's reader.
#pragma once

#include <cstddef>
#include <string>

#include "world/FairRules.h"

enum class FairRuleLine { NotOurs, Applied, Refused };

// Applies `key = value` (line `line` of `file`) to `rules` when the key is one
// of these rules; Refused with `why` set when its value cannot be used.
FairRuleLine applyFairRule(const std::string& key, const std::string& value, const std::string& file, size_t line,
                           FairRules& rules, std::string& why);

// The keys these rules add, for the reader's list of every rule.
inline constexpr const char* kFairRuleKeys =
    "knockdown-hits, wake-up-protection, power-cost CHARA ACTION, motion-window, enemy-panel, display-name NAME, "
    "bosses, least-hit-stop, screen-shake, enemy-room, getting-up";

struct CharaData;
// What is wrong with a power-cost line for a character whose file reads as
// `data` (nullptr: there is no such character): empty when nothing is.
std::string powerCostProblem(const FairRules::PowerCost& cost, const CharaData* data);
