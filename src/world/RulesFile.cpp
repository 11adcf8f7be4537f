#include "world/RulesFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <map>

#include "base/DataPath.h"
#include "base/DataLayers.h"
#include "base/FileBytes.h"
#include "base/TextCodec.h"
#include "world/StageRulesText.h"
#include "world/FairRulesFile.h"
#include "world/ItemRulesFile.h"

namespace {

constexpr long kMaxPlace = 1000000;          // as far as any scene reaches
constexpr long kMaxPoints = 1000000000;      // either way
constexpr long kMaxKills = 1000000;
constexpr size_t kMaxPasswordBytes = 255;

constexpr long kMaxPause = 360000;          // an hour of frames
constexpr long kAttackTriesOutOf = 501;      // the numbers 0 to 500 an attack try draws
constexpr long kMaxWalkHundredths = 2000;    // 20 pixels a frame: across the screen in 40 frames

const char* const kKeys =
    "player, player-x, player-z, first-scene, final-scene, pack-password, continues, coop-hp-percent, heroes, score NAME, "
    "pace NAME, walk-speed NAME, stretch SCENE, enemy-place SCENE N, place-name SCENE, door-depth, and for each level of difficulty (easy, normal, hard) LEVEL.enemy-hp-percent, "
    "LEVEL.enemy-damage-percent, LEVEL.enemy-pace-percent, LEVEL.continues, instructions, cannot-grab, and ";
constexpr long kMaxContinues = 99;
constexpr size_t kMaxHeroes = 16;
constexpr long kMaxCoopHpPercent = 1000;  // ten times the hit points for each extra seat
// A level's enemies have from a tenth to ten times the data's hit points, damage and pace.
constexpr long kMinLevelPercent = 10, kMaxLevelPercent = 1000;

// "1.5" or "2" or "0.75" as hundredths, read by hand so that no locale decides what the point means.
bool hundredths(const std::string& text, long hi, long& out) {
  const size_t point = text.find('.');
  const std::string whole = text.substr(0, point);
  std::string part = point == std::string::npos ? "" : text.substr(point + 1);
  if (whole.empty() || whole.size() > 6 || part.size() > 2 || (point != std::string::npos && part.empty())) return false;
  for (char c : whole + part)
    if (c < '0' || c > '9') return false;
  while (part.size() < 2) part += '0';
  const long v = std::stol(whole) * 100 + std::stol(part);
  if (v > hi) return false;
  out = v;
  return true;
}

bool wholeNumber(const std::string& text, long lo, long hi, long& out) {
  if (text.empty() || text.size() > 12) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || v < lo || v > hi) return false;
  // strtol takes leading blanks and a '+': the file takes neither.
  if (text[0] != '-' && (text[0] < '0' || text[0] > '9')) return false;
  out = v;
  return true;
}

class RulesReader {
 public:
  RulesReader(const std::string& file, GameRules base) : file_(file), rules_(std::move(base)) {}

