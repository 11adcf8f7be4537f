// The player's settings and their file, settings.ini in the player's config
// folder: "name = value" lines, '#' comments.
//
//   window = 1280x768        the window's size when windowed
//   fullscreen = off         on or off
//   music = 80               volumes, 0..100
//   effects = 100
//   difficulty = normal      easy, normal or hard
//   screen-shake = on        heavy blows shake the screen where the game asks for it
//   punch = J Space PadX     a game key: up to two keyboard keys and a pad button
//   seat2 punch = Period     the same for seat 2 (seats 2 to 4; a line without a
//                            seat is seat 1's, so older files are seat 1's keys)
//
// A line that cannot be read (an unknown name, a bad or absurd value, a key
// already bound to another game key) is left out with a note saying which
// line and why; everything else still counts, and what is left out keeps its
// default. A name given twice counts the last time. A keyboard key presses
// one game key of one seat: the line that names it first keeps it. Only seat
// 1's second keys may be seat 2's keys as well (the arrow keys at first):
// seat 1 has them while nobody plays seat 2 at the keyboard.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "app/KeyBindings.h"
#include "world/Difficulty.h"

struct Settings {
  int windowWidth = 800, windowHeight = 480;
  bool fullscreen = false;
  int musicVolume = 100, effectsVolume = 100;  // 0..100
  KeyBindings bindings = KeyBindings::defaults();  // seat 1's
  // Seats 2 to 4, in order.
  std::array<KeyBindings, HGE_SEATS - 1> laterSeats = {KeyBindings::defaultsFor(2), KeyBindings::defaultsFor(3),
                                                        KeyBindings::defaultsFor(4)};

  // The keys of seat `seat` (1-4; others are seat 1's or 4's).
  KeyBindings& keysOf(int seat) { return seat <= 1 ? bindings : laterSeats[static_cast<size_t>(std::min(seat, HGE_SEATS) - 2)]; }
  const KeyBindings& keysOf(int seat) const {
    return seat <= 1 ? bindings : laterSeats[static_cast<size_t>(std::min(seat, HGE_SEATS) - 2)];
  }
  Difficulty difficulty = Difficulty::Normal;
  bool screenShake = true;

  bool operator==(const Settings& o) const {
    return windowWidth == o.windowWidth && windowHeight == o.windowHeight && fullscreen == o.fullscreen &&
           musicVolume == o.musicVolume && effectsVolume == o.effectsVolume && bindings == o.bindings &&
           laterSeats == o.laterSeats && difficulty == o.difficulty && screenShake == o.screenShake;
  }
};

// The window sizes a settings file may ask for (the desktop may allow less).
constexpr int kMinWindowWidth = 160, kMinWindowHeight = 96;
constexpr int kMaxWindowSide = 16384;

// Reads settings text; each line left out adds a note "FILE:LINE: why" to `notes`.
Settings parseSettings(const std::string& text, const std::string& fileName, std::vector<std::string>& notes);
// The text of a settings file (parseSettings reads it back to the same settings).
std::string formatSettings(const Settings& settings);
