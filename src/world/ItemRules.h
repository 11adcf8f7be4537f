// Things to find and break: props with hit points that break and drop what
// they hold, items lying on the ground (food, treasure, weapons) taken with
// punch, and weapons that change a fighter's punch while they last. Each is
// switched on by its own lines of data/rules.txt; a folder without them has no
// breakable prop, no item and no weapon, and plays exactly as before.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class ItemKind : int32_t { Food = 0, Treasure = 1, Weapon = 2 };

struct ItemRules {
  // breakable CHARA ACTION = HP BROKEN-ACTION
  struct Breakable {
    std::string chara;  // GBK, the prop character's id
    int32_t action = 0;
    int32_t hp = 1;
    int32_t brokenAction = 0;
  };
  // item NAME = KIND VALUE CHARA ACTION: what lies on the ground, and how it looks.
  struct Item {
    std::string name;   // as the rules file gives it
    ItemKind kind = ItemKind::Food;
    int32_t value = 0;  // hit points back, points, or a weapon's uses
    std::string chara;  // GBK
    int32_t action = 0;
  };
  // weapon NAME = ACTION [THROW-ACTION]: J while holding it plays ACTION
  // (one use); J with a direction plays THROW-ACTION (-1: none), and the weapon is gone.
  struct Weapon {
    std::string item;
    int32_t action = 0;
    int32_t throwAction = -1;
  };
  // holds SCENE N = ITEM: the N-th prop (from 1, in the scene file's order) drops ITEM when broken.
  struct Holds {
    std::string scene;  // GBK scene id
    int32_t prop = 0;
    int32_t item = 0;   // index into `items`
  };
  // lies SCENE = ITEM X Z: an item on the ground as the scene begins.
  struct Lies {
    std::string scene;
    int32_t item = 0;
    int32_t x = 0, z = 0;
  };

  std::vector<Breakable> breakables;
  std::vector<Item> items;
  std::vector<Weapon> weapons;
  std::vector<Holds> holds;
  std::vector<Lies> lies;
  // picks-weapons = KIND ...: enemies of these kinds (character names, GBK) go for weapons lying near.
  std::vector<std::string> pickers;
  // pick-up-action = N: the action a fighter plays as it takes an item, when its file has it.
  int32_t pickUpAction = 47;

  // Whether any of these rules change what the world does.
  bool any() const { return !breakables.empty() || !items.empty(); }

  const Breakable* breakable(const std::string& chara, int32_t action) const {
    for (const Breakable& b : breakables)
      if (b.action == action && b.chara == chara) return &b;
    return nullptr;
  }
  // The index of item `name` in `items`, -1 when there is none.
  int32_t itemIndex(const std::string& name) const {
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].name == name) return static_cast<int32_t>(i);
    return -1;
  }
  const Weapon* weaponOf(int32_t item) const {
    if (item < 0 || static_cast<size_t>(item) >= items.size()) return nullptr;
    for (const Weapon& w : weapons)
      if (w.item == items[static_cast<size_t>(item)].name) return &w;
    return nullptr;
  }
  bool picksWeapons(const std::string& kind) const {
    for (const std::string& p : pickers)
      if (p == kind) return true;
    return false;
  }
  // The item the `prop`-th prop (from 1) of scene `scene` holds, -1: none.
  int32_t heldBy(const std::string& scene, int32_t prop) const {
    for (const Holds& h : holds)
      if (h.prop == prop && h.scene == scene) return h.item;
    return -1;
  }
};

// The rules words these lines begin with, for the reader's list of every rule.
inline constexpr const char* kItemRuleKeys =
    ", breakable CHARA ACTION, item NAME, weapon NAME, holds SCENE N, lies SCENE, picks-weapons, pick-up-action";
