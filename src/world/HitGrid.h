// The bodies of the world's objects on a grid of x and z while the object pass
// runs, so that an armed attack is tested only against the objects near it
// instead of against every object. The grid only leaves out objects whose
// body cannot meet the attack; the ones it gives are in the order the full
// test takes them (their place in the list), so the same hits land in the
// same order with it and without it.
//
// An object's entry is its index in the list when the pass started (objects
// appended during the pass get the next numbers, which are their indices
// too). Each entry has a slot, its place in the list as the pass closes it up.
// Whoever changes an object's body (moving it, stepping its script, hitting
// it) calls refresh; the grid never reads an object on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "object/Box.h"

class Obj;

class HitGrid {
 public:
  // Starts a pass over `objects`: entry i is objects[i], in slot i.
  void start(const std::vector<Obj*>& objects);
  // Ends the pass; until the next start the grid answers nothing.
  void stop() { active_ = false; }
  bool active() const { return active_; }
  // An object appended to the list during the pass, at index `slot`.
  void add(Obj* o, size_t slot);
  // Entry `id`'s body may have changed: its cells are found again.
  void refresh(uint32_t id);
  void setSlot(uint32_t id, size_t slot) { entries_[id].slot = slot; }
  // Entry `id` has left the list.
  void remove(uint32_t id) { entries_[id].alive = false; }
  Obj* object(uint32_t id) const { return entries_[id].obj; }
  // The entries whose body may overlap `box` (world coordinates), without
  // `self`, by ascending slot.
  void near(const Box& box, uint32_t self, std::vector<uint32_t>& out);

 private:
  struct Span {
    int x0 = 0, x1 = -1, z0 = 0, z1 = -1;  // empty: in the always-tested list
    bool nowhere = false;                   // a body of no width: never hit
    bool operator==(const Span&) const = default;
  };
  struct Entry {
    Obj* obj = nullptr;
    size_t slot = 0;
    uint32_t version = 0;
    bool alive = true;
    Span span;  // the cells its current marks are in
  };
  struct Mark {
    uint32_t id, version;
  };
  Span spanOf(const Box& b, double margin) const;
  // Where an object's body is now: its cells, everywhere, or nowhere.
  Span spanOfObject(const Obj* o) const;
  void place(uint32_t id, const Span& span);

  bool active_ = false;
  double minX_ = 0, minZ_ = 0, cellWidth_ = 1, cellDepth_ = 1;
  int columns_ = 1, rows_ = 1;
  std::vector<Entry> entries_;
  // Each cell lists the entries placed in it; a mark whose version is no
  // longer its entry's is left behind by a refresh and skipped.
  std::vector<std::vector<Mark>> cells_;
  std::vector<Mark> everywhere_;
  std::vector<std::pair<size_t, uint32_t>> found_;  // (slot, entry) of one query
  std::vector<double> widths_, depths_;  // the bodies' sizes, to size the cells
};
