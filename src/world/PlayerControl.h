// The player's keyboard control: reads the held direction keys and the Hud's
// command buffer once per rendered frame and picks the player's actions. It
// only chooses action numbers; what they do comes from the character file.
#pragma once

#include "engine/hge.h"

class Hud;
class Chara;

// Direction keys held in this frame.
struct HeldKeys {
  bool w = false, s = false, a = false, d = false;
};

HeldKeys readHeldKeys(HGE* engine);

// One frame of control for `player` from the keys held and the buffer in `hud`
// (which it may consume or clear, and whose power it may spend).
void controlPlayer(Hud& hud, Chara& player, const HeldKeys& keys);

// readHeldKeys + controlPlayer; called by the world's render after the buffer update.
void runPlayerControl(Hud& hud, Chara& player, HGE* engine);
