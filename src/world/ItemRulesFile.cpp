#include "world/ItemRulesFile.h"

#include "base/DataPath.h"
#include "base/TextCodec.h"
#include "format/RulesText.h"

namespace {

constexpr long kMaxAction = 100000;
constexpr long kMaxHp = 100000;
constexpr long kMaxValue = 1000000;  // hit points, points or uses
constexpr long kMaxPlace = 1000000;
constexpr long kMaxPropNumber = 100000;
constexpr size_t kMaxNameBytes = 32;
// More than any game needs; a hostile file cannot make the world's lists grow without end.
constexpr size_t kMaxEntries = 1000;

std::string range(long lo, long hi) { return "from " + std::to_string(lo) + " to " + std::to_string(hi); }

// A character or scene id: GBK, a plain name.
bool plainId(const std::string& typed, const std::string& what, std::string& out, std::string& why) {
  if (typed.empty()) return why = what + " is missing", false;
  if (!utf8ToGbk(typed, out)) return why = what + " \"" + typed + "\" holds a character the game's text (GBK) cannot hold", false;
  if (std::string problem = plainNameProblem(out); !problem.empty())
    return why = what + " \"" + typed + "\" is not a plain name: " + problem, false;
  return true;
}

// An item's name: letters, digits, '-' and '_', short.
bool itemName(const std::string& typed, std::string& why) {
  if (typed.empty() || typed.size() > kMaxNameBytes) {
    why = "an item's name is 1 to " + std::to_string(kMaxNameBytes) + " letters, digits, '-' or '_'";
    return false;
  }
  for (char c : typed)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_')) {
      why = "the item's name \"" + typed + "\" holds something other than letters, digits, '-' or '_'";
      return false;
    }
  return true;
}

bool knownItem(const ItemRules& rules, const std::string& name, const std::string& rule, int32_t& index,
               std::string& why) {
  index = rules.itemIndex(name);
  if (index >= 0) return true;
  why = rule + ": there is no item \"" + name + "\" (an item line names it first: item apple = food 20 item 0)";
  return false;
}

bool roomFor(size_t size, const std::string& rule, std::string& why) {
  if (size < kMaxEntries) return true;
  why = "more than " + std::to_string(kMaxEntries) + " " + rule + " lines";
  return false;
}

}  // namespace