  // False with error_ set at the first rule that cannot be used.
  bool apply(const RulesLine& rule) {
    line_ = rule.line;
    const std::string& key = rule.key;
    const std::string& value = rule.value;
    if (const size_t dot = key.find('.'); dot != std::string::npos && key.find(' ') == std::string::npos)
      return levelRule(key.substr(0, dot), key.substr(dot + 1), value);
    const auto [word, enemy] = splitFirstWord(key);
    if (word == kScoreRule) return score(enemy, value);
    if (word == kPaceRule) return pace(enemy, value);
    if (word == kWalkSpeedRule) return walkSpeed(enemy, value);
    if (key == kDoorDepthRule && !firstTime(key)) return false;
    switch (readStageRule(rule, file_, rules_.stage, error_)) {
      case StageRuleRead::Taken: return true;
      case StageRuleRead::Failed: return false;
      case StageRuleRead::NotMine: break;
    }
    std::string why;
    bool once = true;
    if (const ItemRuleLine item = applyItemRule(key, value, rules_.items, why, once); item != ItemRuleLine::NotOurs) {
      if (item == ItemRuleLine::Refused) return fail(why);
      return !once || firstTime(key);
    }
    if (!firstTime(key)) return false;
    if (const FairRuleLine fair = applyFairRule(key, value, file_, line_, rules_.fair, why); fair != FairRuleLine::NotOurs)
      return fair == FairRuleLine::Applied || fail(why);
    if (key == "player") return id(value, "the player's character id", rules_.playerId);
    if (key == "player-x") return place(value, rules_.playerX);
    if (key == "player-z") return place(value, rules_.playerZ);
    if (key == "first-scene") return id(value, "the first scene's id", rules_.firstScene);
    if (key == "final-scene") return name(value, "the final scene's name", rules_.finalScene);
    if (key == "continues") {
      long n = 0;
      if (!wholeNumber(value, 0, kMaxContinues, n))
        return fail("continues wants the continues the team shares, from 0 (none) to " + std::to_string(kMaxContinues) +
                    ", not \"" + value + "\"");
      rules_.continues = static_cast<int32_t>(n);
      return true;
    }
    if (key == "coop-hp-percent") {
      long n = 0;
      if (!wholeNumber(value, 0, kMaxCoopHpPercent, n))
        return fail("coop-hp-percent wants the percent of hit points enemies gain for each seat beyond the first, "
                    "from 0 to " + std::to_string(kMaxCoopHpPercent) + ", not \"" + value + "\"");
      rules_.coopHpPercent = static_cast<int32_t>(n);
      return true;
    }
    if (key == "heroes") return heroes(value);
    if (key == "instructions") {
      if (value != "classic" && value != "extended")
        return fail("instructions wants classic (the eleven of the data format) or extended (grab, throw and "
                    "let-go too), not \"" + value + "\"");
      rules_.extendedInstructions = value == "extended";
      return true;
    }
    if (key == "cannot-grab") return cannotGrab(value);
    if (key == "pack-password") {
      if (value.empty() || value.size() > kMaxPasswordBytes)
        return fail("pack-password needs the pack's password (1 to " + std::to_string(kMaxPasswordBytes) + " bytes)");
      rules_.packPassword = value;
      return true;
    }
    return fail("\"" + key + "\" is not a rule of the game; the rules are: " + kKeys + kFairRuleKeys + kItemRuleKeys);
  }

  const GameRules& rules() const { return rules_; }
  LoadError error() const { return {file_, line_, error_}; }

 private:
  bool fail(const std::string& why) {
    error_ = why;
    return false;
  }

  bool firstTime(const std::string& key) {
    auto [at, fresh] = seen_.emplace(key, line_);
    if (!fresh) return fail(key + " is given twice (first on line " + std::to_string(at->second) + ")");
    return true;
  }

  // Text of the data files is GBK; the rules file is UTF-8.
  bool gbk(const std::string& value, const std::string& what, std::string& out) {
    if (value.empty()) return fail(what + " is missing after the '='");
    if (!utf8ToGbk(value, out)) return fail(what + " \"" + value + "\" holds a character the game's text (GBK) cannot hold");
    if (out.size() > kMaxPlainNameBytes)
      return fail(what + " is " + std::to_string(out.size()) + " bytes long in GBK (at most " +
                  std::to_string(kMaxPlainNameBytes) + ")");
    return true;
  }

  bool id(const std::string& value, const std::string& what, std::string& target) {
    std::string converted;
    if (!gbk(value, what, converted)) return false;
    if (std::string why = plainNameProblem(converted); !why.empty())
      return fail(what + " \"" + value + "\" is not a plain name: " + why);
    target = converted;
    return true;
  }

  bool name(const std::string& value, const std::string& what, std::string& target) {
    std::string converted;
    if (!gbk(value, what, converted)) return false;
    target = converted;
    return true;
  }

  bool place(const std::string& value, int32_t& target) {
    long v = 0;
    if (!wholeNumber(value, -kMaxPlace, kMaxPlace, v))
      return fail("\"" + value + "\" is not a whole number from " + std::to_string(-kMaxPlace) + " to " +
                  std::to_string(kMaxPlace));
    target = static_cast<int32_t>(v);
    return true;
  }

