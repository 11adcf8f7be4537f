// The golden runs' checksum of the world: a 64-bit FNV-1a over everything a
// frame of play can change (every object in list order, the characters'
// behaviour counters, the Hud's numbers and command buffer, the camera, the
// scene, the doors and the end flag). Doubles count by their bit patterns.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>


#include "world/World.h"

class GoldenHash {
 public:
  void bytes(const void* p, size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i) {
      h_ ^= b[i];
      h_ *= 0x100000001B3ull;
    }
  }
  void i32(int32_t v) { bytes(&v, sizeof v); }
  void f64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    bytes(&bits, sizeof bits);
  }
  void text(const std::string& s) {
    i32(static_cast<int32_t>(s.size()));
    bytes(s.data(), s.size());
  }
  std::string hex() const {
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(h_));
    return out;
  }

 private:
  uint64_t h_ = 0xCBF29CE484222325ull;
};

inline std::string goldenChecksum(const World& world) {
  GoldenHash h;
  h.i32(static_cast<int32_t>(world.objects.size()));
  for (const Obj* o : world.objects) {
    h.text(o->id());
    for (double v : {o->x, o->y, o->z, o->vx, o->vy, o->vz, o->ax, o->ay, o->az}) h.f64(v);
    for (int32_t v : {o->action, o->pc, o->ticks, o->wait, o->hp, o->facing, o->freeze, o->team,
                      static_cast<int32_t>(o->finished), static_cast<int32_t>(o->hit.active)})
      h.i32(v);
  }
  h.i32(static_cast<int32_t>(world.charas.size()));
  for (const Chara* c : world.charas) {
    h.f64(c->x);
    for (int32_t v : {c->hp, c->aiMode, c->aiModeTimer, c->aiAttackTimer}) h.i32(v);
  }
  if (const Hud* hud = &world.hud) {
    for (int32_t v : {hud->score, hud->kills, hud->power, hud->commandTimer}) h.i32(v);
    for (int32_t c : hud->commands) h.i32(c);
    int32_t target = -1;
    for (size_t i = 0; i < world.charas.size(); ++i)
      if (world.charas[i] == hud->target) target = static_cast<int32_t>(i);
    h.i32(target);
  }
  h.f64(world.cameraX);
  h.text(world.name);
  h.i32(world.doorsOpen);
  h.i32(world.gameOver);
  return h.hex();
}
