#include "app/Autoplay.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "format/CharaData.h"
#include "format/OpcodeTable.h"
#include "object/Chara.h"
#include "world/GrabActions.h"
#include "world/Hud.h"
#include "world/ItemRules.h"
#include "world/World.h"

namespace {

// How close the bot stands to strike, and how well it lines up in depth.
constexpr double kStrikeDx = 70;
constexpr double kApproachDx = 55;
constexpr double kEdgeRoom = 20;   // nearer the edge of the ground than this the hero cannot stand
constexpr double kWaitDx = 270;     // how far from a rising enemy the full player waits
constexpr double kLineUpDz = 6;
constexpr double kStrikeDz = 9;
constexpr int kTapGap = 6;          // frames between two taps of the attack key
constexpr int kStuckLimit = 25;     // frames without moving before a sidestep
constexpr int kEndingWait = 300;    // frames the ending screen is shown before Escape
// Walking to a door: where it stops, the hero's walk per frame, how far it
// looks ahead, and how far it keeps from the reach of a door it did not choose.
constexpr double kDoorStopDx = 8;
constexpr double kWalkX = 2, kWalkZ = 1;
constexpr int kWalkFrames = 400;
constexpr double kDoorMargin = 6;
// Holding an enemy: the knees before the throw, and the frames between two presses.
constexpr int kKneesGiven = 2;
constexpr int kHoldTapGap = 14;
constexpr int kStruggleGap = 4;  // held by an enemy: a key this often
// An enemy this close that has started one of its attacks is stepped away from in depth.
constexpr double kThreatDx = 480;
constexpr double kThreatDz = 45;
// Items: food it takes once it misses half of what the food gives back, or below
// this percent of its hit points, when it lies this far away; weapons and
// treasure it takes when they lie this near; props it breaks this near while no
// enemy stands within kQuietDx.
constexpr int kHungryPercent = 50;
constexpr double kFoodReach = 900;
constexpr double kWeaponReach = 160;
constexpr double kTreasureReach = 500;
constexpr double kPropReach = 450;
constexpr double kQuietDx = 300;
constexpr int kChaseFrames = 600;

bool alive(const Chara* c) { return c && !c->finished && c->hp > 0; }

// The position of argument `name` of instruction `info`.
size_t argumentIndex(const OpcodeInfo& info, const std::string& name) {
  size_t i = 0;
  while (i < info.args.size() && info.args[i].name != name) ++i;
  return i;
}

// Whether the character's lying-and-getting-up action (action 5 with hit
// points left) holds an attack that does damage.
bool strikesGettingUp(const Chara& c) {
  static const OpcodeInfo& attack = *opcodeByName("attack");
  static const size_t damage = argumentIndex(attack, "damage");
  if (!c.data || c.data->actions.size() <= static_cast<size_t>(kDeathAction)) return false;
  for (const Instruction& code : c.data->actions[kDeathAction].codes)
    if (code.opcode == attack.opcode && code.args.size() > damage && code.args[damage] > 0) return true;
  return false;
}

}  // namespace

// The seat's own code of one of the game's keys; Esc (the ending's) is everybody's.
int seatCode(int key, int seat) { return key == HGEK_ESCAPE ? key : hgeSeatKey(key, seat); }

void Autoplay::hold(int key, bool down) {
  if (held_[key] == down) return;
  held_[key] = down;
  engine_->Input_InjectKey(seatCode(key, seat_), down);
}

const Chara* Autoplay::me(const World& scene) const {
  const Seat& s = scene.seat(seat_);
  return s.state == Seat::PLAYING ? s.hud.player : nullptr;
}

void Autoplay::tap(int key) {
  if (held_[key]) hold(key, false);
  engine_->Input_InjectKey(seatCode(key, seat_), true);
  held_[key] = true;
  releaseKey_ = key;
}

