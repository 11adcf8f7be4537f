// The engine's settings that the game and the character viewer take alike
// from the command line.
#pragma once

#include "app/Options.h"

class HGE;

// 100 frames a second, the icon, the mouse shown, and what the options say of
// headless, --stats, --frames, --replay and --screenshot.
void applyRunOptions(HGE* engine, const Options& options);
