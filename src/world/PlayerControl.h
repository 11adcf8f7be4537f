// The player's keyboard control: reads the held direction keys and the Hud's
// command buffer once per frame and picks the player's actions. It
// only chooses action numbers; what they do comes from the character file.
#pragma once

#include "world/FrameInput.h"

class Hud;
class Chara;
struct FairRules;

// Direction keys held in this frame.
struct HeldKeys {
  bool w = false, s = false, a = false, d = false;
};

inline HeldKeys heldKeys(const FrameInput& input) {
  return {input.held[KEY_W], input.held[KEY_S], input.held[KEY_A], input.held[KEY_D]};
}

// One frame of control for `player` from the keys held and the buffer in `hud`
// (which it may consume or clear, and whose power it may spend). `fair`, when
// given, may set what actions cost and how motion commands are read.
void controlPlayer(Hud& hud, Chara& player, const HeldKeys& keys, const FairRules* fair = nullptr);