void Autoplay::think(const World* scene, int state) {
  if (releaseKey_) {
    hold(releaseKey_, false);
    releaseKey_ = 0;
  }
  if (state == 2) {
    for (int k : {HGEK_W, HGEK_S, HGEK_A, HGEK_D}) hold(k, false);
    if (++endingFrames_ == kEndingWait) tap(HGEK_ESCAPE);
    return;
  }
  if (state != 1 || !scene || scene->charas.empty()) return;
  ++frame_;
  // A free seat joins and a fallen fighter continues: punch.
  const Seat& mine = scene->seat(seat_);
  const bool mayJoin = mine.state == Seat::FREE;
  const bool mayContinue = mine.state == Seat::PLAYING && mine.continueFrames > 0;
  if (mayJoin || mayContinue) {
    for (int k : {HGEK_W, HGEK_S, HGEK_A, HGEK_D}) hold(k, false);
    if (frame_ - lastTapFrame_ >= 50) {
      tap(HGEK_J);
      lastTapFrame_ = frame_;
    }
    return;
  }
  if (!me(*scene)) return;
  Wish w = decide(*scene);
  hold(HGEK_W, w.up);
  hold(HGEK_S, w.down);
  hold(HGEK_A, w.left);
  hold(HGEK_D, w.right);
  if (w.tap) {
    tap(w.tap);
    lastTapFrame_ = frame_;
  }
}

const Chara* Autoplay::pickTarget(const World& scene) const {
  const Chara& p = *me(scene);
  const Chara* best = nullptr;
  double bestCost = 0;
  for (size_t i = scene.fighterCount(); i < scene.charas.size(); ++i) {
    const Chara* e = scene.charas[i];
    if (!alive(e)) continue;
    // In a scene of stretches, the enemies of the stretch the camera goes to come first, as a player sees them.
    if (scene.stage.stretch >= 0 && e->stretch >= 0 && e->stretch != scene.stage.stretch) continue;
    double cost = std::fabs(e->x - p.x) + 3 * std::fabs(e->z - p.z);
    // Seats share the enemies out: one that another fighter stands nearer to
    // costs more; between two that stand as near, the lower seat keeps it (so
    // two bots on one spot part ways instead of choosing alike for ever).
    bool afterMe = false;
    for (size_t f = 0; f < scene.fighterCount(); ++f) {
      const Chara* other = scene.charas[f];
      if (other == &p) {
        afterMe = true;
        continue;
      }
      if (!alive(other)) continue;
      const double theirs = std::fabs(e->x - other->x) + 3 * std::fabs(e->z - other->z);
      if (theirs < cost || (theirs == cost && !afterMe)) cost += 150;
    }
    if (!best || cost < bestCost) {
      best = e;
      bestCost = cost;
    }
  }
  return best;
}

namespace {

// The living enemy nearest along the ground for which `wanted(enemy, dx, dz)`
// holds (dx and dz its distances from the player), or null.
template <typename Wanted>
const Chara* nearestEnemy(const World& scene, const Chara& p, Wanted wanted) {
  const Chara* nearest = nullptr;
  double nearestDx = 0;
  for (size_t i = scene.fighterCount(); i < scene.charas.size(); ++i) {
    const Chara* e = scene.charas[i];
    if (!alive(e) || !e->data) continue;
    const double dx = std::fabs(e->x - p.x), dz = std::fabs(e->z - p.z);
    if (wanted(*e, dx, dz) && (!nearest || dx < nearestDx)) {
      nearest = e;
      nearestDx = dx;
    }
  }
  return nearest;
}

}  // namespace

// The nearest enemy that is in one of its attacks (an action its attack rules
// start), close enough to reach the bot but not close enough to be hit first, or null.
const Chara* Autoplay::attackComing(const World& scene) const {
  return nearestEnemy(scene, *me(scene), [](const Chara& e, double dx, double dz) {
    if (dx > kThreatDx || dz > kThreatDz) return false;
    // One already within the bot's reach and line is better hit first: a blow stops its attack.
    if (dx <= kStrikeDx && dz <= kStrikeDz) return false;
    for (const AiRule& rule : e.data->aiRules)
      if (rule.action == e.action) return true;
    return false;
  });
}

// The nearest knocked-down enemy within waiting distance whose getting up strikes, or null.
const Chara* Autoplay::risingStriker(const World& scene) const {
  return nearestEnemy(scene, *me(scene), [](const Chara& e, double dx, double) {
    return e.action == kDeathAction && dx < kWaitDx && strikesGettingUp(e);
  });
}

Autoplay::Wish Autoplay::goTo(const Chara& p, double x, double z, double stopDx) const {
  Wish w;
  double dx = x - p.x, dz = z - p.z;
  if (std::fabs(dx) > stopDx) {
    w.right = dx > 0;
    w.left = dx < 0;
  }
  if (std::fabs(dz) > kLineUpDz) {
    w.down = dz > 0;
    w.up = dz < 0;
  }
  return w;
}