ItemRuleLine applyItemRule(const std::string& key, const std::string& value, ItemRules& rules, std::string& why,
                           bool& once) {
  const auto split = splitFirstWord(key);
  const std::string& word = split.first;
  const std::string& rest = split.second;
  auto result = [](bool ok) { return ok ? ItemRuleLine::Applied : ItemRuleLine::Refused; };
  once = true;

  if (word == "breakable") {
    const std::string example = "breakable prop 0 = 30 2";
    const auto [typedChara, typedAction] = splitFirstWord(rest);
    ItemRules::Breakable b;
    long action = 0, hp = 0, broken = 0;
    if (!plainId(typedChara, "breakable: the prop's character id", b.chara, why)) return ItemRuleLine::Refused;
    if (!wholeNumberIn(typedAction, 0, kMaxAction, action)) {
      why = "breakable wants the prop's character id and its action before the '=': " + example;
      return ItemRuleLine::Refused;
    }
    const std::vector<std::string> w = splitWords(value);
    if (w.size() != 2 || !wholeNumberIn(w[0], -kMaxHp, kMaxHp, hp) || !wholeNumberIn(w[1], 0, kMaxAction, broken)) {
      why = "breakable " + rest + " wants the prop's hit points, then the action it plays broken: " + example;
      return ItemRuleLine::Refused;
    }
    if (hp <= 0) {
      why = "breakable " + rest + ": a prop's hit points are " + range(1, kMaxHp) + ", not " + w[0] +
            " (a prop with none would break before it is struck)";
      return ItemRuleLine::Refused;
    }
    if (!roomFor(rules.breakables.size(), "breakable", why)) return ItemRuleLine::Refused;
    b.action = static_cast<int32_t>(action);
    b.hp = static_cast<int32_t>(hp);
    b.brokenAction = static_cast<int32_t>(broken);
    rules.breakables.push_back(std::move(b));
    return ItemRuleLine::Applied;
  }

  if (word == "item") {
    const std::string example = "item apple = food 20 item 0";
    if (!itemName(rest, why)) return ItemRuleLine::Refused;
    const std::vector<std::string> w = splitWords(value);
    ItemRules::Item item;
    item.name = rest;
    long v = 0, action = 0;
    if (w.size() != 4) {
      why = "item " + rest + " wants its kind (food, treasure or weapon), its value (hit points back, points or uses), "
            "then the character and action it lies as: " + example;
      return ItemRuleLine::Refused;
    }
    if (w[0] == "food") item.kind = ItemKind::Food;
    else if (w[0] == "treasure") item.kind = ItemKind::Treasure;
    else if (w[0] == "weapon") item.kind = ItemKind::Weapon;
    else return why = "item " + rest + ": \"" + w[0] + "\" is not a kind of item: food, treasure or weapon", ItemRuleLine::Refused;
    if (!wholeNumberIn(w[1], 1, kMaxValue, v)) {
      why = "item " + rest + ": its value is " + range(1, kMaxValue) + ", not \"" + w[1] + "\"";
      return ItemRuleLine::Refused;
    }
    if (!plainId(w[2], "item " + rest + ": the character id", item.chara, why)) return ItemRuleLine::Refused;
    if (!wholeNumberIn(w[3], 0, kMaxAction, action)) {
      why = "item " + rest + ": the action it lies as is " + range(0, kMaxAction) + ", not \"" + w[3] + "\"";
      return ItemRuleLine::Refused;
    }
    if (!roomFor(rules.items.size(), "item", why)) return ItemRuleLine::Refused;
    item.value = static_cast<int32_t>(v);
    item.action = static_cast<int32_t>(action);
    rules.items.push_back(std::move(item));
    return ItemRuleLine::Applied;
  }

  if (word == "weapon") {
    int32_t index = 0;
    if (!knownItem(rules, rest, "weapon", index, why)) return ItemRuleLine::Refused;
    if (rules.items[static_cast<size_t>(index)].kind != ItemKind::Weapon) {
      why = "weapon " + rest + ": the item " + rest + " is not of the kind weapon";
      return ItemRuleLine::Refused;
    }
    const std::vector<std::string> w = splitWords(value);
    long action = 0, thrown = -1;
    if (w.empty() || w.size() > 2 || !wholeNumberIn(w[0], 0, kMaxAction, action) ||
        (w.size() == 2 && !wholeNumberIn(w[1], 0, kMaxAction, thrown))) {
      why = "weapon " + rest + " wants the action J plays with it, then optionally the action that throws it: "
            "weapon knife = 45 46";
      return ItemRuleLine::Refused;
    }
    rules.weapons.push_back({rest, static_cast<int32_t>(action), static_cast<int32_t>(thrown)});
    return ItemRuleLine::Applied;
  }

  if (word == "holds") {
    const std::string example = "holds Test 1 = apple";
    const auto [typedScene, typedNumber] = splitFirstWord(rest);
    ItemRules::Holds h;
    long n = 0;
    if (!plainId(typedScene, "holds: the scene id", h.scene, why)) return ItemRuleLine::Refused;
    if (!wholeNumberIn(typedNumber, 1, kMaxPropNumber, n)) {
      why = "holds wants the scene and the prop's number in its file (from 1) before the '=': " + example;
      return ItemRuleLine::Refused;
    }
    if (!knownItem(rules, value, "holds " + rest, h.item, why)) return ItemRuleLine::Refused;
    if (!roomFor(rules.holds.size(), "holds", why)) return ItemRuleLine::Refused;
    h.prop = static_cast<int32_t>(n);
    rules.holds.push_back(std::move(h));
    return ItemRuleLine::Applied;
  }

  if (word == "lies") {
    once = false;  // a scene may have many items lying in it
    const std::string example = "lies Test = knife 600 420";
    ItemRules::Lies l;
    if (!plainId(rest, "lies: the scene id", l.scene, why)) return ItemRuleLine::Refused;
    const std::vector<std::string> w = splitWords(value);
    long x = 0, z = 0;
    if (w.size() != 3 || !wholeNumberIn(w[1], 0, kMaxPlace, x) || !wholeNumberIn(w[2], 0, kMaxPlace, z)) {
      why = "lies " + rest + " wants the item, then where it lies along the ground and in depth: " + example;
      return ItemRuleLine::Refused;
    }
    if (!knownItem(rules, w[0], "lies " + rest, l.item, why)) return ItemRuleLine::Refused;
    if (!roomFor(rules.lies.size(), "lies", why)) return ItemRuleLine::Refused;
    l.x = static_cast<int32_t>(x);
    l.z = static_cast<int32_t>(z);
    rules.lies.push_back(std::move(l));
    return ItemRuleLine::Applied;
  }

  if (word == "picks-weapons") {
    if (!rest.empty()) return why = "picks-weapons takes no name before the '='", ItemRuleLine::Refused;
    std::vector<std::string> kinds;
    for (const std::string& typed : splitWords(value)) {
      std::string gbk;
      if (!plainId(typed, "picks-weapons: the enemy's name", gbk, why)) return ItemRuleLine::Refused;
      kinds.push_back(gbk);
    }
    if (kinds.empty()) return why = "picks-weapons wants the enemies' names: picks-weapons = guai01", ItemRuleLine::Refused;
    rules.pickers = std::move(kinds);
    return ItemRuleLine::Applied;
  }

  if (word == "pick-up-action") {
    long n = 0;
    if (!rest.empty() || !wholeNumberIn(value, 0, kMaxAction, n))
      return why = "pick-up-action wants the action a fighter plays as it takes an item, " + range(0, kMaxAction) +
                   ", not \"" + value + "\"",
             ItemRuleLine::Refused;
    rules.pickUpAction = static_cast<int32_t>(n);
    return result(true);
  }
  return ItemRuleLine::NotOurs;
}
