#include "world/FairRulesFile.h"

#include <cerrno>
#include <cstdlib>

#include "base/DataPath.h"
#include "base/TextCodec.h"
#include "format/CharaData.h"
#include "format/RulesText.h"

namespace {

// Longer than any of these would be useful: a minute of frames, a screen's width.
constexpr long kMaxHits = 20;
constexpr long kMaxWindowFrames = 6000;
constexpr long kMaxProtectionFrames = 1000;
constexpr long kMaxMotionWindow = 100;
constexpr long kMaxHitStop = 50;
constexpr long kMaxRoom = 200;
constexpr long kMaxAction = 100000;
constexpr long kMaxPower = 90;  // a full gauge

std::string range(long lo, long hi) { return "from " + std::to_string(lo) + " to " + std::to_string(hi); }

bool gbkName(const std::string& text, const std::string& what, std::string& out, std::string& why) {
  if (text.empty()) {
    why = what + " is missing";
    return false;
  }
  if (!utf8ToGbk(text, out)) {
    why = what + " \"" + text + "\" holds a character the game's text (GBK) cannot hold";
    return false;
  }
  if (out.size() > kMaxPlainNameBytes) {
    why = what + " \"" + text + "\" is longer than " + std::to_string(kMaxPlainNameBytes) + " bytes";
    return false;
  }
  return true;
}

bool onOff(const std::string& key, const std::string& value, const char* on, bool& out, std::string& why) {
  if (value == on || value == "off") {
    out = value == on;
    return true;
  }
  why = key + " wants " + on + " or off, not \"" + value + "\"";
  return false;
}

}  // namespace

