#include "world/RulesFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <map>

#include "base/DataPath.h"
#include "base/FileBytes.h"
#include "base/TextCodec.h"

namespace {

constexpr long kMaxPlace = 1000000;          // as far as any scene reaches
constexpr long kMaxPoints = 1000000000;      // either way
constexpr long kMaxKills = 1000000;
constexpr size_t kMaxPasswordBytes = 255;

const char* const kKeys = "player, player-x, player-z, first-scene, final-scene, pack-password, score NAME";

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
    if (key.rfind("score", 0) == 0 && (key.size() == 5 || key[5] == ' ' || key[5] == '\t'))
      return score(key.substr(5), value);
    if (!firstTime(key)) return false;
    if (key == "player") return id(value, "the player's character id", rules_.playerId);
    if (key == "player-x") return place(value, rules_.playerX);
    if (key == "player-z") return place(value, rules_.playerZ);
    if (key == "first-scene") return id(value, "the first scene's id", rules_.firstScene);
    if (key == "final-scene") return name(value, "the final scene's name", rules_.finalScene);
    if (key == "pack-password") {
      if (value.empty() || value.size() > kMaxPasswordBytes)
        return fail("pack-password needs the pack's password (1 to " + std::to_string(kMaxPasswordBytes) + " bytes)");
      rules_.packPassword = value;
      return true;
    }
    return fail("\"" + key + "\" is not a rule of the game; the rules are: " + kKeys);
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

  // score NAME = POINTS [KILLS]
  bool score(const std::string& rest, const std::string& value) {
    std::string enemy = rest;
    while (!enemy.empty() && (enemy.front() == ' ' || enemy.front() == '\t')) enemy.erase(enemy.begin());
    if (enemy.empty()) return fail("score needs the enemy's name, as its character file gives it: score guai03 = 30");
    if (!firstTime("score " + enemy)) return false;
    std::string gbkName;
    if (!gbk(enemy, "the enemy's name", gbkName)) return false;
    const size_t space = value.find_first_of(" \t");
    const std::string points = value.substr(0, space);
    std::string kills = space == std::string::npos ? "" : value.substr(space);
    while (!kills.empty() && (kills.front() == ' ' || kills.front() == '\t')) kills.erase(kills.begin());
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
