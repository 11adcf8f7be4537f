// Things to find and break: a breakable prop loses hit points to the blows
// that land on it and breaks, dropping what it holds; items lie on the ground
// until a fighter standing on one presses punch and takes it (food heals,
// treasure scores, a weapon is held); a held weapon changes the punch until its
// uses are spent, and falls to the ground when its holder is knocked down.
// Enemies of the kinds the rules name go for weapons lying near. Played only in
// a folder whose rules name items or breakable props.
#include <algorithm>
#include <climits>
#include <cmath>

#include "object/ObjReport.h"
#include "world/GrabActions.h"
#include "world/World.h"

namespace {

// An item dropped from a broken prop or a fallen holder hops up and lands.
constexpr double kHopVy = -4, kHopAy = 0.4;
// How far an enemy that picks weapons looks for one, along the ground and in depth.
constexpr double kSeekX = 240, kSeekZ = 80;
constexpr double kSeekWalkZ = 1;
// A broken prop's item lands this far in front of its body.
constexpr double kDropFront = 16;

// Whether the file fills action `n` (a number within the file that holds nothing is no action).
bool fills(const Obj& o, int32_t n) {
  return hasAction(o, n) && !o.data->actions[static_cast<size_t>(n)].codes.empty();
}

bool standing(const Chara& c) { return c.action == c.data->standAction || c.action == kWalkAction; }

bool knockedOut(const Chara& c) {
  return c.finished || c.hp < 1 || c.action == kDeathAction || (c.knockDownAction() >= 0 && c.action == c.knockDownAction());
}

}  // namespace

std::vector<World::HeldWeapon>::iterator World::heldWeaponOf(const Chara* c) {
  return std::find_if(heldWeapons.begin(), heldWeapons.end(), [c](const HeldWeapon& h) { return h.holder == c; });
}

const World::HeldWeapon* World::weaponOf(const Chara* c) const {
  for (const HeldWeapon& h : heldWeapons)
    if (h.holder == c) return &h;
  return nullptr;
}

bool World::itemLook(int32_t item, int32_t& set, int32_t& picture) const {
  if (item < 0 || static_cast<size_t>(item) >= rules.items.items.size()) return false;
  const ItemRules::Item& kind = rules.items.items[static_cast<size_t>(item)];
  const CharaData* data = library_->findOrLoad(kind.chara);
  if (!data || kind.action < 0 || static_cast<size_t>(kind.action) >= data->actions.size()) return false;
  for (const Instruction& code : data->actions[static_cast<size_t>(kind.action)].codes)
    if (code.opcode == 0 && !code.args.empty()) {
      set = data->pictureSet;
      picture = static_cast<int32_t>(code.args[0]);
      return true;
    }
  return false;
}

void World::forgetItemsOf(const Obj* o) {
  std::erase_if(propHolds, [&](const PropHold& p) { return p.prop == o; });
  std::erase_if(lyingItems, [&](const LyingItem& l) { return l.obj == o; });
  std::erase_if(heldWeapons, [&](const HeldWeapon& h) { return h.holder == o; });
}

void World::setUpProp(Obj& prop, int32_t number, const std::string& sceneId) {
  if (const ItemRules::Breakable* b = rules.items.breakable(prop.id(), prop.action)) prop.hp = b->hp;
  const int32_t item = rules.items.heldBy(sceneId, number);
  if (item >= 0) propHolds.push_back({&prop, item});
}

void World::layItems(const std::string& sceneId) {
  for (const ItemRules::Lies& l : rules.items.lies)
    if (l.scene == sceneId)
      dropItem(l.item, rules.items.items[static_cast<size_t>(l.item)].value, l.x, l.z, false);
}

Obj* World::dropItem(int32_t item, int32_t uses, double x, double z, bool hop) {
  const ItemRules::Item& kind = rules.items.items[static_cast<size_t>(item)];
  Obj* o = createObj(kind.chara, kind.action, 0, 0, 1, x, 0, z);
  if (!o) return nullptr;
  o->seat = 0;
  if (hop) {
    o->vy = kHopVy;
    o->ay = kHopAy;
  }
  lyingItems.push_back({o, item, uses});
  return o;
}

