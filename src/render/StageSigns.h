// The signs of a scene in stretches: the blinking "GO" with its arrow once a
// stretch is cleared, and over each door, where a scene's doors lead to more
// than one place, the name of the place it leads to. Drawn only; nothing here
// changes the world.
#pragma once

#include "engine/hge.h"
#include "gfx/BitmapFont.h"
#include "world/World.h"

void drawStageSigns(HGE* engine, BitmapFont& font, const World& world);
