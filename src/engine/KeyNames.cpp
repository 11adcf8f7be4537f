#include "engine/KeyNames.h"

#include <array>
#include <cctype>

#include "engine/hge.h"

namespace {

struct Named {
  int key;
  const char* name;
};

constexpr Named kNamed[] = {
    {HGEK_BACKSPACE, "Backspace"}, {HGEK_TAB, "Tab"}, {HGEK_ENTER, "Enter"}, {HGEK_SHIFT, "Shift"},
    {HGEK_CTRL, "Ctrl"}, {HGEK_ALT, "Alt"}, {0x13, "Pause"}, {0x14, "CapsLock"}, {HGEK_ESCAPE, "Esc"},
    {HGEK_SPACE, "Space"}, {0x21, "PageUp"}, {0x22, "PageDown"}, {0x23, "End"}, {0x24, "Home"},
    {HGEK_LEFT, "Left"}, {HGEK_UP, "Up"}, {HGEK_RIGHT, "Right"}, {HGEK_DOWN, "Down"}, {0x2C, "PrintScreen"},
    {0x2D, "Insert"}, {HGEK_DELETE, "Delete"}, {0x5B, "LeftSuper"}, {0x5C, "RightSuper"}, {0x5D, "Menu"},
    {0x6A, "KeypadMultiply"}, {0x6B, "KeypadPlus"}, {0x6D, "KeypadMinus"}, {0x6E, "KeypadPeriod"},
    {0x6F, "KeypadDivide"}, {0x90, "NumLock"}, {0x91, "ScrollLock"}, {0xBA, "Semicolon"}, {0xBB, "Equals"},
    {0xBC, "Comma"}, {0xBD, "Minus"}, {0xBE, "Period"}, {0xBF, "Slash"}, {0xC0, "Grave"},
    {0xDB, "LeftBracket"}, {0xDC, "Backslash"}, {0xDD, "RightBracket"}, {0xDE, "Apostrophe"},
    {HGEK_PAD_A, "PadA"}, {HGEK_PAD_B, "PadB"}, {HGEK_PAD_X, "PadX"}, {HGEK_PAD_Y, "PadY"},
    {HGEK_PAD_LB, "PadLB"}, {HGEK_PAD_RB, "PadRB"}, {HGEK_PAD_LT, "PadLT"}, {HGEK_PAD_RT, "PadRT"},
    {HGEK_PAD_UP, "PadUp"}, {HGEK_PAD_DOWN, "PadDown"}, {HGEK_PAD_LEFT, "PadLeft"}, {HGEK_PAD_RIGHT, "PadRight"},
    {HGEK_PAD_START, "PadStart"}, {HGEK_PAD_BACK, "PadBack"}, {HGEK_PAD_LSTICK, "PadLStick"},
    {HGEK_PAD_RSTICK, "PadRStick"}, {HGEK_STICK_UP, "StickUp"}, {HGEK_STICK_DOWN, "StickDown"},
    {HGEK_STICK_LEFT, "StickLeft"}, {HGEK_STICK_RIGHT, "StickRight"},
};

// Every key's name, by code; the letters, digits, keypad digits and F keys are made here.
struct NameTable {
  std::array<std::string, HGEK_COUNT> names;
  NameTable() {
    for (int i = 0; i < 26; ++i) names[static_cast<size_t>(HGEK_A + i)] = std::string(1, static_cast<char>('A' + i));
    for (int i = 0; i < 10; ++i) {
      names[static_cast<size_t>(HGEK_0 + i)] = std::string(1, static_cast<char>('0' + i));
      names[static_cast<size_t>(0x60 + i)] = "Keypad" + std::to_string(i);
    }
    for (int i = 0; i < 12; ++i) names[static_cast<size_t>(HGEK_F1 + i)] = "F" + std::to_string(i + 1);
    for (const Named& n : kNamed) names[static_cast<size_t>(n.key)] = n.name;
  }
};

const NameTable& table() {
  static const NameTable t;
  return t;
}

bool sameLetters(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

}  // namespace

const char* keyName(int key) {
  if (key <= 0 || key >= HGEK_COUNT) return nullptr;
  const std::string& name = table().names[static_cast<size_t>(key)];
  return name.empty() ? nullptr : name.c_str();
}

int keyFromName(const std::string& name) {
  if (name.empty()) return 0;
  for (int key = 1; key < HGEK_COUNT; ++key)
    if (sameLetters(table().names[static_cast<size_t>(key)], name)) return key;
  return 0;
}

bool isPadKey(int key) { return key >= HGEK_PAD_A && key <= HGEK_STICK_LEFT; }