void World::hitProp(Obj& prop, int32_t damage) {
  const ItemRules::Breakable* b = rules.items.breakable(prop.id(), prop.action);
  if (!b) return;
  const int64_t left = static_cast<int64_t>(prop.hp) - damage;
  prop.hp = static_cast<int32_t>(std::clamp<int64_t>(left, INT32_MIN, INT32_MAX));
  if (prop.hp > 0) return;
  // What it held falls in front of it (nearer in depth), clear of the solid
  // ground a prop usually stands on, where a fighter can stand on it.
  double front = prop.z + prop.body.depth / 2 + kDropFront;
  if (depth > 0) front = std::min(front, static_cast<double>(depth) - kDropFront / 2);
  front = std::max(front, prop.z);
  prop.setAction(b->brokenAction);
  prop.body = Box{};  // broken: nothing strikes it again
  auto held = std::find_if(propHolds.begin(), propHolds.end(), [&](const PropHold& p) { return p.prop == &prop; });
  if (held == propHolds.end()) return;
  const int32_t item = held->item;
  propHolds.erase(held);
  dropItem(item, rules.items.items[static_cast<size_t>(item)].value, prop.x, front, true);
}

int32_t World::itemUnderFeet(const Chara& taker) const {
  const bool armed = weaponOf(&taker) != nullptr;
  for (size_t i = 0; i < lyingItems.size(); ++i) {
    const LyingItem& l = lyingItems[i];
    const ItemRules::Item& kind = rules.items.items[static_cast<size_t>(l.item)];
    if (kind.kind == ItemKind::Weapon && (armed || l.uses < 1)) continue;  // one weapon at a time; a spent one is nothing
    if (l.obj->finished || l.obj->y < 0) continue;  // still in the air
    if (std::fabs(l.obj->x - taker.x) <= kPickUpX && std::fabs(l.obj->z - taker.z) <= kPickUpZ)
      return static_cast<int32_t>(i);
  }
  return -1;
}

void World::takeItem(Chara& taker, size_t at) {
  const LyingItem taken = lyingItems[at];
  const ItemRules::Item& kind = rules.items.items[static_cast<size_t>(taken.item)];
  lyingItems.erase(lyingItems.begin() + static_cast<std::ptrdiff_t>(at));
  ItemTally* tally = taker.seat > 0 ? &tallies[static_cast<size_t>(taker.seat - 1)] : nullptr;
  switch (kind.kind) {
    case ItemKind::Food: {
      const int64_t healed = std::min<int64_t>(static_cast<int64_t>(taker.hp) + kind.value, taker.fullHp());
      taker.hp = static_cast<int32_t>(std::max<int64_t>(healed, taker.hp));
      if (tally) ++tally->food;
      break;
    }
    case ItemKind::Treasure:
      if (taker.seat > 0) {
        Hud& h = seat(taker.seat).hud;
        h.score = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(h.score) + kind.value, INT32_MAX));
      }
      if (tally) ++tally->treasure;
      break;
    case ItemKind::Weapon:
      heldWeapons.push_back({&taker, taken.item, taken.uses});
      if (tally) ++tally->weapons;
      break;
  }
  if (fills(taker, rules.items.pickUpAction)) {
    taker.setAction(rules.items.pickUpAction);
    taker.vx = taker.vz = 0;
  }
  // The item leaves the world at once: nobody else takes it in this frame.
  Obj* o = taken.obj;
  auto listed = std::find(objects.begin(), objects.end(), o);
  if (listed != objects.end()) {
    if (static_cast<size_t>(listed - objects.begin()) < depthSortedHead_) --depthSortedHead_;
    objects.erase(listed);
  }
  removeObject(o);
}

