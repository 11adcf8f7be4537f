#include "app/Settings.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "engine/KeyNames.h"

namespace {

std::string trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// A whole number of at most nine digits within [min, max].
bool readNumber(const std::string& text, int min, int max, int& out) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const long v = std::strtol(text.c_str(), nullptr, 10);
  if (v < min || v > max) return false;
  out = static_cast<int>(v);
  return true;
}

// A printable quote of what the file said, at most 40 characters.
std::string quote(const std::string& text) {
  std::string out;
  for (unsigned char c : text.substr(0, 40)) out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  return "\"" + out + (text.size() > 40 ? "...\"" : "\"");
}

// One line's binding; false with the reason.
bool readBinding(const std::string& value, KeyBinding& out, std::string& why) {
  out = KeyBinding{};
  std::istringstream words(value);
  int keyboard = 0;
  for (std::string word; words >> word;) {
    const int key = keyFromName(word);
    if (!key) {
      why = "no key is called " + quote(word);
      return false;
    }
    if (isReservedKey(key)) {
      why = std::string(keyName(key)) + " is kept for the game itself";
      return false;
    }
    for (int already : out.slots)
      if (already == key) {
        why = std::string(keyName(key)) + " is named twice";
        return false;
      }
    if (isPadKey(key)) {
      if (out.slots[SLOT_PAD]) {
        why = "more than one pad button";
        return false;
      }
      out.slots[SLOT_PAD] = key;
    } else {
      if (keyboard == 2) {
        why = "more than two keyboard keys";
        return false;
      }
      out.slots[static_cast<size_t>(keyboard++)] = key;
    }
  }
  if (keyboard == 0) {
    why = "each game key needs a keyboard key";
    return false;
  }
  return true;
}

}  // namespace

