// data/rules.txt: any bytes either fail with one error on a line of the file,
// or give rules whose every name is within the game's bounds.
#include <cstdint>
#include <cstdlib>

#include "base/DataPath.h"
#include "world/RulesFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t lines = 1;
  for (size_t i = 0; i < size; ++i) lines += data[i] == '\n';
  Expected<RulesText> text = parseRulesText({data, size}, "rules.txt");
  if (!text) {
    if (text.error().offset < 1 || text.error().offset > lines) std::abort();
    return 0;
  }
  Expected<GameRules> rules = applyRulesText(*text, "rules.txt");
  if (!rules) {
    if (rules.error().offset < 1 || rules.error().offset > lines) std::abort();
    return 0;
  }
  if (!plainNameProblem(rules->playerId).empty() || !plainNameProblem(rules->firstScene).empty()) std::abort();
  if (rules->packPassword.empty()) std::abort();
  for (const GameRules::Pace& p : rules->paces)
    if (p.pace.attackPause < 0 || p.pace.attackTries < 0 || p.pace.attackTries > 501 || !(p.pace.walkSpeed >= 0) ||
        p.pace.walkSpeed > 20)
      std::abort();
  return 0;
}
