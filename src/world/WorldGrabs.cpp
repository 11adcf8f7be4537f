// Grabbing and throwing: a fighter walking into a standing enemy holds it,
// knees it, throws it into its friends or vaults over it; the held enemy
// struggles free after a while, and a holder who is hit lets go. An enemy
// with a grab box and a hold action takes hold of a fighter the same way (its
// script does the rest); the held fighter breaks free sooner by pressing keys,
// and a friend's blow on the holder frees it. Played only in a folder whose
// rules switch the extended instructions on.
#include <algorithm>
#include <climits>
#include <cmath>

#include "object/ObjReport.h"
#include "world/GrabActions.h"
#include "world/World.h"

namespace {

constexpr int32_t kHitHighReaction = 0;
// A thrown enemy fells those it meets with this push (back and up) and hit-stop.
constexpr double kFelledPush = -3.0;
constexpr int32_t kFelledFreeze = 8;
// The held enemy stands at least this far in front of its holder.
constexpr double kMinReach = 24;
// Each key a held fighter presses brings its breaking free this many frames nearer.
constexpr int32_t kBreakFreePerPress = 25;

int32_t reactionAction(const Chara& c, int32_t reaction) {
  const std::vector<int32_t>& r = c.data->reactions;
  return static_cast<size_t>(reaction) < r.size() ? r[static_cast<size_t>(reaction)] : c.data->standAction;
}

// The held one goes back to standing, unless a hit or a throw has it doing something else.
void standUp(Chara& c) {
  if (c.hp > 0 && !c.finished && c.action == reactionAction(c, kHitHighReaction)) c.setAction(c.data->standAction);
}

void backToStanding(Chara& c) {
  if (!c.finished && isGripAction(c.action)) {
    c.setAction(c.data->standAction);
    c.vx = 0;
  }
}

// `holder` takes hold of `held`: the holder starts holding, the held one stands
// in its hit-high reaction facing it.
World::Grip takeHold(Chara& holder, Chara& held) {
  World::Grip g;
  g.holder = &holder;
  g.held = &held;
  // Pulled in to the middle of the grab box: at arm's length, wherever the box first touched it.
  g.reach = std::max(kMinReach, std::fabs(holder.grab.x));
  holder.setAction(HOLD);
  holder.vx = holder.vz = 0;
  held.setAction(reactionAction(held, kHitHighReaction));
  held.vx = held.vy = held.vz = 0;
  held.setFacing(holder.facing == 0 ? 1 : 0);
  return g;
}

}  // namespace

const World::Grip* World::gripOf(const Chara* c) const {
  for (const Grip& g : grips)
    if (g.holder == c || g.held == c) return &g;
  return nullptr;
}

void World::forgetGrabsOf(const Chara* c) {
  for (size_t i = 0; i < grips.size();) {
    Grip& g = grips[i];
    if (g.holder != c && g.held != c) {
      ++i;
      continue;
    }
    if (g.holder != c) backToStanding(*g.holder);
    if (g.held != c) standUp(*g.held);
    grips.erase(grips.begin() + static_cast<std::ptrdiff_t>(i));
  }
  for (size_t i = 0; i < flights.size();) {
    Flight& f = flights[i];
    std::erase(f.struck, c);
    if (f.body == c)
      flights.erase(flights.begin() + static_cast<std::ptrdiff_t>(i));
    else
      ++i;
  }
}