  // heroes = ID ...: the characters a player may choose, each a plain name, none twice.
  bool heroes(const std::string& value) {
    std::vector<std::string> ids;
    for (std::string rest = value; !rest.empty();) {
      auto [word, more] = splitFirstWord(rest);
      std::string hero;
      if (!id(word, "the hero", hero)) return false;
      for (const std::string& already : ids)
        if (already == hero) return fail("heroes names " + word + " twice");
      if (ids.size() == kMaxHeroes)
        return fail("heroes names more than " + std::to_string(kMaxHeroes) + " characters");
      ids.push_back(hero);
      rest = more;
    }
    if (ids.empty()) return fail("heroes wants the character ids a player may choose: heroes = c_morivane c_kaelin");
    rules_.heroes = std::move(ids);
    return true;
  }

  // cannot-grab = NAME NAME ...: the kinds (character names) nobody takes hold of.
  bool cannotGrab(const std::string& value) {
    std::vector<std::string> names;
    for (std::string rest = value; !rest.empty();) {
      auto [word, more] = splitFirstWord(rest);
      std::string converted;
      if (!gbk(word, "the name", converted)) return false;
      names.push_back(converted);
      rest = more;
    }
    if (names.empty()) return fail("cannot-grab wants the names of the kinds nobody can grab: cannot-grab = boss01 guai06");
    rules_.cannotGrab = std::move(names);
    return true;
  }

  // LEVEL.NAME = VALUE: one number of a level of difficulty.
  bool levelRule(const std::string& levelName, const std::string& rule, const std::string& value) {
    Difficulty d{};
    if (!difficultyFromName(levelName, d))
      return fail("\"" + levelName + "\" is not a level of difficulty: easy, normal or hard come before the '.'");
    if (!firstTime(levelName + "." + rule)) return false;
    DifficultyLevel& level = rules_.levels[static_cast<size_t>(d)];
    int32_t* percent = rule == "enemy-hp-percent"       ? &level.enemyHpPercent
                       : rule == "enemy-damage-percent" ? &level.enemyDamagePercent
                       : rule == "enemy-pace-percent"   ? &level.enemyPacePercent
                                                        : nullptr;
    long n = 0;
    if (percent) {
      if (!wholeNumber(value, kMinLevelPercent, kMaxLevelPercent, n))
        return fail(levelName + "." + rule + " wants a percent of what the data give, from " +
                    std::to_string(kMinLevelPercent) + " to " + std::to_string(kMaxLevelPercent) + ", not \"" + value +
                    "\"");
      *percent = static_cast<int32_t>(n);
      return true;
    }
    if (rule == "continues") {
      if (!wholeNumber(value, 0, kMaxContinues, n))
        return fail(levelName + ".continues wants the continues the team shares at this level, from 0 to " +
                    std::to_string(kMaxContinues) + ", not \"" + value + "\"");
      level.continues = static_cast<int32_t>(n);
      return true;
    }
    return fail("\"" + rule + "\" is not a rule of a level of difficulty: enemy-hp-percent, enemy-damage-percent, "
                "enemy-pace-percent or continues come after \"" + levelName + ".\"");
  }

  // The enemy a per-enemy rule names, in the data's GBK; false if there is none or it is given twice.
  bool enemyName(const std::string& rule, const std::string& enemy, const std::string& example, std::string& out) {
    if (enemy.empty())
      return fail(rule + " needs the enemy's name, as its character file gives it: " + rule + " guai03 = " + example);
    if (!firstTime(rule + " " + enemy)) return false;
    return gbk(enemy, "the enemy's name", out);
  }

  GameRules::Pace& paceEntry(const std::string& gbkName) {
    for (GameRules::Pace& p : rules_.paces)
      if (p.enemyName == gbkName) return p;
    rules_.paces.push_back({gbkName, EnemyPace{}});
    return rules_.paces.back();
  }

  // pace NAME = PAUSE TRIES: frames after an attack before the next try, then tries in 501 each frame.
  bool pace(const std::string& enemy, const std::string& value) {
    std::string gbkName;
    if (!enemyName("pace", enemy, "200 6", gbkName)) return false;
    const auto [pause, tries] = splitFirstWord(value);
    long frames = 0, chances = 0;
    if (!wholeNumber(pause, 0, kMaxPause, frames) || !wholeNumber(tries, 0, kAttackTriesOutOf, chances))
      return fail("pace " + enemy + " wants the frames after an attack before the next try (0 to " +
                  std::to_string(kMaxPause) + "), then the tries in " + std::to_string(kAttackTriesOutOf) +
                  " each frame (0 to " + std::to_string(kAttackTriesOutOf) + "; the game's own is 500 2): \"" +
                  value + "\" is not that");
    EnemyPace& p = paceEntry(gbkName).pace;
    p.attackPause = static_cast<int32_t>(frames);
    p.attackTries = static_cast<int32_t>(chances);
    return true;
  }

