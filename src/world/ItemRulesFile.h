// The lines of data/rules.txt that make props breakable, lay items on the
// ground and arm fighters (world/ItemRules.h), read one at a time for the rules
// file's reader.
#pragma once

#include <string>

#include "world/ItemRules.h"

enum class ItemRuleLine { NotOurs, Applied, Refused };

// Applies `key = value` to `rules` when the key is one of these rules; Refused
// with `why` set when its value cannot be used. Items are named before the
// lines that use them (weapon, holds, lies), so a name not yet given is an error.
// `once`, when set, is the key that may be given only once (the caller checks it).
ItemRuleLine applyItemRule(const std::string& key, const std::string& value, ItemRules& rules, std::string& why,
                           bool& once);
