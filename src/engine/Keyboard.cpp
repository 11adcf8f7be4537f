#include "engine/Keyboard.h"

void Keyboard::press(int key) {
  if (!valid(key) || held_[key]) return;
  held_[key] = true;
  pressed_[key] = true;
  if (presses_[key] < UINT8_MAX) ++presses_[key];
  stepPressed_[key] = true;
  if (listener_) listener_(key, true, false);
}

void Keyboard::hold(int key) {
  if (!valid(key) || held_[key]) return;
  held_[key] = true;
  if (listener_) listener_(key, true, true);
}

void Keyboard::release(int key) {
  if (!valid(key) || !held_[key]) return;
  held_[key] = false;
  if (listener_) listener_(key, false, false);
}

void Keyboard::releaseAll() {
  for (int key = 1; key < HGEK_KEYSPACE; ++key)
    if (held_[key]) release(key);
}