  // walk-speed NAME = PIXELS: a frame's walk, approaching or backing off (hundredths at most).
  bool walkSpeed(const std::string& enemy, const std::string& value) {
    std::string gbkName;
    if (!enemyName("walk-speed", enemy, "2.5", gbkName)) return false;
    long speed = 0;
    if (!hundredths(value, kMaxWalkHundredths, speed))
      return fail("walk-speed " + enemy + " wants pixels a frame from 0 to " + std::to_string(kMaxWalkHundredths / 100) +
                  " with at most two decimals (the game's own is 1.5): \"" + value + "\" is not that");
    paceEntry(gbkName).pace.walkSpeed = static_cast<double>(speed) / 100.0;
    return true;
  }

  // score NAME = POINTS [KILLS]
  bool score(const std::string& enemy, const std::string& value) {
    std::string gbkName;
    if (!enemyName("score", enemy, "30", gbkName)) return false;
    const auto [points, kills] = splitFirstWord(value);
    long p = 0, k = 1;
    if (!wholeNumber(points, -kMaxPoints, kMaxPoints, p))
      return fail("score " + enemy + " wants the points (a whole number), then optionally the kills it counts: \"" +
                  value + "\" is not that");
    if (!kills.empty() && !wholeNumber(kills, 0, kMaxKills, k))
      return fail("score " + enemy + ": the kills an enemy counts are a whole number from 0 to " +
                  std::to_string(kMaxKills) + ", not \"" + kills + "\"");
    const EnemyValue worth{static_cast<int32_t>(p), static_cast<int32_t>(k)};
    for (GameRules::Score& s : rules_.scores) {
      if (s.enemyName == gbkName) {
        s.value = worth;
        return true;
      }
    }
    rules_.scores.push_back({gbkName, worth});
    return true;
  }

  std::string file_;
  GameRules rules_;
  size_t line_ = 0;
  std::string error_;
  std::map<std::string, size_t> seen_;  // key -> its line
};

}  // namespace

Expected<GameRules> applyRulesText(const RulesText& text, const std::string& file, GameRules base) {
  RulesReader reader(file, std::move(base));
  for (const RulesLine& rule : text.lines)
    if (!reader.apply(rule)) return reader.error();
  return reader.rules();
}

Expected<GameRules> readGameRules(const std::string& path, bool* found) {
  if (found) *found = false;
  // Only a name that leads nowhere at all is "no rules file": a link to
  // nowhere or a folder in its place is a mistake worth saying.
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) return GameRules{};
  if (found) *found = true;
  Expected<std::vector<uint8_t>> bytes = readFileBytes(path, kMaxRulesTextBytes);
  if (!bytes) return LoadError{path, 1, bytes.error().what};
  Expected<RulesText> text = parseRulesText(*bytes, path);
  if (!text) return text.error();
  return applyRulesText(*text, path);
}

Expected<GameRules> readGameRules(const DataLayers* layers, bool* found) {
  if (!layers) return readGameRules(kRulesFile, found);
  if (found) *found = false;
  GameRules rules;
  for (const DataLayers::Layer& layer : layers->layers()) {
    if (!layer.source->has(kRulesFile)) continue;
    if (found) *found = true;
    const std::string file = layer.label() + kRulesFile;
    Expected<std::vector<uint8_t>> bytes = layer.source->read(kRulesFile, kMaxRulesTextBytes);
    if (!bytes) return LoadError{file, 1, bytes.error().what};
    Expected<RulesText> text = parseRulesText(*bytes, file);
    if (!text) return text.error();
    Expected<GameRules> applied = applyRulesText(*text, file, std::move(rules));
    if (!applied) return applied.error();
    rules = std::move(*applied);
  }
  return rules;
}
