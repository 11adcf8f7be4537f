// Key state for the frame loop: which keys are held, and which went down in
// the current frame. A press is latched until the next frame begins, so a key
// that goes down and up between two frames still counts once.
#pragma once

#include <array>
#include <functional>

#include "engine/hge.h"

class Keyboard {
 public:
  // Called for every change actually applied (for recording).
  using ChangeListener = std::function<void(int key, bool down)>;

  // Starts a new frame: forgets the presses latched for the last one.
  void beginFrame() { pressed_.fill(false); }
  // A key went down. A key that is already held is ignored (auto-repeat).
  void press(int key);
  void release(int key);
  // Lets go of every held key (the window lost focus).
  void releaseAll();

  bool wentDown(int key) const { return valid(key) && pressed_[key]; }
  bool held(int key) const { return valid(key) && held_[key]; }

  void setListener(ChangeListener listener) { listener_ = std::move(listener); }

 private:
  static bool valid(int key) { return key > 0 && key < HGEK_COUNT; }

  std::array<bool, HGEK_COUNT> held_{};
  std::array<bool, HGEK_COUNT> pressed_{};
  ChangeListener listener_;
};
