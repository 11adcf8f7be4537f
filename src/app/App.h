// The game run: engine set-up, the screens, and the result line at exit.
#pragma once

#include <string>

#include "app/Options.h"

// The program's exit codes.
constexpr int kExitPlayed = 0;         // the run ended as the player or the options said
constexpr int kExitCannotStart = 1;    // no game folder, or the world could not be built
constexpr int kExitUsage = 2;          // the command line or a replay file is malformed
constexpr int kExitOutputFailed = 3;   // a file of --trace, --record or --screenshot (or the result
                                       // line) could not be written; the game played on
constexpr int kExitReplayDiverged = 4; // the world stopped matching the replay's checksums

// Runs the game in the current folder (the game folder) and logs to `logFile`
// (relative to the game folder, or absolute; "" for no log file); returns the
// exit code.
int runGame(const Options& options, const std::string& logFile);
