// The base of everything that moves in the world: fighters, hit sparks,
// effects, props and door markers. An object runs one action of its character
// file at a time, moves under its velocity and acceleration, and shows one
// picture of its picture set at a time (the renderer draws it from the fields
// below; the object itself never draws).
#pragma once

#include <cstdint>
#include <string>

#include "format/CharaData.h"
#include "object/Box.h"
#include "object/HitInfo.h"
#include "object/ObjectHost.h"

class Chara;

class Obj {
 public:
  // x grows right; y is height (0 ground, negative above); z is depth (larger
  // is nearer). Coordinates arrive as floats and are widened to double.
  // `host` may be null (an object outside any world: it cannot spawn, is not
  // stopped by walls and logs nothing).
  Obj(ObjectHost* host, const std::string& id, int32_t action, int32_t pc, int32_t team, float x, float y, float z);
  Obj(ObjectHost* host, const std::string& id, int32_t action, int32_t pc, int32_t facing, int32_t team, float x,
      float y, float z);
  virtual ~Obj() = default;
  Obj(const Obj&) = delete;
  Obj& operator=(const Obj&) = delete;

  // Runs at the end of every setAction, valid number or not. Must not delete
  // anything; may spawn.
  virtual void onActionSet() {}
  // Runs when the script passes the last instruction of its action; must
  // switch the action (a plain object goes to action 1 and finishes).
  virtual void onActionEnd();
  // An attack of another team landed on this object; a plain object cannot be hurt.
  virtual void takeHit(HitInfo info, int32_t damage, int32_t attackerFacing) {
    (void)info;
    (void)damage;
    (void)attackerFacing;
  }
  // The fighter this object is, or nullptr for a plain object.
  virtual Chara* asChara() { return nullptr; }
  virtual const Chara* asChara() const { return nullptr; }

  void setAction(int32_t n);
  void setFacing(int32_t f) { facing = f; }
  void turnAround() { setFacing(facing == 1 ? 0 : 1); }
  void setVelocity(double vx, double vy, double vz, bool setX, bool setY, bool setZ);
  // One tick of motion: hit-stop, gravity and velocity, walls, landing.
  void move();
  // One tick of the action script.
  void step();
  // The screen-relative position (sx, sy, sz) from the world position and the
  // camera; move() refreshes it every tick.
  void placeOnScreen();
  void attackLanded();
  void disarmAttack() { hit.active = false; }
  // A frame instruction: picture `picture` of the set, offsets dx (forward), dy (down).
  void setFrame(int32_t picture, int32_t dx, int32_t dy);
  // The colour instruction: tints all corners and switches to additive drawing.
  void setTint(int32_t alpha, int32_t red, int32_t green, int32_t blue);
  // The body and attack boxes in world coordinates (mirrored when facing left).
  Box worldBody() const { return inWorld(body); }
  Box worldAttack() const { return inWorld(attack); }
  Box worldGrab() const { return inWorld(grab); }
  bool hasAttackBox() const { return attack.width != 0; }
  Box inWorld(const Box& relative) const {
    Box b = relative;
    b.x = facing == 0 ? x + relative.x : x - relative.x;
    b.y = y + relative.y;
    b.z = z + relative.z;
    return b;
  }
  const std::string& id() const { return data->id; }

  double x = 0, y = 0, z = 0;
  double vx = 0, vy = 0, vz = 0;
  double ax = 0, ay = 0, az = 0;
  int32_t frameDx = 0, frameDy = 0;
  Box body;
  Box attack;
  // Where walking into a standing enemy takes hold of it (the extended `grab`
  // instruction). It stays from action to action until a grab instruction
  // changes it; width 0: this object grabs nothing.
  Box grab;
  int32_t damage = 0;
  // How the object looks: picture `picture` of its character's picture set,
  // mirrored when facing left, coloured `tint` (0xAARRGGBB), drawn additively
  // once a colour instruction has run.
  int32_t picture = 0;
  uint32_t tint = 0xFFFFFFFF;
  bool additive = false;
  int32_t facing = 0;  // 0 right, 1 left (pictures mirrored)
  bool landArmed = false;
  int32_t landAction = 0, landPc = 0;
  bool hitArmed = false;
  int32_t hitAction = 0, hitPc = 0;
  HitInfo hit;
  bool hitLanded = false;
  int32_t action = 0;
  int32_t pc = 0;
  int32_t ticks = 0;
  int32_t wait = 0;
  bool holdPc = true;
  bool finished = false;
  int32_t team = 0;
  int32_t freeze = 0;
  ObjectHost* host = nullptr;
  double sx = 0, sy = 0, sz = 0;  // position relative to the camera
  int32_t hp = 0;
  // The seat (1-4) whose fighter this is or made it; 0 for everything else.
  int32_t seat = 0;
  // Where the world that owns this object keeps it: its own bookkeeping,
  // never part of the object's state.
  static constexpr uint32_t kNoOwnerSlot = UINT32_MAX;
  uint32_t ownerSlot = kNoOwnerSlot;
  const CharaData* data = nullptr;  // never null: a missing file gets an empty record
};
