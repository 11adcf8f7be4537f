// The game run: engine set-up, the screens, and the result line at exit.
#pragma once

#include "app/Options.h"

// Runs the game in the current folder (the game folder); returns the exit code.
int runGame(const Options& options);
