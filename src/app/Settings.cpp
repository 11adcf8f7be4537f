#include "app/Settings.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
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

// One line's binding; false with the reason. Seat 1 needs a keyboard key for
// every game key; the other seats may have none (they play on pads).
bool readBinding(const std::string& value, bool needsKeyboard, KeyBinding& out, std::string& why) {
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
  if (keyboard == 0 && needsKeyboard) {
    why = "each game key needs a keyboard key";
    return false;
  }
  return true;
}

// A game key of a seat, as lines name it: "punch" for seat 1, "seat2 punch".
std::string settingName(int seat, size_t gameKey) {
  const std::string name = kGameKeys[gameKey].name;
  return seat == 1 ? name : "seat" + std::to_string(seat) + " " + name;
}

// Splits "seatN name" into the seat and the name; a name without a seat is
// seat 1's. False when it names a seat but not one from 1 to HGE_SEATS.
bool splitSeat(const std::string& name, int& seat, std::string& rest) {
  seat = 1;
  rest = name;
  if (name.rfind("seat", 0) != 0) return true;
  const size_t space = name.find_first_of(" \t");
  const std::string number = name.substr(4, space == std::string::npos ? std::string::npos : space - 4);
  rest = space == std::string::npos ? "" : trim(name.substr(space));
  return readNumber(number, 1, HGE_SEATS, seat);
}

// One game key of one seat in the settings.
struct SeatKey {
  int seat = 1;
  size_t gameKey = 0;
  size_t slot = 0;
};

// Whether two seats may both hold a keyboard key: only seat 1's second key
// shared with seat 2, which seat 1 has while seat 2 is not at the keyboard.
bool lentToSeat1(const SeatKey& a, const SeatKey& b) {
  const SeatKey& first = a.seat == 1 ? a : b;
  const SeatKey& other = a.seat == 1 ? b : a;
  return first.seat == 1 && other.seat == 2 && first.slot == SLOT_KEY2;
}

}  // namespace

