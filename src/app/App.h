// The game run: engine set-up, the screens, and the result line at exit.
#pragma once

#include <string>

#include "app/Options.h"

// Runs the game in the current folder (the game folder) and logs to `logFile`
// (relative to the game folder, or absolute; "" for no log file); returns the
// exit code.
int runGame(const Options& options, const std::string& logFile);
