// How the seats look when two or more people play: each seat's colour (its
// fighter's ring and mark, its panel's name) and where each seat's panel goes
// on the 800x480 screen. A game for one keeps the display it always had.
#pragma once

#include <array>
#include <cstdint>

#include "world/Seat.h"

class World;

// The colour of seat 1-4 (0xAARRGGBB): red like the hero's headband, blue, green, yellow.
uint32_t seatColor(int seat);

// Seats 2-4 are drawn with the body multiplied by this, so that even the same
// hero reads as another player at a glance; seat 1 keeps its own colours.
uint32_t seatBodyTint(int seat);

// Whether the screen shows the seats side by side: some seat other than the
// first is taken (playing or out). With seat 1 alone, nothing of the look
// of a game for one changes.
bool playingTogether(const World& world);

// Where a seat's panel goes: the top-left corner of its frame picture and the
// size of the panel against the display's own (1: as a game for one shows it).
struct PanelPlace {
  float x = 0, y = 0, scale = 1;
};

// Playing together, the four panels share the top of the screen in seat
// order, each in a column a quarter of the screen wide, the whole frame
// picture shrunk to fit its column; the fight below stays clear.
PanelPlace panelPlace(int seat, float screenWidth = 800);
// The height of the strip the panels take at the top of the screen.
float panelStripHeight(float screenWidth = 800);