void World::updateItems() {
  // A holder knocked down (or fallen) lets its weapon fall where it is, with the uses left.
  for (size_t i = 0; i < heldWeapons.size();) {
    const HeldWeapon h = heldWeapons[i];
    if (!knockedOut(*h.holder)) {
      ++i;
      continue;
    }
    heldWeapons.erase(heldWeapons.begin() + static_cast<std::ptrdiff_t>(i));
    if (h.uses > 0) dropItem(h.item, h.uses, h.holder->x, h.holder->z, true);
  }
}

bool World::seekWeapon(Chara& e) {
  if (!e.data || rules.items.pickers.empty() || !rules.items.picksWeapons(e.data->name)) return false;
  if (weaponOf(&e) || !standing(e) || e.freeze > 0 || e.hp < 1 || e.y < 0) return false;
  // The nearest weapon in sight (ties: the first lying), not one a fighter stands on.
  const LyingItem* best = nullptr;
  double bestDistance = 0;
  for (const LyingItem& l : lyingItems) {
    if (rules.items.items[static_cast<size_t>(l.item)].kind != ItemKind::Weapon || l.uses < 1 || l.obj->y < 0) continue;
    const double dx = std::fabs(l.obj->x - e.x), dz = std::fabs(l.obj->z - e.z);
    if (dx > kSeekX || dz > kSeekZ) continue;
    if (!best || dx + dz < bestDistance) {
      best = &l;
      bestDistance = dx + dz;
    }
  }
  if (!best) return false;
  if (std::fabs(best->obj->x - e.x) <= kPickUpX && std::fabs(best->obj->z - e.z) <= kPickUpZ) {
    takeItem(e, static_cast<size_t>(best - lyingItems.data()));
    return true;
  }
  // Walk to it at the enemy's own pace.
  const double walk = e.data ? rules.paceOf(e.data->name).walkSpeed : 1.5;
  const double dx = best->obj->x - e.x, dz = best->obj->z - e.z;
  if (e.action != kWalkAction) e.setAction(kWalkAction);
  e.setFacing(dx >= 0 ? 0 : 1);
  const double vz = std::fabs(dz) <= kPickUpZ / 2 ? 0 : (dz > 0 ? kSeekWalkZ : -kSeekWalkZ);
  e.setVelocity(std::fabs(dx) <= kPickUpX / 2 ? 0 : walk, 0, vz, true, false, true);
  return true;
}

void World::armEnemyAttack(Chara& e, int32_t before) {
  if (before != e.data->standAction && before != kWalkAction) return;
  if (standing(e)) return;  // it did not attack
  auto held = heldWeaponOf(&e);
  if (held == heldWeapons.end()) return;
  const ItemRules::Weapon* w = rules.items.weaponOf(held->item);
  if (!w || !fills(e, w->action)) return;
  e.setAction(w->action);
  if (--held->uses <= 0) heldWeapons.erase(held);
}

bool World::controlItems(Seat& s, const HeldKeys& keys) {
  Chara& f = *s.hud.player;
  if (s.hud.commands[9] != CMD_J || f.freeze > 0 || f.hp < 1 || f.finished || !standing(f)) return false;
  if (const int32_t under = itemUnderFeet(f); under >= 0) {
    s.hud.consumeJ();
    takeItem(f, static_cast<size_t>(under));
    return true;
  }
  auto held = heldWeaponOf(&f);
  if (held == heldWeapons.end()) return false;
  const ItemRules::Weapon* w = rules.items.weaponOf(held->item);
  if (!w) return false;
  const bool backHeld = f.facing == 0 ? keys.a : keys.d;
  const bool fwdHeld = f.facing == 0 ? keys.d : keys.a;
  if ((backHeld || fwdHeld) && w->throwAction >= 0 && fills(f, w->throwAction)) {
    if (backHeld) f.turnAround();
    f.setAction(w->throwAction);
    f.vx = f.vz = 0;
    heldWeapons.erase(held);  // thrown: gone from the hand
    s.hud.consumeJ();
    return true;
  }
  if (!fills(f, w->action)) return false;  // this fighter cannot swing it: its own punches
  f.setAction(w->action);
  f.vx = f.vz = 0;
  if (--held->uses <= 0) heldWeapons.erase(held);
  s.hud.consumeJ();
  return true;
}