void World::throwHeld(Obj& holderObj, double vx, double vy, int32_t damage) {
  Chara* holder = holderObj.asChara();
  auto it = std::find_if(grips.begin(), grips.end(), [&](const Grip& g) { return g.holder == holder; });
  if (!holder || it == grips.end()) return;  // holding nobody: the instruction does nothing
  Chara& held = *it->held;
  const double reach = std::max(kMinReach, std::fabs(held.x - holder->x));
  grips.erase(it);

  // In front of the holder (who may have turned to throw the other way),
  // facing it, flying away from it: backwards in its own facing.
  held.x = holder->facing == 0 ? holder->x + reach : holder->x - reach;
  held.z = holder->z;
  held.setFacing(holder->facing == 0 ? 1 : 0);
  const Box shape = held.body;
  held.setAction(reactionAction(held, kKnockDownReaction));
  held.vx = -vx;
  held.vy = vy;
  held.vz = 0;
  held.freeze = 0;
  // A fighter thrown by an enemy takes the damage as the level of difficulty makes enemies' blows.
  int32_t hurt = std::max(0, damage);
  if (held.seat > 0) hurt = rules.playerInvincible ? 0 : rules.enemyDamage(hurt);
  const int64_t left = static_cast<int64_t>(held.hp) - hurt;
  held.hp = static_cast<int32_t>(std::clamp<int64_t>(left, 0, INT32_MAX));
  if (holder->seat > 0) {
    held.lastHitSeat = holder->seat;
    seat(holder->seat).hud.setTarget(held.hp >= 1 ? &held : nullptr);
  }
  Flight f;
  f.body = &held;
  f.damage = std::max(0, damage);
  f.seat = holder->seat;
  f.shape = shape.width != 0 ? shape : Box{0, -50, 0, 40, 100, 20};
  flights.push_back(std::move(f));
}

void World::letGo(Obj& holderObj) {
  Chara* holder = holderObj.asChara();
  auto it = std::find_if(grips.begin(), grips.end(), [&](const Grip& g) { return g.holder == holder; });
  if (it == grips.end()) return;
  Chara* held = it->held;
  grips.erase(it);
  standUp(*held);
}

