// The seats in play: fighters joining, leaving, falling and continuing; the
// fighter each enemy goes for; the view that holds every fighter; and the
// players' part of a frame.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "world/PlayerControl.h"
#include "world/World.h"

namespace {

// Where a fighter without a body box yet (made this frame) is taken to stand.
constexpr double kFootprintWidth = 40, kFootprintHeight = 100, kFootprintDepth = 20;
// Steps between the places tried beside a point: along the ground, then in depth.
constexpr double kBesideX = 50, kBesideZ = 25;
constexpr int kBesideRings = 6;

}  // namespace

int World::seatsPlaying() const {
  int n = 0;
  for (const Seat& s : seats)
    if (s.state == Seat::PLAYING) ++n;
  return n;
}

const Chara* World::targetFor(double x, double z) const {
  const Chara* best = nullptr;
  double bestDistance = 0;
  for (size_t i = 0; i < fighters_; ++i) {
    const Chara* f = charas[i];
    if (fallen(*f) || seat(f->seat).state != Seat::PLAYING) continue;
    const double dx = f->x - x, dz = f->z - z;
    const double d = dx * dx + dz * dz;
    // Fighters are in seat order, so a tie keeps the lower seat.
    if (!best || d < bestDistance) {
      best = f;
      bestDistance = d;
    }
  }
  return best ? best : (fighters_ > 0 ? charas[0] : nullptr);
}

void World::setFighters(size_t n) {
  fighters_ = std::min({n, charas.size(), static_cast<size_t>(kMaxSeats)});
  seatsEverJoined_ = static_cast<int32_t>(fighters_);
  for (int number = 1; number <= kMaxSeats; ++number) {
    Seat& s = seat(number);
    const bool fighter = static_cast<size_t>(number) <= fighters_;
    s.state = fighter ? Seat::PLAYING : Seat::FREE;
    s.hud.player = fighter ? charas[static_cast<size_t>(number - 1)] : nullptr;
    if (fighter) charas[static_cast<size_t>(number - 1)]->seat = number;
  }
}

Chara* World::addFighter(int number, double x, double z) {
  const std::string& hero = rules.heroOf(number);
  if (!hasRoomForObjects() || !library().findOrLoad(hero)) {
    report("The fighter of seat %d cannot be made: %s cannot be read", number, hero.c_str());
    return nullptr;
  }
  auto made = std::make_unique<Chara>(this, hero, 0, 0, 0, static_cast<float>(x), 0.0f, static_cast<float>(z));
  Chara* c = made.get();
  owned_.adopt(std::move(made));
  objects.push_back(c);
  size_t at = 0;
  while (at < fighters_ && charas[at]->seat < number) ++at;
  charas.insert(charas.begin() + static_cast<std::ptrdiff_t>(at), c);
  ++fighters_;
  c->seat = number;
  Seat& s = seat(number);
  s.state = Seat::PLAYING;
  s.hud.player = c;
  s.continueFrames = 0;
  s.fallSeen = false;
  return c;
}

void World::removeFighter(int number) {
  Seat& s = seat(number);
  Chara* f = s.hud.player;
  s.hud.player = nullptr;
  if (!f) return;
  forgetGrabsOf(f);
  auto listed = std::find(charas.begin(), charas.end(), f);
  if (listed == charas.end()) return;
  charas.erase(listed);
  --fighters_;
  // A fighter whose death action ended has already left the object list.
  auto drawn = std::find(objects.begin(), objects.end(), static_cast<Obj*>(f));
  if (drawn != objects.end()) objects.erase(drawn);
  removeObject(f);
}

void World::strengthenForTeam(Chara& enemy) const {
  const int extra = seatsPlaying() - 1;
  const bool team = extra > 0 && rules.coopHpPercent > 0;
  if (!team && rules.level().enemyHpPercent == 100) return;
  int64_t hp = rules.enemyHp(enemy.hp);
  if (team) hp = hp * (100 + static_cast<int64_t>(rules.coopHpPercent) * extra) / 100;
  enemy.hp = static_cast<int32_t>(std::clamp<int64_t>(hp, 0, std::numeric_limits<int32_t>::max()));
  enemy.teamHp = enemy.hp;
}