namespace {

// Within a door's reach, widened by `margin`.
bool nearDoor(double x, double z, const World::Door& o, double margin) {
  return std::fabs(x - o.x) < World::kDoorReachX + margin && std::fabs(z - o.z) < World::kDoorReachZ + margin;
}

// Walks as goTo does (the hero walks kWalkX along the ground and kWalkZ in
// depth a frame) from (x, z) towards (tx, tz); true when the walk comes
// within `margin` of the reach of door `o` before it arrives.
bool walkMeets(double x, double z, double tx, double tz, const World::Door& o, double margin) {
  for (int frame = 0; frame < kWalkFrames; ++frame) {
    const bool moveX = std::fabs(tx - x) > kDoorStopDx, moveZ = std::fabs(tz - z) > kLineUpDz;
    if (!moveX && !moveZ) return false;
    if (moveX) x += tx > x ? kWalkX : -kWalkX;
    if (moveZ) z += tz > z ? kWalkZ : -kWalkZ;
    if (nearDoor(x, z, o, margin)) return true;
  }
  return false;
}

}  // namespace

Autoplay::Wish Autoplay::toDoor(const World& scene, const Chara& p, const World::Door& door) const {
  const Wish straight = goTo(p, door.x, door.z, kDoorStopDx);
  if (scene.rules.stage.doorsAnyDepth) {
    // A door takes whoever reaches it along the ground, to the nearest in
    // depth: line up with the chosen one short of the doors' reach first.
    for (const World::Door& o : scene.doors)
      if (&o != &door && std::fabs(p.z - o.z) <= std::fabs(p.z - door.z)) {
        const double wait = World::kDoorReachX + kDoorMargin + 6;
        return goTo(p, door.x < p.x ? door.x + wait : door.x - wait, door.z, kDoorStopDx);
      }
    return straight;
  }
  // The first other door the straight walk would step into.
  const World::Door* inTheWay = nullptr;
  for (const World::Door& o : scene.doors)
    if (&o != &door && walkMeets(p.x, p.z, door.x, door.z, o, kDoorMargin)) {
      inTheWay = &o;
      break;
    }
  if (!inTheWay) return straight;
  const World::Door& o = *inTheWay;
  // Go round it along a lane clear of its reach, on the side of the chosen
  // door (or, on its line, the side with more ground), until past it.
  const double clear = World::kDoorReachZ + kDoorMargin + 6;
  int side = door.z > o.z ? 1 : door.z < o.z ? -1 : (o.z + clear < scene.depth - 4 ? 1 : -1);
  if (o.z + side * clear > scene.depth - 4) side = -side;
  const double laneZ = o.z + side * clear;
  Wish w;
  if (std::fabs(p.z - laneZ) > kWalkZ) {
    // Into the lane in depth; first back away along the ground if that would
    // cross the door's reach.
    if (walkMeets(p.x, p.z, p.x, laneZ, o, 1)) {
      w.right = p.x >= o.x;
      w.left = p.x < o.x;
    } else {
      w.down = laneZ > p.z;
      w.up = laneZ < p.z;
    }
    return w;
  }
  w.right = door.x > p.x;
  w.left = door.x < p.x;
  return w;
}

Autoplay::Wish Autoplay::decide(const World& scene) {
  const Chara& p = *me(scene);
  Wish w;

  // A motion command under way: tap its keys one every other frame.
  if (comboPos_ < comboLen_) {
    if ((frame_ - lastTapFrame_) >= 2) w.tap = combo_[comboPos_++];
    return w;
  }

  // Stuck against a wall or a prop while walking: step aside in depth a while.
  bool walking = p.action == 1 || p.action == 6;
  if (walking && std::fabs(p.x - lastX_) < 0.01 && std::fabs(p.z - lastZ_) < 0.01) {
    if (++stuckFrames_ > kStuckLimit) {
      detour_ = 40;
      detourDir_ = (p.z > scene.depth / 2.0) ? -1 : 1;
      stuckFrames_ = 0;
    }
  } else {
    stuckFrames_ = 0;
  }
  lastX_ = p.x;
  lastZ_ = p.z;

  if (!scene.doorsOpen) chosenDoor_ = -1;
  const Chara* target = pickTarget(scene);
  if (style_ == AutoplayStyle::Full && scene.rules.items.any() && goForItems(scene, p, target, w)) {
    // an item or a prop first
  } else if (!target) {
    if (scene.doorsOpen) {
      // The doors not known to fail are counted, then the chosen one found
      // (this runs every frame between fights: no list is made).
      int usable = 0;
      for (const World::Door& d : scene.doors) usable += !scene.failedDoorTargets.count(d.targetScene);
      if (usable > 0) {
        if (chosenDoor_ < 0) chosenDoor_ = frame_ % usable;
        int left = chosenDoor_ % usable;
        for (const World::Door& d : scene.doors)
          if (!scene.failedDoorTargets.count(d.targetScene) && left-- == 0) {
            w = toDoor(scene, p, d);
            break;
          }
      }
    }
  } else {
    w = attack(scene, *target);
  }

  if (detour_ > 0) {
    --detour_;
    w.up = detourDir_ < 0;
    w.down = detourDir_ > 0;
  }
  return w;
}