void World::updateGrabs() {
  // Flights: a thrown enemy fells each of its own side it meets, once, until it lands.
  for (size_t i = 0; i < flights.size();) {
    Flight& f = flights[i];
    Chara& body = *f.body;
    ++f.frames;
    if (body.finished || (f.frames > 2 && body.y >= 0 && body.vy >= 0)) {
      flights.erase(flights.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    const Box b = body.inWorld(f.shape);
    const int32_t flying = (body.facing == 0) == (body.vx >= 0) ? 0 : 1;  // the way it moves
    for (size_t j = 0; j < charas.size(); ++j) {
      Chara& e = *charas[j];
      if (&e == &body || e.team != body.team || e.finished || e.hp < 1 || e.body.width == 0) continue;
      if (std::find(f.struck.begin(), f.struck.end(), &e) != f.struck.end() || gripOf(&e)) continue;
      if (!overlaps(b, e.worldBody())) continue;
      f.struck.push_back(&e);
      HitInfo felled;
      felled.groundReaction = kKnockDownReaction;
      felled.airReaction = kKnockDownReaction;
      felled.pushVx = kFelledPush;
      felled.pushVy = kFelledPush;
      felled.targetFreeze = kFelledFreeze;
      e.takeHit(felled, f.damage, flying);
      if (f.seat > 0) {
        e.lastHitSeat = f.seat;
        seat(f.seat).hud.setTarget(e.hp >= 1 ? &e : nullptr);
      }
      hud.gainPower();
    }
    ++i;
  }

  // Grips: the held one stays in front of its holder until one of them is
  // hit, falls or leaves, or it struggles free.
  for (size_t i = 0; i < grips.size();) {
    Grip& g = grips[i];
    Chara& holder = *g.holder;
    Chara& held = *g.held;
    const bool holds = !holder.finished && holder.hp > 0 && isGripAction(holder.action);
    const bool kept = !held.finished && held.hp > 0;
    if (!holds || !kept || ++g.frames >= kStruggleFrames) {
      if (holds) backToStanding(holder);
      if (kept) standUp(held);
      grips.erase(grips.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    held.x = holder.facing == 0 ? holder.x + g.reach : holder.x - g.reach;
    held.y = 0;
    held.z = holder.z;
    held.vx = held.vy = held.vz = 0;
    held.setFacing(holder.facing == 0 ? 1 : 0);
    if (held.action == held.data->standAction || held.action == kWalkAction)
      held.setAction(reactionAction(held, kHitHighReaction));
    held.placeOnScreen();
    ++i;
  }

  // New grips, seat by seat: the lower seat takes an enemy two reach for.
  for (size_t s = 0; s < fighters_; ++s) {
    Chara& f = *charas[s];
    if (f.action != kWalkAction || f.grab.width == 0 || f.freeze > 0 || f.hp < 1 || f.finished ||
        gripOf(&f))
      continue;
    const Box reach = f.worldGrab();
    for (size_t j = fighters_; j < charas.size(); ++j) {
      Chara& e = *charas[j];
      const bool standing = (e.action == e.data->standAction || e.action == kWalkAction) && e.y >= 0 &&
                            e.freeze == 0 && e.hp > 0 && !e.finished && e.body.width != 0;
      if (!standing || e.team == f.team || !rules.grabbable(e.data->name) || gripOf(&e)) continue;
      if (std::find_if(flights.begin(), flights.end(), [&](const Flight& fl) { return fl.body == &e; }) !=
          flights.end())
        continue;
      if (!overlaps(reach, e.worldBody())) continue;
      grips.push_back(takeHold(f, e));
      if (f.seat > 0) seat(f.seat).hud.setTarget(&e);
      break;
    }
  }
  // Enemies that grab: walking into a fighter standing or walking, the lower seat first.
  for (size_t j = fighters_; j < charas.size(); ++j) {
    Chara& e = *charas[j];
    if (e.action != kWalkAction || e.grab.width == 0 || e.freeze > 0 || e.hp < 1 || e.finished ||
        !hasAction(e, HOLD) || gripOf(&e))
      continue;
    const Box reach = e.worldGrab();
    for (size_t s = 0; s < fighters_; ++s) {
      Chara& f = *charas[s];
      const bool standing = (f.action == f.data->standAction || f.action == kWalkAction) && f.y >= 0 &&
                            f.freeze == 0 && f.hp > 0 && !f.finished && f.protection == 0 && f.body.width != 0;
      if (!standing || f.team == e.team || gripOf(&f) || !overlaps(reach, f.worldBody())) continue;
      grips.push_back(takeHold(e, f));
      break;
    }
  }
}

bool World::controlHolder(Seat& s, const HeldKeys& keys) {
  Chara& f = *s.hud.player;
  auto& cmd = s.hud.commands;
  auto held = std::find_if(grips.begin(), grips.end(), [&](const Grip& g) { return g.held == &f; });
  if (held != grips.end()) {
    // Held: every key pressed struggles; nothing else answers.
    if (cmd[9] != CMD_EMPTY) {
      held->frames = std::min(kStruggleFrames, held->frames + kBreakFreePerPress);
      s.hud.clearCommands();
    }
    return true;
  }
  auto it = std::find_if(grips.begin(), grips.end(), [&](const Grip& g) { return g.holder == &f; });
  if (it == grips.end()) return false;
  if (f.action != HOLD || f.freeze > 0) return true;  // a knee or a throw plays out
  const bool fwdHeld = f.facing == 0 ? keys.d : keys.a;
  const bool backHeld = f.facing == 0 ? keys.a : keys.d;
  if (cmd[9] == CMD_J) {
    s.hud.consumeJ();
    if (backHeld) {
      f.turnAround();
      f.setAction(THROW);
    } else if (fwdHeld || it->knees >= kKneesBeforeThrow) {
      f.setAction(THROW);
    } else {
      ++it->knees;
      f.setAction(KNEE);
    }
  } else if (cmd[9] == CMD_K) {
    s.hud.clearCommands();
    f.setAction(VAULT);
  }
  return true;
}
