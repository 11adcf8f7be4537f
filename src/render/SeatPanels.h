// The heads-up display of two to four players: every seat's panel in its
// column at the top of the screen, with the seat's name and score; "press
// punch to join" where a seat is free, a blinking countdown where a fallen
// fighter may still continue, and a darkened panel for a seat that is out.
#pragma once

#include "gfx/BitmapFont.h"
#include "render/HudDrawer.h"
#include "world/World.h"

// What the panel of one seat says besides its bars, from the world's numbers.
struct SeatPanelText {
  enum Kind { JOIN, CONTINUE, PLAYING, OUT };
  Kind kind = PLAYING;
  int continueSeconds = 0;  // whole seconds left to continue, rounded up
  bool lit = true;          // the continue countdown blinks: shown only while lit
};
SeatPanelText seatPanelText(const World& world, int seat);

// Draws every seat's panel. `font` is the score font; it is left in `fontColor`.
void drawSeatPanels(HGE* engine, const World& world, HudDrawer& hud, BitmapFont& font, uint32_t fontColor);