void World::placeBeside(Chara& fighter, double x, double z, int turn) const {
  auto footprint = [&](double px, double pz) {
    if (fighter.body.width > 0) {
      const double ox = fighter.x, oz = fighter.z;
      fighter.x = px;
      fighter.z = pz;
      const Box b = fighter.worldBody();
      fighter.x = ox;
      fighter.z = oz;
      return b;
    }
    return Box{px, -kFootprintHeight / 2, pz, kFootprintWidth, kFootprintHeight, kFootprintDepth};
  };
  auto free = [&](double px, double pz) {
    const Box b = footprint(px, pz);
    for (const Box& w : walls)
      if (overlaps(b, w)) return false;
    for (size_t i = 0; i < fighters_; ++i) {
      const Chara* other = charas[i];
      if (other == &fighter) continue;
      if (std::fabs(other->x - px) < kBesideX / 2 && std::fabs(other->z - pz) < kBesideZ / 2) return false;
    }
    return true;
  };
  // The places tried, nearest first: (x, z), then rings stepping out to the
  // left and right along the ground and back and forth in depth.
  for (int ring = 0; ring <= kBesideRings; ++ring) {
    const double offsets[][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    const int count = ring == 0 ? 1 : 8;
    for (int k = 0; k < count; ++k) {
      const double px = ring == 0 ? x : x + offsets[k][0] * kBesideX * ring;
      const double pz = ring == 0 ? z : z + offsets[k][1] * kBesideZ * ring;
      if (ring == 0 && turn > 0) continue;  // the point itself is the first fighter's
      if (!free(px, pz)) continue;
      fighter.x = px;
      fighter.y = 0;
      fighter.z = pz;
      return;
    }
  }
  fighter.x = x;
  fighter.y = 0;
  fighter.z = z;
}

bool World::join(int number) {
  if (number < 1 || number > kMaxSeats || gameOver || fighters_ == 0 || !ready()) return false;
  Seat& s = seat(number);
  if (s.state != Seat::FREE) return false;
  // Beside the first fighter still standing, at the left edge of the view.
  const Chara* near = targetFor(cameraX, 0);
  const double x = cameraX + kViewEdge + kFootprintWidth;
  const double z = near ? near->z : depth / 2.0;
  Chara* c = addFighter(number, x, z);
  if (!c) return false;
  placeBeside(*c, x, z, 0);
  c->protection = kDropInProtection;
  c->placeOnScreen();
  ++seatsEverJoined_;
  return true;
}

bool World::leave(int number) {
  if (number < 1 || number > kMaxSeats) return false;
  Seat& s = seat(number);
  if (s.state != Seat::PLAYING || seatsPlaying() < 2) return false;
  removeFighter(number);
  s.state = Seat::FREE;
  s.continueFrames = 0;
  s.fallSeen = false;
  return true;
}

void World::updateSeats() {
  const bool teamContinues = continuesLeft > 0 && (rules.continuesRule() >= 0 || seatsEverJoined_ >= 2);
  for (Seat& s : seats) {
    Chara* f = s.hud.player;
    if (s.state != Seat::PLAYING || !f) continue;
    if (f->protection > 0) --f->protection;
    if (!fallen(*f)) continue;
    if (!s.fallSeen) {
      s.fallSeen = true;
      if (teamContinues)
        s.continueFrames = kContinueFrames;
      else
        s.state = Seat::OUT;
    } else if (s.continueFrames > 0 && --s.continueFrames == 0) {
      s.state = Seat::OUT;
    }
  }
}

void World::holdFightersInView() {
  if (fighters_ < 2) return;
  const double lo = cameraX + kViewEdge, hi = cameraX + screenWidth - kViewEdge;
  if (hi <= lo) return;
  for (size_t i = 0; i < fighters_; ++i) {
    Chara* f = charas[i];
    const double held = std::clamp(f->x, lo, hi);
    if (held == f->x) continue;
    f->x = held;
    f->placeOnScreen();
  }
}

void World::controlPlayers(const SeatInputs& inputs) {
  for (int n = 1; n <= kMaxSeats; ++n) {
    Seat& s = seat(n);
    const FrameInput& input = inputs[n];
    if (s.state == Seat::FREE && input.pressed[KEY_J] && join(n)) continue;
    if (s.state == Seat::PLAYING && s.continueFrames > 0 && input.pressed[KEY_J] && continuesLeft > 0) {
      // Back at the left edge of the view with full hit points, protected for a moment.
      const double z = s.hud.player ? s.hud.player->z : depth / 2.0;
      removeFighter(n);
      const double x = cameraX + kViewEdge + kFootprintWidth;
      if (Chara* c = addFighter(n, x, z)) {
        placeBeside(*c, x, z, 0);
        c->protection = kDropInProtection;
        c->placeOnScreen();
        --continuesLeft;
      } else {
        s.state = Seat::OUT;
      }
      continue;
    }
    // Seat 1's buffer ages in every frame, as it always has.
    if (n == 1 || s.state == Seat::PLAYING) s.hud.updateCommands(input);
    if (s.state != Seat::PLAYING || !s.hud.player) continue;
    const HeldKeys keys = heldKeys(input);
    if (rules.extendedInstructions && !grips.empty() && controlHolder(s, keys)) continue;
    if (rules.items.any() && controlItems(s, keys)) continue;
    ::controlPlayer(s.hud, *s.hud.player, keys, &rules.fair);
  }
}
