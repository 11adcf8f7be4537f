// The player's keys: each of the game's eight keys (FrameInput's order: W S A
// D J K U I) is pressed by one or two keyboard keys and one pad button of the
// player's choosing. The engine gets them as bindings of raw keys to the
// game's keys, so recordings and replays hold the game's keys whatever the
// player chose. Fixed beside them: the left stick walks, and Esc and the pad's
// Start press the game's Esc (the ending screen's quit key).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/hge.h"
#include "world/FrameInput.h"

// One of the game's keys: its code (what recordings hold), its name in the
// settings file and its label in the menu.
struct GameKeyInfo {
  int code;
  const char* name;
  const char* label;
};
extern const std::array<GameKeyInfo, GAME_KEY_COUNT> kGameKeys;

// Where a key sits in a binding: the first or second keyboard key, or the pad button.
enum BindingSlot { SLOT_KEY1 = 0, SLOT_KEY2 = 1, SLOT_PAD = 2, SLOT_COUNT = 3 };

struct KeyBinding {
  std::array<int, SLOT_COUNT> slots{};  // raw keys, 0 for none
  bool operator==(const KeyBinding& o) const { return slots == o.slots; }
};

struct KeyBindings {
  std::array<KeyBinding, GAME_KEY_COUNT> keys;

  // W A S D J K U I, the arrow keys as second keys for the directions; on a
  // pad the d-pad, X punch, A jump, Y and B the extra keys.
  static KeyBindings defaults();
  // The keys of seat `seat` (1-4) at first. Seat 1: defaults(). Seat 2 is
  // the second player at the same keyboard: the arrow keys, with . / ; ' for
  // punch, jump and the extras (beside the arrows on most keyboards, out of
  // the way of the first player's hands). Seats 3 and 4 play on pads and
  // have no keyboard keys until the player gives them some. Every seat's pad
  // buttons are the first seat's.
  static KeyBindings defaultsFor(int seat);

  // Puts `key` in the slot. A key bound elsewhere swaps places with the one
  // it replaces, so no key presses two of the game's keys. False (nothing
  // changed) when the key does not fit the slot (see canBind).
  bool bind(size_t gameKey, BindingSlot slot, int key);
  // Empties a slot; a lone first keyboard key moves up from the second slot.
  void clear(size_t gameKey, BindingSlot slot);
  // The game key and slot holding `key`, or false.
  bool find(int key, size_t& gameKey, BindingSlot& slot) const;

  // What the engine is given (HGE::Input_SetBindings).
  std::vector<hgeBinding> engineTable() const;

  bool operator==(const KeyBindings& o) const { return keys == o.keys; }

 private:
  // A second keyboard key alone moves up to the first place.
  void keepFirstKeyFirst(size_t gameKey);
};

// Keys the game keeps for itself: Esc and P (pause), the F keys, the pad's
// Start, and the left stick's directions (they always walk).
bool isReservedKey(int key);
// Whether `key` may go in the slot: a keyboard key for the first two, a pad
// button for the third, and never a reserved one.
bool canBind(BindingSlot slot, int key);
