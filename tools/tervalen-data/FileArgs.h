// The arguments compile and decompile share: one input file, `-o OUT` and
// `--kind K`.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Dump.h"

struct FileArgs {
  std::string input;
  std::string output;
  std::optional<DataKind> kind;
};

// Reads `args` into `out`; on a mistake prints it (or `usage`) on stderr and
// returns false.
bool parseFileArgs(const std::vector<std::string>& args, const char* command, const char* usage, FileArgs& out);