bool Autoplay::mayGrab(const World& scene, const Chara& p, const Chara& target) const {
  if (!scene.rules.extendedInstructions || p.grab.width == 0 || !target.data) return false;
  if (!scene.rules.grabbable(target.data->name) || target.freeze > 0 || target.y < 0) return false;
  if (target.action != target.data->standAction && target.action != kWalkAction) return false;
  if (scene.gripOf(&target)) return false;
  // The grab box, once walking, reaches the enemy's body (taken as 36 wide).
  const double dx = (target.x - p.x) * (p.facing == 0 ? 1 : -1);
  const double nearEdge = p.grab.x - p.grab.width / 2, farEdge = p.grab.x + p.grab.width / 2;
  return dx > nearEdge - 18 && dx < farEdge + 18 && std::fabs(target.z - p.z) <= kStrikeDz;
}

Autoplay::Wish Autoplay::whileHolding(const World& scene, const Chara& p, const World::Grip& grip) {
  Wish w;
  if (p.action != HOLD || frame_ - lastTapFrame_ < kHoldTapGap) return w;
  w.tap = HGEK_J;
  if (grip.knees < kKneesGiven) return w;
  // Thrown toward the side with more enemies near, into them.
  int ahead = 0, behind = 0;
  for (size_t i = scene.fighterCount(); i < scene.charas.size(); ++i) {
    const Chara* e = scene.charas[i];
    if (!alive(e) || e == grip.held || std::fabs(e->x - p.x) > 320 || std::fabs(e->z - p.z) > 40) continue;
    ((e->x > p.x) == (p.facing == 0) ? ahead : behind) += 1;
  }
  const bool turn = behind > ahead;
  w.right = (p.facing == 0) != turn;
  w.left = !w.right;
  return w;
}

