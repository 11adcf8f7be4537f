// Fair fights: runs of hits that knock down, a safe moment after getting up,
// a least hit-stop for every blow, and enemies that keep room between them.
// Every rule here is off unless the game folder's rules switch it on.
#include <algorithm>
#include <climits>
#include <cmath>

#include "world/World.h"

namespace {

// Enemies nearer than this in depth count as standing on one line when they keep room.
constexpr double kRoomDepth = 16;
// Frames a knocked-down character cannot be hit before its knock-down action takes its body away.
constexpr int32_t kKnockDownCover = 2;

bool onItsFeet(const Chara& c) { return c.hp > 0 && c.y >= 0 && c.action != c.knockDownAction() && !c.knockedDown; }

}  // namespace

void World::noteBlowLanded(Obj& attacker, Obj& target) {
  const FairRules& fair = rules.fair;
  Chara* c = target.asChara();
  if (fair.leastHitStop > 0) {
    attacker.freeze = std::max(attacker.freeze, fair.leastHitStop);
    if (c) c->freeze = std::max(c->freeze, fair.leastHitStop);
  }
  if (!c) return;
  const int32_t down = c->knockDownAction();
  if (fair.knockdownHits > 0 && c->hp > 0 && c->action != down) {
    // This hit and those of the frames before it, newest first.
    auto& ages = c->hitAges;
    for (size_t k = ages.size() - 1; k > 0; --k) ages[k] = ages[k - 1];
    ages[0] = 0;
    int32_t within = 0;
    for (int32_t age : ages)
      if (age >= 0 && age < fair.knockdownFrames) ++within;
    if (within >= fair.knockdownHits) c->knockDown();
  }
  if (down >= 0 && c->action == down) {
    ++feel.heavyBlows;
    c->hitAges = Chara::emptyHitMemory();
    // Its body leaves with the knock-down's first step: until then (the rest of
    // this frame's pass and the next one's) no other blow catches it.
    if (fair.knockdownHits > 0) c->protection = std::max(c->protection, kKnockDownCover);
    if (fair.wakeUpProtection > 0 || fair.enemyWakeUpProtection > 0) c->knockedDown = true;
  }
}

void World::keepFightsFair() {
  const FairRules& fair = rules.fair;
  // A folder without these rules pays nothing for them in its frames.
  if (!fair.changesPlay()) return;
  for (size_t i = 0; i < charas.size(); ++i) {
    Chara& c = *charas[i];
    for (int32_t& age : c.hitAges)
      if (age >= 0) age = age < INT32_MAX ? age + 1 : age;
    // The fighters' protection runs down with their seats; the enemies' here.
    if (i >= fighters_ && c.protection > 0) --c.protection;
    const int32_t protection = i < fighters_ ? fair.wakeUpProtection : fair.enemyWakeUpProtection;
    if (protection <= 0) continue;
    if (c.action == c.knockDownAction()) c.knockedDown = true;
    if (c.knockedDown && c.hp > 0 && c.action == (c.data ? c.data->standAction : 0)) {
      c.knockedDown = false;
      c.protection = std::max(c.protection, protection);
    }
  }

  if (fair.enemyRoom <= 0) return;
  // Each pair too close along the ground steps apart a pixel a frame, the one
  // on the left to the left; two on one spot part by their order in the list.
  const double room = fair.enemyRoom;
  for (size_t i = fighters_; i < charas.size(); ++i) {
    for (size_t j = i + 1; j < charas.size(); ++j) {
      Chara& a = *charas[i];
      Chara& b = *charas[j];
      if (!onItsFeet(a) || !onItsFeet(b) || a.freeze > 0 || b.freeze > 0) continue;
      if (std::fabs(a.z - b.z) >= kRoomDepth || std::fabs(a.x - b.x) >= room) continue;
      const int32_t away = b.x >= a.x ? 1 : -1;  // b's way from a
      for (auto [who, dx] : {std::pair<Chara*, int32_t>{&a, -away}, {&b, away}}) {
        int32_t mx = dx, mz = 0;
        if (blockMove(who->worldBody(), dx, 0, mx, mz)) {
          who->x += mx;
        } else {
          who->x += dx;
        }
        who->placeOnScreen();
      }
    }
  }
}
