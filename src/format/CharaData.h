// A parsed character file "data/chara/<id>.dat": name, hit points, picture set,
// actions (scripts of numbered instructions), hit-reaction table and enemy AI
// rules. Shared by every object made from the same id.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "format/CountLog.h"
#include "format/LoadError.h"

// One script instruction: an opcode and its arguments, read by position.
struct Instruction {
  int32_t opcode = 0;
  std::vector<double> args;
};

struct Action {
  std::string name;  // kept, never looked up: actions are addressed by number
  std::vector<Instruction> codes;
};

// One row of the enemy AI table. The file stores the two flags before `action`.
struct AiRule {
  int32_t minDx = 0, maxDx = 0;  // horizontal distance window, inclusive
  int32_t minDz = 0, maxDz = 0;  // depth distance window, inclusive
  int32_t chance = 0;            // fires when Random_Int(0, 100) <= chance
  int32_t flagA = 0, flagB = 0;  // stored as read (true when not 0); nothing consults them
  int32_t action = 0;            // action started when the rule fires
};

struct CharaData {
  std::string id;    // the id the file was loaded under
  std::string name;  // from the file (GBK); enemies are scored by it
  int32_t maxHp = 0;
  int32_t pictureSet = 0;  // the picture set of its frames and sounds (a number in the resource list)
  int32_t standAction = 0;  // always 0
  int32_t airAction = 4;    // always 4
  std::vector<int32_t> reactions;  // reaction number -> action number
  std::vector<Action> actions;
  std::vector<AiRule> aiRules;
  std::string trailing;  // bytes after the last AI rule: never read by the game, kept for tools
};

// Parses the file layout into `id`-less data (the id is left empty).
Expected<CharaData> parseCharaFile(std::span<const uint8_t> bytes, const std::string& file,
                                   CountLog* counts = nullptr);
std::vector<uint8_t> writeCharaFile(const CharaData& data, const CountLog* counts = nullptr);