bool Autoplay::goForItems(const World& scene, const Chara& p, const Chara* target, Wish& w) {
  if (!scene.grips.empty() && scene.gripOf(&p)) return false;
  const bool idle = p.action == 0 || p.action == 1;
  if (givenUpScene_ != scene.name) {
    givenUpScene_ = scene.name;
    givenUp_.clear();
  }
  // What left the world is forgotten: a new object may come to stand at its address.
  auto gone = [&](const Obj* o) { return std::find(scene.objects.begin(), scene.objects.end(), o) == scene.objects.end(); };
  std::erase_if(givenUp_, gone);
  if (chased_ && gone(chased_)) chased_ = nullptr;
  auto givenUp = [&](const Obj* o) { return std::find(givenUp_.begin(), givenUp_.end(), o) != givenUp_.end(); };
  // Counts the frames spent on `o`; past the limit it is given up.
  auto chase = [&](const Obj* o) {
    if (o != chased_) chased_ = o, chaseFrames_ = 0;
    if (++chaseFrames_ < kChaseFrames) return true;
    givenUp_.push_back(o);
    chased_ = nullptr;
    return false;
  };
  // Where the hero may walk: the scene, narrowed to the view while the camera holds.
  double lo = kEdgeRoom, hi = scene.width - kEdgeRoom;
  if (scene.stage.held) {
    lo = std::max(lo, scene.cameraX + World::kViewEdge + 1);
    hi = std::min(hi, scene.cameraX + scene.screenWidth - World::kViewEdge - 1);
  }
  double enemyDx = 1e9;
  // Enemies waiting for the view to reach their stretch do not count.
  for (size_t i = scene.fighterCount(); i < scene.charas.size(); ++i)
    if (alive(scene.charas[i]) && scene.stretchAwake(*scene.charas[i]))
      enemyDx = std::min(enemyDx, std::fabs(scene.charas[i]->x - p.x) + 2 * std::fabs(scene.charas[i]->z - p.z));
  const bool armed = scene.weaponOf(&p) != nullptr;
  // The item it goes for: food when hungry (any distance in reach of the
  // view), a weapon close by when empty-handed; the nearest.
  const World::LyingItem* best = nullptr;
  double bestCost = 0;
  for (const World::LyingItem& l : scene.lyingItems) {
    const ItemKind kind = scene.rules.items.items[static_cast<size_t>(l.item)].kind;
    const double dx = std::fabs(l.obj->x - p.x), dz = std::fabs(l.obj->z - p.z);
    if (l.obj->x < lo || l.obj->x > hi || l.obj->y < 0 || givenUp(l.obj)) continue;
    // Food once the hero misses at least half of what it gives back, or runs low.
    const int32_t value = scene.rules.items.items[static_cast<size_t>(l.item)].value;
    const bool hungry = p.fullHp() - p.hp >= value / 2 || p.hp * 100 < p.fullHp() * kHungryPercent;
    const bool wanted = (kind == ItemKind::Food && hungry && dx < kFoodReach) ||
                        (kind == ItemKind::Weapon && !armed && l.uses > 0 && dx < kWeaponReach && dz < 60) ||
                        (kind == ItemKind::Treasure && dx < kTreasureReach && enemyDx > kQuietDx);
    if (!wanted) continue;
    // What it already goes for stays its choice, so that two at one distance do not take turns.
    const double cost = l.obj == chased_ ? -1 : dx + dz;
    if (!best || cost < bestCost) {
      best = &l;
      bestCost = cost;
    }
  }
  if (best && chase(best->obj)) {
    const double dx = best->obj->x - p.x, dz = best->obj->z - p.z;
    if (std::fabs(dx) <= World::kPickUpX - 6 && std::fabs(dz) <= World::kPickUpZ - 4) {
      if (idle && frame_ - lastTapFrame_ >= kTapGap) w.tap = HGEK_J;
      return true;
    }
    Wish to;
    if (std::fabs(dx) > World::kPickUpX - 8) {
      to.right = dx > 0;
      to.left = dx < 0;
    }
    if (std::fabs(dz) > World::kPickUpZ - 6) {
      to.down = dz > 0;
      to.up = dz < 0;
    }
    w = to;
    return true;
  }
  // A breakable prop near while no enemy is: strike it from the side it is seen from.
  if (enemyDx < kQuietDx || (target && std::fabs(target->x - p.x) < kQuietDx)) return false;
  const Obj* prop = nullptr;
  for (const Obj* o : scene.objects) {
    if (o->asChara() || o->body.width == 0 || !scene.rules.items.breakable(o->id(), o->action)) continue;
    if (o->x < lo || o->x > hi || std::fabs(o->x - p.x) > kPropReach || givenUp(o)) continue;
    if (!prop || o == chased_ || (prop != chased_ && std::fabs(o->x - p.x) < std::fabs(prop->x - p.x))) prop = o;
  }
  if (!prop || !chase(prop)) return false;
  const double dx = prop->x - p.x;
  const double standDx = prop->body.width / 2 + 30;
  double stand = dx >= 0 ? prop->x - standDx : prop->x + standDx;
  if (stand < lo || stand > hi) stand = dx >= 0 ? prop->x + standDx : prop->x - standDx;
  const bool facing = (prop->x >= p.x) == (p.facing == 0);
  if (std::fabs(stand - p.x) <= 8 && std::fabs(prop->z - p.z) <= kStrikeDz) {
    if (!facing) {
      w.right = dx > 0;
      w.left = dx < 0;
    } else if (idle && frame_ - lastTapFrame_ >= kTapGap) {
      // A prop stands low: the low kick (down and kick) reaches it where the punches pass over.
      w.down = true;
      w.tap = HGEK_K;
    }
    return true;
  }
  w = goTo(p, stand, prop->z, 6);
  return true;
}

