// Untextured rectangles drawn through the engine (texture 0 fills with the
// corner colours, alpha-blended): the boxes and panels of the modder's
// overlay, the character viewer and the contact sheet.
#pragma once

#include <cstdint>

#include "engine/hge.h"

// The rectangle from (x0, y0) to (x1, y1), corners in any order, in `color` (0xAARRGGBB).
void fillRect(HGE* engine, float x0, float y0, float x1, float y1, uint32_t color);
// Its outline: four bars `thickness` wide, inside the rectangle.
void outlineRect(HGE* engine, float x0, float y0, float x1, float y1, uint32_t color, float thickness = 1);
