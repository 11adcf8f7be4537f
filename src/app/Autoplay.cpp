#include "app/Autoplay.h"

#include <cmath>
#include <vector>

#include "world/Hud.h"
#include "world/World.h"

namespace {

// How close the bot stands to strike, and how well it lines up in depth.
constexpr double kStrikeDx = 70;
constexpr double kApproachDx = 55;
constexpr double kLineUpDz = 6;
constexpr double kStrikeDz = 9;
constexpr int kTapGap = 6;          // frames between two taps of the attack key
constexpr int kStuckLimit = 25;     // frames without moving before a sidestep
constexpr int kEndingWait = 300;    // frames the ending screen is shown before Escape
constexpr int kDoorLookahead = 48;  // how far ahead it looks for a door it does not want
constexpr double kDoorMargin = 6;   // kept clear of that door's reach

bool alive(const Chara* c) { return c && !c->finished && c->hp > 0; }

}  // namespace

void Autoplay::hold(int key, bool down) {
  if (held_[key] == down) return;
  held_[key] = down;
  engine_->Input_InjectKey(key, down);
}

void Autoplay::tap(int key) {
  if (held_[key]) hold(key, false);
  engine_->Input_InjectKey(key, true);
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
  const Chara& p = *scene.charas[0];
  const Chara* best = nullptr;
  double bestCost = 0;
  for (size_t i = 1; i < scene.charas.size(); ++i) {
    const Chara* e = scene.charas[i];
    if (!alive(e)) continue;
    double cost = std::fabs(e->x - p.x) + 3 * std::fabs(e->z - p.z);
    if (!best || cost < bestCost) {
      best = e;
      bestCost = cost;
    }
  }
  return best;
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

Autoplay::Wish Autoplay::toDoor(const World& scene, const Chara& p, const World::Door& door) const {
  Wish straight = goTo(p, door.x, door.z, 8);
  if (scene.doors.size() < 2) return straight;
  // Would walking this way for a while take the player within reach of
  // another door? Looks ahead in small steps, with a margin for the walk not
  // being a straight line; a player already inside that margin only keeps
  // out of the reach itself.
  auto near = [](double x, double z, const World::Door& o, double margin) {
    return std::fabs(x - o.x) < World::kDoorReachX + margin && std::fabs(z - o.z) < World::kDoorReachZ + margin;
  };
  auto intoOtherDoor = [&](int sx, int sz) {
    for (const World::Door& o : scene.doors) {
      if (&o == &door) continue;
      const double margin = near(p.x, p.z, o, kDoorMargin) ? 1 : kDoorMargin;
      for (int k = 1; k <= kDoorLookahead / 4; ++k)
        if (near(p.x + sx * 4.0 * k, p.z + sz * 4.0 * k, o, margin)) return true;
    }
    return false;
  };
  auto wish = [](int sx, int sz) {
    Wish w;
    w.right = sx > 0;
    w.left = sx < 0;
    w.down = sz > 0;
    w.up = sz < 0;
    return w;
  };
  const int sx = straight.right ? 1 : straight.left ? -1 : 0;
  const int sz = straight.down ? 1 : straight.up ? -1 : 0;
  // The straight way first, then one axis at a time, then around the other
  // door in depth, and last a step back along the ground.
  const int tries[][2] = {{sx, sz}, {0, sz}, {sx, 0}, {sx, 1}, {sx, -1}, {0, 1}, {0, -1}, {-sx, 0}};
  for (const auto& t : tries)
    if ((t[0] || t[1]) && !intoOtherDoor(t[0], t[1])) return wish(t[0], t[1]);
  return straight;
}

Autoplay::Wish Autoplay::decide(const World& scene) {
  const Chara& p = *scene.charas[0];
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
  if (!target) {
    if (scene.doorsOpen) {
      std::vector<const World::Door*> usable;
      for (const World::Door& d : scene.doors)
        if (!scene.failedDoorTargets.count(d.targetScene)) usable.push_back(&d);
      if (!usable.empty()) {
        if (chosenDoor_ < 0) chosenDoor_ = frame_ % static_cast<int>(usable.size());
        w = toDoor(scene, p, *usable[static_cast<size_t>(chosenDoor_) % usable.size()]);
      }
    }
  } else {
    double dx = target->x - p.x, dz = target->z - p.z;
    bool facingTarget = (dx >= 0) == (p.facing == 0);
    bool lined = std::fabs(dz) <= kStrikeDz;
    bool inReach = std::fabs(dx) <= kStrikeDx;
    if (lined && inReach && facingTarget) {
      const Hud* hud = &scene.hud;
      int fwd = p.facing == 0 ? HGEK_D : HGEK_A;
      int back = p.facing == 0 ? HGEK_A : HGEK_D;
      bool idle = p.action == 0 || p.action == 1;
      int nearby = 0;
      for (size_t i = 1; i < scene.charas.size(); ++i)
        if (alive(scene.charas[i]) && std::fabs(scene.charas[i]->x - p.x) < 160 &&
            std::fabs(scene.charas[i]->z - p.z) < 40)
          ++nearby;
      if (idle && hud && hud->power >= 30 && nearby >= 2) {
        combo_ = {HGEK_S, back, fwd, HGEK_J};
        comboLen_ = 4;
        comboPos_ = 0;
      } else if (idle && (frame_ / 97) % 5 == 4) {
        combo_ = {HGEK_S, fwd, HGEK_J, 0};
        comboLen_ = 3;
        comboPos_ = 0;
      } else if (frame_ - lastTapFrame_ >= kTapGap) {
        w.tap = ((frame_ / 53) % 4 == 3 && idle) ? HGEK_K : HGEK_J;
      }
    } else {
      double stand = dx >= 0 ? target->x - kApproachDx : target->x + kApproachDx;
      w = goTo(p, stand, target->z, 6);
      if (!w.left && !w.right && !facingTarget) {
        w.right = dx > 0;
        w.left = dx < 0;
      }
    }
  }

  if (detour_ > 0) {
    --detour_;
    w.up = detourDir_ < 0;
    w.down = detourDir_ > 0;
  }
  return w;
}
