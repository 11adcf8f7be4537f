// Game controllers, through SDL's game controller API and its mapping
// database: SDL knows the common pads, SDL_GAMECONTROLLERCONFIG and the file
// gamecontrollerdb.txt in the player's config folder add others. A pad's
// buttons, its triggers and the left stick's four directions are raw keys
// (HGEK_PAD_*, HGEK_STICK_*) in the same keyboard as the keys; several pads
// act as one (a key is held while any pad holds it). Each of the first four
// pads also presses keys of its own (hgePadKey), so each may play for a seat. Pads come and go while
// the game runs; an unplugged pad lets go of everything it held.
#pragma once

#include <SDL.h>

#include <bitset>
#include <functional>
#include <string>
#include <vector>

#include "engine/SdlPtrs.h"
#include "engine/hge.h"

class Keyboard;

class SdlPads {
 public:
  using Log = std::function<void(const std::string&)>;

  SdlPads() = default;
  ~SdlPads();
  SdlPads(const SdlPads&) = delete;
  SdlPads& operator=(const SdlPads&) = delete;

  // Starts SDL's controller support, reads the extra mappings of
  // `mappingsFile` (when it exists) and opens the pads plugged in. Says in the
  // log what it could not do: the game then runs without pads.
  void open(const std::string& mappingsFile, Log log);
  // Handles one of SDL's events; false when it was not a pad's. Adds
  // HGEINPUT_PADADDED or HGEINPUT_PADREMOVED to `events`.
  bool handle(const SDL_Event& e, Keyboard& keys, int& events);
  // The keyboard let go of everything (the window lost focus): so do the pads,
  // until their buttons are pressed again.
  void forgetHeld() {
    for (Pad& pad : pads_) pad.held.reset();
  }
  std::vector<std::string> names() const;
  // The slots of the pads plugged in (see hgePadKey).
  std::vector<int> slots() const;

 private:
  struct Pad {
    SDL_JoystickID id = -1;
    GameControllerPtr controller;
    std::string name;
    std::bitset<HGEK_COUNT> held;
    int leftX = 0, leftY = 0;  // the stick's position
    int slot = -1;             // its own keys' slot (hgePadKey), or -1
  };

  void add(int deviceIndex, int& events);
  void remove(SDL_JoystickID id, Keyboard& keys, int& events);
  Pad* find(SDL_JoystickID id);
  // The pad's key goes down or up; the keyboard follows when no other pad holds it.
  void set(Pad& pad, int key, bool down, Keyboard& keys);
  void axis(Pad& pad, int axis, int value, Keyboard& keys);
  void addMappings(const std::string& file);

  bool started_ = false;
  Log log_;
  std::vector<Pad> pads_;
  std::vector<SDL_JoystickID> unknownReported_;  // joysticks without a mapping, said once each
};

// The raw key of a controller button, or 0 for buttons the game leaves alone.
int padKeyOfButton(int sdlButton);
// Whether a stick or trigger, pushed to `value` (SDL's -32768..32767) with its
// key now `held`, holds the key: past half its travel it goes down, and it
// comes up only back within a third (so a stick resting near the edge does
// not chatter).
bool padAxisHolds(int value, bool held);
