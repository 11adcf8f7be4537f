// Physical keys to the game's key codes (Windows virtual-key codes). Keys are
// taken by position, so W A S D J K U I sit in the same place on any layout.
#pragma once

#include <SDL_scancode.h>

// The virtual-key code of a scancode, or 0 when the game has no code for it.
int virtualKeyFromScancode(SDL_Scancode code);
