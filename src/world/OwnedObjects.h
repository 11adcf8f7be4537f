// Every character and plain object of the world, owned in one list. Each
// object keeps its place in the list, so taking one out finds it at once
// instead of looking its address up; the place is given to the next object
// that comes in. Thousands of effects come and go every frame.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "object/Obj.h"

class OwnedObjects {
 public:
  // Takes `o` in and returns it.
  Obj* adopt(std::unique_ptr<Obj> o);
  // Gives `o` up to the caller; nullptr when it is not owned here.
  std::unique_ptr<Obj> release(Obj* o);
  // How many objects are owned.
  size_t size() const { return slots_.size() - free_.size(); }
  void reserve(size_t n) { slots_.reserve(n); }
  void clear();

 private:
  std::vector<std::unique_ptr<Obj>> slots_;  // a place of an object that left is empty
  std::vector<uint32_t> free_;               // the empty places
};
