// Key state for the frame loop: which keys are held, which went down in the
// current frame, and which went down since the last step (a frame in which
// the game ran). A press is latched, so a key that goes down and up between
// two frames still counts once; the step latch also holds presses made while
// the game is paused, until play resumes and forgets them. Each press of a
// frame is counted too, so that menus see every tap, even several taps of one
// key that all came in between two frames.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "engine/hge.h"

class Keyboard {
 public:
  // Called for every change actually applied (for recording); `hold` for a
  // key held without counting as a press.
  using ChangeListener = std::function<void(int key, bool down, bool hold)>;

  // Starts a new frame: forgets the presses latched for the last one.
  void beginFrame() {
    pressed_.fill(false);
    presses_.fill(0);
  }
  // Ends a step: forgets the presses latched for it.
  void endStep() { stepPressed_.fill(false); }
  // A key went down. A key that is already held is ignored (auto-repeat).
  void press(int key);
  void release(int key);
  // Holds a key without counting a press (a key held when play resumes).
  void hold(int key);
  // Lets go of every held key (the window lost focus).
  void releaseAll();

  bool wentDown(int key) const { return valid(key) && pressed_[key]; }
  // How many times the key went down in this frame (at most 255).
  int pressesThisFrame(int key) const { return valid(key) ? presses_[key] : 0; }
  bool wentDownSinceStep(int key) const { return valid(key) && stepPressed_[key]; }
  bool held(int key) const { return valid(key) && held_[key]; }

  void setListener(ChangeListener listener) { listener_ = std::move(listener); }

 private:
  static bool valid(int key) { return key > 0 && key < HGEK_KEYSPACE; }

  std::array<bool, HGEK_KEYSPACE> held_{};
  std::array<bool, HGEK_KEYSPACE> pressed_{};
  std::array<uint8_t, HGEK_KEYSPACE> presses_{};
  std::array<bool, HGEK_KEYSPACE> stepPressed_{};
  ChangeListener listener_;
};
