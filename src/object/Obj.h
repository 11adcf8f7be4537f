// The base of everything that moves and is drawn in the world: fighters, hit
// sparks, effects, props and door markers. An object runs one action of its
// character file at a time, moves under its velocity and acceleration, and
// shows one picture at a time through its sprite.
#pragma once

#include <cstdint>
#include <string>

#include "engine/hge.h"
#include "gfx/SpriteQuad.h"
#include "object/Box.h"
#include "format/CharaData.h"
#include "object/HitInfo.h"

class Scene;
class Library;

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

class Obj {
 public:
  // x grows right; y is height (0 ground, negative above); z is depth (larger
  // is nearer). Coordinates arrive as floats and are widened to double.
  Obj(Scene* owner, const std::string& id, int32_t action, int32_t pc, int32_t team, float x, float y,
      float z);
  Obj(Scene* owner, const std::string& id, int32_t action, int32_t pc, int32_t facing, int32_t team,
      float x, float y, float z);
  virtual ~Obj() = default;
  Obj(const Obj&) = delete;
  Obj& operator=(const Obj&) = delete;

  // Slot 0. Draws the shadow (renderShadow), then the sprite at the object's
  // screen place. Called once per rendered frame, in depth order.
  virtual void render();
  // Slot 1. Runs at the end of every setAction, valid number or not.
  virtual void onActionSet() {}
  // Slot 2. Runs when the script passes the last instruction of its action;
  // must switch the action (a plain object goes to action 1 and finishes).
  virtual void onActionEnd();
  // Slot 3. Draws under the body; a plain object has no shadow.
  virtual void renderShadow() {}
  // Slot 4. An attack of another team landed on this object; a plain object
  // cannot be hurt.
  virtual void takeHit(HitInfo info, int32_t damage, int32_t attackerFacing) {
    (void)info; (void)damage; (void)attackerFacing;
  }

  void setAction(int32_t n);
  void setFacing(int32_t f);
  void turnAround();
  void setVelocity(double vx, double vy, double vz, bool setX, bool setY, bool setZ);
  Vec3 getPosition() const { return {x, y, z}; }
  // One tick of motion: hit-stop, gravity and velocity, walls, landing.
  void move();
  // One tick of the action script.
  void step();
  // The screen-relative position (sx, sy, sz) from the world position and the
  // owner's camera; move() refreshes it every tick.
  void placeOnScreen();
  void attackLanded();
  void disarmAttack() { hit.active = false; }
  // A frame instruction: picture `picture` of the set, offsets dx (forward), dy (down).
  void setFrame(int32_t picture, int32_t dx, int32_t dy);
  // The colour instruction: tints all corners and switches to additive drawing.
  void setTint(int32_t alpha, int32_t red, int32_t green, int32_t blue);
  Box worldBody() const;
  Box worldAttack() const;
  bool hasAttackBox() const { return attack.width != 0; }
  bool frozen() const { return freeze > 0; }
  const std::string& id() const { return data->id; }

  double x = 0, y = 0, z = 0;
  double vx = 0, vy = 0, vz = 0;
  double ax = 0, ay = 0, az = 0;
  int32_t frameDx = 0, frameDy = 0;
  Box body;
  Box attack;
  int32_t damage = 0;
  SpriteQuad sprite;
  int32_t facing = 0;
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
  HTEXTURE baseTexture = 0;
  HGE* engine = nullptr;
  Library* library = nullptr;
  Scene* owner = nullptr;
  double sx = 0, sy = 0, sz = 0;
  int32_t hp = 0;
  CharaData* data = nullptr;  // never null: a missing file gets an empty record
  int32_t kind = 0;           // 0 plain object, 2 character
};
