// `check`'s look at whether the content can be played to its end: enemies,
// props and doors the player can reach, doors that put the player on the
// ground of the scene they lead to, AI rules whose ranges hold a distance, and
// resource entries that share one folder of pictures (most likely a copied
// entry that was meant to get its own).
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "CheckData.h"
#include "format/ResourceCatalog.h"
#include "world/GameRules.h"

struct ContentCheckInput {
  const std::map<std::string, CheckedCharacter>& charas;  // by relative path
  const std::map<std::string, CheckedScene>& scenes;      // by relative path
  const GameRules& rules;
  const ResourceCatalog* catalog;                          // null when it could not be read
};

// Where the player enters each scene (by id): the rules' start in the first
// scene, and the entry point of every door that leads there.
std::map<std::string, std::vector<std::pair<int32_t, int32_t>>> entryPoints(const ContentCheckInput& in);

void checkContent(const ContentCheckInput& in, const CheckReportFn& problem, const CheckReportFn& warning);
