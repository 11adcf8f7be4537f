// What an object may ask of the world it lives in, and nothing more: making
// another object, the wall test, the camera, sounds, the shared character
// records and the log. The world implements it; tests use small stand-ins.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

#include "object/Box.h"

class Library;
class Obj;

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

class ObjectHost {
 public:
  // A plain object of character file `id`, appended to the world's objects
  // (first moved and stepped in the next frame). nullptr when it cannot be
  // made: the file cannot be read or the world holds all the objects it can.
  virtual Obj* spawn(const std::string& id, int32_t action, int32_t pc, int32_t facing, int32_t team, double x,
                     double y, double z) = 0;
  // False once the world holds as many objects as it ever will.
  virtual bool hasRoomForObjects() const = 0;
  // The wall test for a body (world coordinates) about to move by the whole
  // numbers (dx, dz): true when a wall is in the way, with the displacement to
  // make instead in (mx, mz).
  virtual bool blockMove(const Box& body, int32_t dx, int32_t dz, int32_t& mx, int32_t& mz) const = 0;
  virtual Vec3 camera() const = 0;
  // Sound `index` of picture set `pictureSet`, at the game's effect volume.
  virtual void playSound(int32_t pictureSet, int32_t index) = 0;
  // Sound `index` of the shared effects file's picture set.
  virtual void playSystemSound(int32_t index) = 0;
  // The parsed character files, shared by every object of an id.
  virtual Library& library() = 0;
  // One line in the game's log.
  virtual void log(const std::string& line) = 0;

  // Whether this world plays the extended instructions (its rules switch them
  // on); without them every opcode past the classic ones does nothing.
  virtual bool extendedInstructions() const { return false; }
  // The extended instructions that reach past the object: throwing the fighter
  // `holder` holds (speed forward and up in the holder's facing, and the damage
  // the throw does), and letting it go.
  virtual void throwHeld(Obj& holder, double vx, double vy, int32_t damage) {
    (void)holder;
    (void)vx;
    (void)vy;
    (void)damage;
  }
  virtual void letGo(Obj& holder) { (void)holder; }

  // printf-style log line.
  void report(const char* format, ...) __attribute__((format(printf, 2, 3)));

 protected:
  ~ObjectHost() = default;
};
