// The weapon in a fighter's hand on its seat's panel: the item's own picture,
// small, beside the bars, and the uses it has left.
#pragma once

#include "gfx/BitmapFont.h"
#include "gfx/SpriteQuad.h"
#include "render/PictureSets.h"
#include "world/World.h"

// Where on a panel (in the frame picture's pixels) the weapon goes, and how small.
struct HeldWeaponPlace {
  static constexpr float x = 282, y = 62, scale = 0.6f;
  static constexpr float usesX = 334, usesY = 62, usesScale = 0.6f;
};

// For every seat whose fighter holds a weapon; `together`: the seats' panels
// (two or more play), else the display of a game for one. Leaves `font`'s scale as it was.
void drawHeldWeapons(HGE* engine, const World& world, PictureSets& pictures, BitmapFont& font, SpriteQuad& sprite, bool together);
