// How players tell their fighters apart when two or more play: a ring on the
// ground in the seat's colour under each seat's fighter, and the seat's name
// ("P2") over its head.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/hge.h"
#include "gfx/BitmapFont.h"
#include "world/World.h"

// The seat whose fighter `o` is, or 0 (an enemy, an effect, a prop).
int fighterSeat(const World& world, const Obj& o);

// A flat ring on the ground centred on the screen point (cx, cy).
void drawSeatRing(HGE* engine, float cx, float cy, uint32_t color);

// The screen row just over the fighter's head: the top of its body box, or of
// its picture (`pictureTop`) when it has no body box.
float headRow(const Obj& fighter, float pictureTop);

// Fighters standing on one spot would print their names over each other: the
// row for a name at (cx, row), lifted over the names already placed there
// (kept in `placed`, which takes this one too).
float unclutteredTagRow(std::vector<std::array<float, 2>>& placed, float cx, float row);

// The seat's name centred over (cx, row), in the seat's colour with a dark
// shadow. `font` is left in `fontColor` at its own scale.
void drawSeatTag(BitmapFont& font, int seat, float cx, float row, uint32_t fontColor);
