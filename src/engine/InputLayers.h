// The engine's two layers of keys (see hge.h): the raw keys of the keyboard
// and the pads, and the game's keys, which the raw keys press through the
// bindings and which replays and the built-in player press directly. Only the
// game's keys are recorded.
#pragma once

#include <array>
#include <vector>

#include "engine/Keyboard.h"
#include "engine/hge.h"

class InputLayers {
 public:
  // Starts with every raw key bound to the game's key of its own code.
  InputLayers();
  InputLayers(const InputLayers&) = delete;
  InputLayers& operator=(const InputLayers&) = delete;

  Keyboard& raw() { return raw_; }
  Keyboard& game() { return game_; }
  const Keyboard& raw() const { return raw_; }
  const Keyboard& game() const { return game_; }

  // A new frame for both layers.
  void beginFrame() {
    raw_.beginFrame();
    game_.beginFrame();
  }
  // Ends a step for both layers.
  void endStep() {
    raw_.endStep();
    game_.endStep();
  }

  // Replaces the bindings (see HGE::Input_SetBindings). Codes outside the key
  // table are left out.
  void setBindings(const std::vector<hgeBinding>& bindings);
  // The game's keys a raw key presses.
  const std::vector<int>& gameKeysOf(int rawKey) const;

 private:
  static bool valid(int key) { return key > 0 && key < HGEK_KEYSPACE; }
  // A raw key went down or up: its game keys follow. A game key goes up only
  // when no raw key bound to it is held any more.
  void rawChanged(int key, bool down, bool hold);
  bool anyRawHeld(int gameKey) const;

  Keyboard raw_, game_;
  std::array<std::vector<int>, HGEK_KEYSPACE> gameKeysOf_;  // raw key -> the game's keys it presses
  std::array<std::vector<int>, HGEK_KEYSPACE> rawKeysOf_;   // game key -> the raw keys that press it
};