Autoplay::Wish Autoplay::attack(const World& scene, const Chara& target) {
  const Chara& p = *me(scene);
  Wish w;
  if (style_ == AutoplayStyle::Full && !scene.grips.empty()) {
    if (const World::Grip* grip = scene.gripOf(&p); grip && grip->holder == &p) return whileHolding(scene, p, *grip);
    // Held: struggle, a key every few frames.
    if (const World::Grip* grip = scene.gripOf(&p); grip && grip->held == &p) {
      if (frame_ - lastTapFrame_ >= kStruggleGap) w.tap = HGEK_J;
      return w;
    }
  }
  const bool idle = p.action == 0 || p.action == 1;

  // An attack on its way: step out of its line in depth, away from the attacker.
  if (style_ == AutoplayStyle::Full && idle) {
    if (const Chara* e = attackComing(scene)) {
      const bool up = e->z != p.z ? e->z > p.z : p.z > scene.depth / 2.0;
      w.up = up;
      w.down = !up;
      return w;
    }
  }

  const double dx = target.x - p.x, dz = target.z - p.z;
  // Where the hero can stand along the ground: the scene's, narrowed to the view while the camera holds there.
  double groundLo = kEdgeRoom, groundHi = scene.width - kEdgeRoom;
  if (scene.stage.held) {
    groundLo = std::max(groundLo, scene.cameraX + World::kViewEdge + 1);
    groundHi = std::min(groundHi, scene.cameraX + scene.screenWidth - World::kViewEdge - 1);
  }
  // A knocked-down enemy whose getting up strikes round itself (the one fought
  // or any other close by): wait for it out of reach.
  if (style_ == AutoplayStyle::Full) {
    if (const Chara* rising = risingStriker(scene)) {
      const bool fromLeft = rising->x >= p.x;
      double stand = fromLeft ? rising->x - kWaitDx : rising->x + kWaitDx;
      if (stand < groundLo || stand > groundHi) stand = p.x;
      return goTo(p, stand, p.z, 6);
    }
  }
  const bool facingTarget = (dx >= 0) == (p.facing == 0);
  const bool lined = std::fabs(dz) <= kStrikeDz;
  const bool inReach = std::fabs(dx) <= kStrikeDx;
  if (!lined || !inReach || !facingTarget) {
    // Strike from the near side, unless that side is past the edge of the ground
    // (an enemy pressed against the edge is struck from the open side).
    // Seats 2 and 4 take the far side, so that a team surrounds its enemy.
    const bool farSide = seat_ % 2 == 0;
    double stand = (dx >= 0) != farSide ? target.x - kApproachDx : target.x + kApproachDx;
    if (stand < groundLo || stand > groundHi)
      stand = stand < target.x ? target.x + kApproachDx : target.x - kApproachDx;
    // Seats 3 and 4 keep a lane a little in front of and behind the first two,
    // still within striking depth, so that four bots do not stand as two.
    const double lane = seat_ == 3 ? -kStrikeDz * 0.6 : seat_ == 4 ? kStrikeDz * 0.6 : 0;
    w = goTo(p, stand, target.z + lane, 6);
    if (!w.left && !w.right && !facingTarget) {
      w.right = dx > 0;
      w.left = dx < 0;
    }
    return w;
  }
  if (style_ == AutoplayStyle::Masher) {
    if (frame_ - lastTapFrame_ >= kTapGap) w.tap = HGEK_J;
    return w;
  }
  // A standing enemy within the grab box's reach: walk on into it.
  if (idle && mayGrab(scene, p, target)) {
    w.right = dx > 0;
    w.left = dx < 0;
    return w;
  }
  const int fwd = p.facing == 0 ? HGEK_D : HGEK_A;
  const int back = p.facing == 0 ? HGEK_A : HGEK_D;
  int nearby = 0;
  for (size_t i = scene.fighterCount(); i < scene.charas.size(); ++i)
    if (alive(scene.charas[i]) && std::fabs(scene.charas[i]->x - p.x) < 160 &&
        std::fabs(scene.charas[i]->z - p.z) < 40)
      ++nearby;
  if (idle && scene.seat(seat_).hud.power >= 30 && nearby >= 2) {
    combo_ = {HGEK_S, back, fwd, HGEK_J};
    comboLen_ = 4;
    comboPos_ = 0;
  } else if (frame_ - lastTapFrame_ >= kTapGap) {
    w.tap = HGEK_J;
  }
  return w;
}
