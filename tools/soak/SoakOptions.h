// The command line of tervalen-soak, parsed like the game's own options:
// `--name VALUE` or `--name=VALUE`, a usage error for anything unknown or out
// of range (exit 2), `--help` prints the usage and exits 0.
#pragma once

#include <string>

struct SoakOptions {
  int frames = 1000000;  // frames to play, from 1
  int seed = 1;          // seed of the game and of the keys
  int every = 100000;    // report the memory every N frames, from 1
  bool help = false;
};

enum class SoakParse { Run, Help, UsageError };

// Reads argv (argv[0] is the program) into `out`; on a usage error `error` says why.
SoakParse parseSoakOptions(int argc, const char* const* argv, SoakOptions& out, std::string& error);

std::string soakUsageText();