Settings parseSettings(const std::string& text, const std::string& fileName, std::vector<std::string>& notes) {
  Settings s;
  std::array<int, GAME_KEY_COUNT> boundAt{};  // the line each game key's binding was read from (0: none)
  std::istringstream in(text);
  int number = 0;
  auto note = [&](int line, const std::string& what) {
    notes.push_back(fileName + ":" + std::to_string(line) + ": " + what);
  };
  auto leaveOut = [&](const std::string& why) { note(number, why + "; left out"); };
  for (std::string line; std::getline(in, line);) {
    ++number;
    const std::string t = trim(line);
    if (t.empty() || t[0] == '#') continue;
    const size_t eq = t.find('=');
    if (eq == std::string::npos) {
      leaveOut("not a \"name = value\" line: " + quote(t));
      continue;
    }
    const std::string name = lower(trim(t.substr(0, eq)));
    const std::string value = trim(t.substr(eq + 1));
    if (name == "window") {
      const size_t x = lower(value).find('x');
      int w = 0, h = 0;
      if (x == std::string::npos || !readNumber(value.substr(0, x), kMinWindowWidth, kMaxWindowSide, w) ||
          !readNumber(value.substr(x + 1), kMinWindowHeight, kMaxWindowSide, h)) {
        leaveOut("window wants WIDTHxHEIGHT from " + std::to_string(kMinWindowWidth) + "x" +
                 std::to_string(kMinWindowHeight) + " to " + std::to_string(kMaxWindowSide) + "x" +
                 std::to_string(kMaxWindowSide) + ", not " + quote(value));
        continue;
      }
      s.windowWidth = w;
      s.windowHeight = h;
    } else if (name == "fullscreen") {
      const std::string v = lower(value);
      if (v == "on" || v == "yes" || v == "true" || v == "1")
        s.fullscreen = true;
      else if (v == "off" || v == "no" || v == "false" || v == "0")
        s.fullscreen = false;
      else
        leaveOut("fullscreen wants on or off, not " + quote(value));
    } else if (name == "music" || name == "effects") {
      int v = 0;
      if (!readNumber(value, 0, 100, v)) {
        leaveOut(name + " wants a volume from 0 to 100, not " + quote(value));
        continue;
      }
      (name == "music" ? s.musicVolume : s.effectsVolume) = v;
    } else if (name == "difficulty") {
      if (!difficultyFromName(lower(value), s.difficulty)) leaveOut("difficulty wants easy, normal or hard, not " + quote(value));
    } else {
      size_t g = 0;
      while (g < kGameKeys.size() && name != kGameKeys[g].name) ++g;
      if (g == kGameKeys.size()) {
        leaveOut("no setting is called " + quote(name));
        continue;
      }
      KeyBinding b;
      std::string why;
      if (!readBinding(value, b, why)) {
        leaveOut(name + ": " + why);
        continue;
      }
      if (boundAt[g]) note(number, name + " is set again (first on line " + std::to_string(boundAt[g]) + "); this line counts");
      s.bindings.keys[g] = b;
      boundAt[g] = number;
    }
  }
  // A key presses one game key only. The file's lines claim their keys first,
  // in the order they come; the defaults of game keys the file does not name
  // get what is left.
  std::array<size_t, GAME_KEY_COUNT> order{};
  for (size_t g = 0; g < order.size(); ++g) order[g] = g;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const int la = boundAt[a] ? boundAt[a] : 1 << 30, lb = boundAt[b] ? boundAt[b] : 1 << 30;
    return la < lb;
  });
  const KeyBindings defaults = KeyBindings::defaults();
  std::array<int, HGEK_COUNT> claimedBy;
  claimedBy.fill(-1);
  for (size_t g : order) {
    auto& slots = s.bindings.keys[g].slots;
    int keyboardLostTo = -1;  // the game key that took the last keyboard key taken from this one
    for (int& key : slots) {
      if (!key) continue;
      const int owner = claimedBy[static_cast<size_t>(key)];
      if (owner >= 0 && &key != &slots[SLOT_PAD]) keyboardLostTo = owner;
      if (owner >= 0) {
        if (boundAt[g])
          note(boundAt[g], std::string(keyName(key)) + " already presses " + kGameKeys[static_cast<size_t>(owner)].name +
                               "; left out of " + kGameKeys[g].name);
        key = 0;
        continue;
      }
      claimedBy[static_cast<size_t>(key)] = static_cast<int>(g);
    }
    if (!slots[SLOT_KEY1]) std::swap(slots[SLOT_KEY1], slots[SLOT_KEY2]);
    // A game key whose keyboard keys all went to earlier lines gets back a
    // key of its own from the defaults, when one is free.
    if (!slots[SLOT_KEY1] && keyboardLostTo >= 0) {
      const int line = boundAt[g] ? boundAt[g] : boundAt[static_cast<size_t>(keyboardLostTo)];
      for (int key : defaults.keys[g].slots) {
        if (key && !isPadKey(key) && claimedBy[static_cast<size_t>(key)] < 0) {
          slots[SLOT_KEY1] = key;
          claimedBy[static_cast<size_t>(key)] = static_cast<int>(g);
          break;
        }
      }
      if (slots[SLOT_KEY1])
        note(line, std::string(kGameKeys[g].name) + " had no keyboard key left and has " +
                       keyName(slots[SLOT_KEY1]) + " again");
      else
        note(line, std::string(kGameKeys[g].name) + " has no keyboard key left: choose one in the menu");
    }
  }
  return s;
}

std::string formatSettings(const Settings& s) {
  std::string out =
      "# Tervalen's settings. The game writes this file when something changes in its\n"
      "# menu (Esc or P while playing, Start on a pad); you may edit it while the game\n"
      "# is not running. Lines it cannot read are left out and said in the log.\n"
      "# Keys: up to two keyboard keys and one pad button for each of the game's keys.\n";
  out += "window = " + std::to_string(s.windowWidth) + "x" + std::to_string(s.windowHeight) + "\n";
  out += std::string("fullscreen = ") + (s.fullscreen ? "on" : "off") + "\n";
  out += "music = " + std::to_string(s.musicVolume) + "\n";
  out += "effects = " + std::to_string(s.effectsVolume) + "\n";
  out += std::string("difficulty = ") + difficultyName(s.difficulty) + "\n";
  for (size_t g = 0; g < kGameKeys.size(); ++g) {
    out += std::string(kGameKeys[g].name) + " =";
    for (int key : s.bindings.keys[g].slots)
      if (key && keyName(key)) out += std::string(" ") + keyName(key);
    out += "\n";
  }
  return out;
}
