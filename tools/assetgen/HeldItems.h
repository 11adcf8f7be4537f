// The things fighters pick up in the street and fight with, a length of iron
// pipe and a knife: drawn the same in a fighter's hand, lying on the ground
// and flying, in the fighters' ink outline and two-tone light.
#pragma once

#include "Canvas.h"
#include "Figure.h"

namespace assetgen {

// Draws `held` gripped at `grip` and pointing along the unit vector `dir`
// (the pipe's far end, the knife's tip), every length times `scale`.
void drawHeld(Canvas& canvas, Held held, Vec2 grip, Vec2 dir, float scale, Color outline);

// How far the held thing reaches past the grip, and how far back it sticks out.
float heldReach(Held held);
float heldButt(Held held);

}  // namespace assetgen
