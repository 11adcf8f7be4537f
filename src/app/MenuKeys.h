// What the keys of a menu asked for in one frame, read from raw keys so that
// the keyboard and every pad drive it whatever the bindings: the directions
// as counts of taps (several quick taps may come in one frame; a held
// direction repeats after a moment), then choose, back, Start and any key.
#pragma once

#include <initializer_list>

#include "engine/hge.h"

struct MenuWish {
  int up = 0, down = 0, left = 0, right = 0;
  bool choose = false;  // Enter, Space, a pad's A
  bool back = false;    // Esc, Backspace, a pad's B
  bool start = false;   // a pad's Start
  bool anyKey = false;  // any key or button at all went down
};

class MenuKeys {
 public:
  explicit MenuKeys(HGE* engine) : engine_(engine) {}
  MenuWish read();
  // Only the four directions (what a menu with keys of its own for the rest reads).
  MenuWish readDirections();
  // Forgets held directions (a menu that just opened does not repeat a key held before).
  void reset() { upHeld_ = downHeld_ = leftHeld_ = rightHeld_ = 0; }

 private:
  int presses(std::initializer_list<int> keys) const;
  int pressedOrRepeated(int& heldFrames, std::initializer_list<int> keys);

  HGE* engine_;
  int upHeld_ = 0, downHeld_ = 0, leftHeld_ = 0, rightHeld_ = 0;
};
