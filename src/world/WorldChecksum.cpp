#include "world/WorldChecksum.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "world/Hud.h"
#include "world/World.h"

namespace {

class Fnv1a {
 public:
  void byte(uint8_t b) {
    hash_ ^= b;
    hash_ *= 0x100000001b3ULL;
  }
  void u64(uint64_t v) {
    for (int i = 0; i < 8; ++i) byte(static_cast<uint8_t>(v >> (8 * i)));
  }
  void i32(int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) byte(static_cast<uint8_t>(u >> (8 * i)));
  }
  void real(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    u64(bits);
  }
  void flag(bool v) { byte(v ? 1 : 0); }
  // Length first, so "ab"+"c" and "a"+"bc" differ.
  void text(const std::string& s) {
    u64(s.size());
    for (char c : s) byte(static_cast<uint8_t>(c));
  }
  uint64_t value() const { return hash_; }

 private:
  uint64_t hash_ = 0xcbf29ce484222325ULL;
};

}  // namespace

uint64_t worldChecksum(const World* scene, uint64_t randomState) {
  Fnv1a h;
  h.u64(randomState);
  if (!scene) return h.value();

  h.text(scene->name);
  h.flag(scene->doorsOpen);
  h.real(scene->cameraX);
  h.real(scene->cameraY);

  if (const Hud* hud = &scene->hud) {
    h.i32(hud->score);
    h.i32(hud->kills);
    h.i32(hud->power);
    h.i32(hud->commandTimer);
    for (int32_t code : hud->commands) h.i32(code);
  }

  // The other seats, once any of them has played, and the team's continues
  // once they matter: a game for one sums exactly what it always has.
  const int32_t continuesAtStart =
      scene->rules.continuesRule() >= 0 ? scene->rules.continuesRule() : GameRules::kTeamContinues;
  bool team = scene->seatsEverJoined() > 1 || scene->continuesLeft != continuesAtStart;
  for (const Seat& s : scene->seats) team = team || s.continueFrames > 0;
  if (team) {
    h.i32(scene->continuesLeft);
    for (const Seat& s : scene->seats) {
      h.i32(s.state);
      h.i32(s.continueFrames);
      h.flag(s.fallSeen);
      h.i32(s.hud.score);
      h.i32(s.hud.kills);
      h.i32(s.hud.power);
      h.i32(s.hud.commandTimer);
      for (int32_t code : s.hud.commands) h.i32(code);
    }
  }

  // Where the stretches stand, in a folder that has any: others sum as they always have.
  if (scene->rules.stage.anyStretches()) {
    h.i32(scene->stage.stretch);
    h.flag(scene->stage.held);
    h.flag(scene->stage.reached);
    h.i32(scene->stage.goFrames);
    h.i32(scene->stage.beatFrames);
    for (const Chara* c : scene->charas) h.i32(c->stretch);
  }
  // The counters of fair fights, in a folder whose rules switch them on.
  if (scene->rules.fair.changesPlay()) {
    for (const Seat& s : scene->seats)
      for (int32_t gap : s.hud.commandGaps) h.i32(gap);
    for (const Chara* c : scene->charas) {
      for (int32_t age : c->hitAges) h.i32(age);
      h.flag(c->knockedDown);
      h.i32(c->protection);
    }
  }

  h.u64(scene->objects.size());
  for (const Obj* o : scene->objects) {
    h.text(o->data ? o->data->id : std::string());
    h.real(o->x);
    h.real(o->y);
    h.real(o->z);
    h.real(o->vx);
    h.real(o->vy);
    h.real(o->vz);
    h.i32(o->action);
    h.i32(o->pc);
    h.i32(o->hp);
    h.i32(o->facing);
  }
  // Grabs, once there are any: a game without them sums what it always has.
  if (!scene->grips.empty() || !scene->flights.empty()) {
    auto at = [&](const Chara* c) {
      const auto it = std::find(scene->charas.begin(), scene->charas.end(), c);
      return static_cast<int32_t>(it - scene->charas.begin());
    };
    for (const World::Grip& g : scene->grips) {
      h.i32(at(g.holder));
      h.i32(at(g.held));
      h.i32(g.frames);
      h.i32(g.knees);
    }
    h.u64(scene->flights.size());
    for (const World::Flight& f : scene->flights) {
      h.i32(at(f.body));
      h.i32(f.frames);
      h.u64(f.struck.size());
    }
  }
  // Items, in a folder whose rules have any: objects by their place in the list, holders among the characters.
  if (scene->rules.items.any()) {
    auto listed = [&](const Obj* o) {
      const auto it = std::find(scene->objects.begin(), scene->objects.end(), o);
      return static_cast<int32_t>(it - scene->objects.begin());
    };
    auto at = [&](const Chara* c) {
      const auto it = std::find(scene->charas.begin(), scene->charas.end(), c);
      return static_cast<int32_t>(it - scene->charas.begin());
    };
    h.u64(scene->propHolds.size());
    for (const World::PropHold& p : scene->propHolds) {
      h.i32(listed(p.prop));
      h.i32(p.item);
    }
    h.u64(scene->lyingItems.size());
    for (const World::LyingItem& l : scene->lyingItems) {
      h.i32(listed(l.obj));
      h.i32(l.item);
      h.i32(l.uses);
    }
    h.u64(scene->heldWeapons.size());
    for (const World::HeldWeapon& w : scene->heldWeapons) {
      h.i32(at(w.holder));
      h.i32(w.item);
      h.i32(w.uses);
    }
    for (const World::ItemTally& t : scene->tallies) {
      h.i32(t.food);
      h.i32(t.treasure);
      h.i32(t.weapons);
    }
  }
  return h.value();
}
