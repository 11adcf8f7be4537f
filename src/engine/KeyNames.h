// Names of the raw keys (keyboard keys and pad buttons) for the settings file
// and the menus: "W", "Up", "Space", "Keypad5", "PadA", "StickLeft". Every key
// the keyboard or a pad can press has one, and a name stands for one key.
#pragma once

#include <string>

// The key's name, or nullptr when no key has this code.
const char* keyName(int key);
// The key of a name (letters in any case: "up" is "Up"), or 0.
int keyFromName(const std::string& name);
// A pad's button or stick direction (HGEK_PAD_*, HGEK_STICK_*), not a keyboard key.
bool isPadKey(int key);