Settings parseSettings(const std::string& text, const std::string& fileName, std::vector<std::string>& notes) {
  Settings s;
  // The line each seat's game key's binding was read from (0: none).
  std::array<std::array<int, GAME_KEY_COUNT>, HGE_SEATS> boundAt{};
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
    } else if (name == "fullscreen" || name == "screen-shake") {
      bool& flag = name == "fullscreen" ? s.fullscreen : s.screenShake;
      const std::string v = lower(value);
      if (v == "on" || v == "yes" || v == "true" || v == "1")
        flag = true;
      else if (v == "off" || v == "no" || v == "false" || v == "0")
        flag = false;
      else
        leaveOut(name + " wants on or off, not " + quote(value));
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
      int seat = 1;
      std::string gameKeyName;
      if (!splitSeat(name, seat, gameKeyName)) {
        leaveOut("no seat is called " + quote(name.substr(0, name.find_first_of(" \t"))) + " (seats are seat1 to seat" +
                 std::to_string(HGE_SEATS) + ")");
        continue;
      }
      size_t g = 0;
      while (g < kGameKeys.size() && gameKeyName != kGameKeys[g].name) ++g;
      if (g == kGameKeys.size()) {
        leaveOut("no setting is called " + quote(name));
        continue;
      }
      const std::string shownName = settingName(seat, g);
      KeyBinding b;
      std::string why;
      if (!readBinding(value, seat == 1, b, why)) {
        leaveOut(shownName + ": " + why);
        continue;
      }
      int& at = boundAt[static_cast<size_t>(seat - 1)][g];
      if (at) note(number, shownName + " is set again (first on line " + std::to_string(at) + "); this line counts");
      s.keysOf(seat).keys[g] = b;
      at = number;
    }
  }
  // A key presses one game key only. The file's lines claim their keys first,
  // in the order they come; the defaults of game keys the file does not name
  // get what is left, seat by seat. Pad buttons are a seat's own (each pad
  // plays one seat); keyboard keys are shared by every seat.
  std::vector<SeatKey> order;
  for (int seat = 1; seat <= HGE_SEATS; ++seat)
    for (size_t g = 0; g < GAME_KEY_COUNT; ++g) order.push_back({seat, g, 0});
  auto lineOf = [&](const SeatKey& k) { return boundAt[static_cast<size_t>(k.seat - 1)][k.gameKey]; };
  std::stable_sort(order.begin(), order.end(), [&](const SeatKey& a, const SeatKey& b) {
    const int la = lineOf(a) ? lineOf(a) : 1 << 30, lb = lineOf(b) ? lineOf(b) : 1 << 30;
    return la < lb;
  });
  std::array<std::vector<SeatKey>, HGEK_COUNT> claims;  // keyboard key or pad button -> who has it
  auto takenFrom = [&](const SeatKey& k, int key) -> const SeatKey* {
    for (const SeatKey& c : claims[static_cast<size_t>(key)]) {
      if (isPadKey(key) ? c.seat == k.seat : !lentToSeat1(c, k)) return &c;
    }
    return nullptr;
  };
  for (const SeatKey& entry : order) {
    const int seat = entry.seat;
    const size_t g = entry.gameKey;
    const int line = lineOf(entry);
    auto& slots = s.keysOf(seat).keys[g].slots;
    std::optional<SeatKey> keyboardLostTo;  // who took the last keyboard key taken from this one
    for (size_t slot = 0; slot < slots.size(); ++slot) {
      int& key = slots[slot];
      if (!key) continue;
      const SeatKey me{seat, g, slot};
      const SeatKey* owner = takenFrom(me, key);
      if (owner) {
        if (slot != SLOT_PAD) keyboardLostTo = *owner;
        if (line)
          note(line, std::string(keyName(key)) + " already presses " + settingName(owner->seat, owner->gameKey) +
                         "; left out of " + settingName(seat, g));
        key = 0;
        continue;
      }
      claims[static_cast<size_t>(key)].push_back(me);
    }
    if (!slots[SLOT_KEY1]) std::swap(slots[SLOT_KEY1], slots[SLOT_KEY2]);
    // A game key whose keyboard keys all went to earlier lines gets back a
    // key of its own from the defaults, when one is free.
    if (!slots[SLOT_KEY1] && keyboardLostTo) {
      const int said = line ? line : lineOf(*keyboardLostTo);
      const KeyBindings defaults = KeyBindings::defaultsFor(seat);
      for (int key : defaults.keys[g].slots) {
        if (key && !isPadKey(key) && !takenFrom(SeatKey{seat, g, SLOT_KEY1}, key)) {
          slots[SLOT_KEY1] = key;
          claims[static_cast<size_t>(key)].push_back(SeatKey{seat, g, SLOT_KEY1});
          break;
        }
      }
      if (!said) continue;
      if (slots[SLOT_KEY1])
        note(said, settingName(seat, g) + " had no keyboard key left and has " + keyName(slots[SLOT_KEY1]) + " again");
      else
        note(said, settingName(seat, g) + " has no keyboard key left: choose one in the menu");
    }
  }
  return s;
}

std::string formatSettings(const Settings& s) {
  std::string out =
      "# Tervalen's settings. The game writes this file when something changes in its\n"
      "# menu (Esc or P while playing, Start on a pad); you may edit it while the game\n"
      "# is not running. Lines it cannot read are left out and said in the log.\n"
      "# Keys: up to two keyboard keys and one pad button for each of the game's keys;\n"
      "# \"seat2 punch = ...\" gives seat 2's (lines without a seat are seat 1's).\n";
  out += "window = " + std::to_string(s.windowWidth) + "x" + std::to_string(s.windowHeight) + "\n";
  out += std::string("fullscreen = ") + (s.fullscreen ? "on" : "off") + "\n";
  out += std::string("screen-shake = ") + (s.screenShake ? "on" : "off") + "\n";
  out += "music = " + std::to_string(s.musicVolume) + "\n";
  out += "effects = " + std::to_string(s.effectsVolume) + "\n";
  out += std::string("difficulty = ") + difficultyName(s.difficulty) + "\n";
  for (int seat = 1; seat <= HGE_SEATS; ++seat)
    for (size_t g = 0; g < kGameKeys.size(); ++g) {
      out += settingName(seat, g) + " =";
      for (int key : s.keysOf(seat).keys[g].slots)
        if (key && keyName(key)) out += std::string(" ") + keyName(key);
      out += "\n";
    }
  return out;
}