FairRuleLine applyFairRule(const std::string& key, const std::string& value, const std::string& file, size_t line,
                           FairRules& rules, std::string& why) {
  // Named, not a structured binding: the lambdas below capture them, which the
  // browser build's compiler does not allow of bindings.
  const auto split = splitFirstWord(key);
  const std::string& word = split.first;
  const std::string& rest = split.second;
  auto result = [&](bool ok) { return ok ? FairRuleLine::Applied : FairRuleLine::Refused; };
  long n = 0;
  auto single = [&](long lo, long hi, const std::string& what, int32_t& target) {
    if (!rest.empty()) {
      why = word + " takes no name after it";
      return false;
    }
    if (!wholeNumberIn(value, lo, hi, n)) {
      why = word + " wants " + what + ", " + range(lo, hi) + ", not \"" + value + "\"";
      return false;
    }
    target = static_cast<int32_t>(n);
    return true;
  };

  if (word == "knockdown-hits") {
    const auto [hits, frames] = splitFirstWord(value);
    long h = 0, f = 0;
    if (!rest.empty() || !wholeNumberIn(hits, 2, kMaxHits, h) || !wholeNumberIn(frames, 1, kMaxWindowFrames, f)) {
      why = "knockdown-hits wants the hits (" + range(2, kMaxHits) + ") that knock down within the frames (" +
            range(1, kMaxWindowFrames) + ") after the first: knockdown-hits = 4 150, not \"" + value + "\"";
      return FairRuleLine::Refused;
    }
    rules.knockdownHits = static_cast<int32_t>(h);
    rules.knockdownFrames = static_cast<int32_t>(f);
    return FairRuleLine::Applied;
  }
  if (word == "wake-up-protection") {
    const auto [fighters, enemies] = splitFirstWord(value);
    long f = 0, e = 0;
    if (!rest.empty() || !wholeNumberIn(fighters, 0, kMaxProtectionFrames, f) ||
        (!enemies.empty() && !wholeNumberIn(enemies, 0, kMaxProtectionFrames, e))) {
      why = "wake-up-protection wants the frames after getting up in which no hit lands, " +
            range(0, kMaxProtectionFrames) + ", then optionally the enemies' own: wake-up-protection = 60 20, not \"" +
            value + "\"";
      return FairRuleLine::Refused;
    }
    rules.wakeUpProtection = static_cast<int32_t>(f);
    rules.enemyWakeUpProtection = static_cast<int32_t>(enemies.empty() ? f : e);
    return FairRuleLine::Applied;
  }
  if (word == "motion-window")
    return result(single(0, kMaxMotionWindow, "the most frames between the steps of a motion command", rules.motionWindow));
  if (word == "least-hit-stop")
    return result(single(0, kMaxHitStop, "the least frames a landed blow stops both fighters", rules.leastHitStop));
  if (word == "enemy-room")
    return result(single(0, kMaxRoom, "the pixels enemies keep between each other", rules.enemyRoom));
  if (word == "screen-shake") {
    if (!rest.empty()) return why = "screen-shake takes no name after it", FairRuleLine::Refused;
    return result(onOff(word, value, "on", rules.screenShake, why));
  }
  if (word == "getting-up") {
    if (!rest.empty()) return why = "getting-up takes no name after it", FairRuleLine::Refused;
    if (value == "open") return rules.untouchableGettingUp = false, FairRuleLine::Applied;
    if (value == "untouchable") return rules.untouchableGettingUp = true, FairRuleLine::Applied;
    return why = "getting-up wants untouchable or open, not \"" + value + "\"", FairRuleLine::Refused;
  }
  if (word == "enemy-panel") {
    if (!rest.empty()) return why = "enemy-panel takes no name after it", FairRuleLine::Refused;
    return result(onOff(word, value, "names", rules.namedEnemyPanel, why));
  }
  if (word == "power-cost") {
    const auto [chara, action] = splitFirstWord(rest);
    FairRules::PowerCost cost;
    long a = 0, c = 0;
    if (chara.empty() || action.empty() || !wholeNumberIn(action, 0, kMaxAction, a)) {
      why = "power-cost wants a character id and an action number before the '=': power-cost c_morivane 21 = 15";
      return FairRuleLine::Refused;
    }
    if (!gbkName(chara, "the character id", cost.chara, why)) return FairRuleLine::Refused;
    if (std::string problem = plainNameProblem(cost.chara); !problem.empty()) {
      why = "the character id \"" + chara + "\" is not a plain name: " + problem;
      return FairRuleLine::Refused;
    }
    if (!wholeNumberIn(value, 0, kMaxPower, c)) {
      why = "power-cost " + rest + " wants the power it spends, " + range(0, kMaxPower) + ", not \"" + value + "\"";
      return FairRuleLine::Refused;
    }
    cost.action = static_cast<int32_t>(a);
    cost.cost = static_cast<int32_t>(c);
    cost.file = file;
    cost.line = line;
    rules.powerCosts.push_back(std::move(cost));
    return FairRuleLine::Applied;
  }
  if (word == "display-name") {
    FairRules::DisplayName d;
    if (!gbkName(rest, "display-name wants the enemy's name before the '=' (display-name boss01 = The Warden); "
                       "the enemy's name", d.enemy, why) ||
        !gbkName(value, "the name shown", d.shown, why))
      return FairRuleLine::Refused;
    rules.displayNames.push_back(std::move(d));
    return FairRuleLine::Applied;
  }
  if (word == "bosses") {
    if (!rest.empty()) return why = "bosses takes no name before the '=': bosses = boss01 boss02", FairRuleLine::Refused;
    std::vector<std::string> names;
    for (std::string left = value; !left.empty();) {
      auto [name, more] = splitFirstWord(left);
      std::string gbk;
      if (!gbkName(name, "the boss's name", gbk, why)) return FairRuleLine::Refused;
      names.push_back(gbk);
      left = more;
    }
    if (names.empty()) return why = "bosses wants the enemies' names: bosses = boss01 boss02", FairRuleLine::Refused;
    rules.bosses = std::move(names);
    return FairRuleLine::Applied;
  }
  return FairRuleLine::NotOurs;
}

std::string powerCostProblem(const FairRules::PowerCost& cost, const CharaData* data) {
  const std::string what = "power-cost " + gbkToUtf8(cost.chara) + " " + std::to_string(cost.action) + ": ";
  if (!data) return what + "there is no character " + gbkToUtf8(cost.chara);
  const size_t n = static_cast<size_t>(cost.action);
  if (n >= data->actions.size() || data->actions[n].codes.empty())
    return what + gbkToUtf8(cost.chara) + " has no action " + std::to_string(cost.action);
  return {};
}
