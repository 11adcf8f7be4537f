#include "app/MenuKeys.h"

#include <algorithm>

namespace {
// A direction held down repeats after this many frames, then every kRepeatEvery.
constexpr int kRepeatAfter = 35, kRepeatEvery = 7;
}  // namespace

int MenuKeys::presses(std::initializer_list<int> keys) const {
  int n = 0;
  for (int k : keys) n += engine_->Input_RawKeyPresses(k);
  return n;
}

int MenuKeys::pressedOrRepeated(int& heldFrames, std::initializer_list<int> keys) {
  if (const int n = presses(keys)) {
    heldFrames = 0;
    return n;
  }
  if (!std::any_of(keys.begin(), keys.end(), [this](int k) { return engine_->Input_RawKeyState(k); })) {
    heldFrames = 0;
    return 0;
  }
  ++heldFrames;
  return heldFrames >= kRepeatAfter && (heldFrames - kRepeatAfter) % kRepeatEvery == 0 ? 1 : 0;
}

MenuWish MenuKeys::readDirections() {
  MenuWish w;
  w.up = pressedOrRepeated(upHeld_, {HGEK_UP, HGEK_W, HGEK_PAD_UP, HGEK_STICK_UP});
  w.down = pressedOrRepeated(downHeld_, {HGEK_DOWN, HGEK_S, HGEK_PAD_DOWN, HGEK_STICK_DOWN});
  w.left = pressedOrRepeated(leftHeld_, {HGEK_LEFT, HGEK_A, HGEK_PAD_LEFT, HGEK_STICK_LEFT});
  w.right = pressedOrRepeated(rightHeld_, {HGEK_RIGHT, HGEK_D, HGEK_PAD_RIGHT, HGEK_STICK_RIGHT});
  return w;
}

MenuWish MenuKeys::read() {
  MenuWish w = readDirections();
  w.choose = presses({HGEK_ENTER, HGEK_SPACE, HGEK_PAD_A}) > 0;
  w.back = presses({HGEK_ESCAPE, HGEK_BACKSPACE, HGEK_PAD_B}) > 0;
  w.start = presses({HGEK_PAD_START}) > 0;
  for (int key = 1; key < HGEK_KEYSPACE && !w.anyKey; ++key) w.anyKey = engine_->Input_RawKeyDown(key);
  return w;
}
