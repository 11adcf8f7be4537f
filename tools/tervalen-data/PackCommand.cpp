// tervalen-data pack DIR -o pak.zip
#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"
#include "OutputFile.h"
#include "PackWriter.h"

namespace {

int runPack(const std::vector<std::string>& args) {
  std::string dir, output;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      output = args[++i];
    } else if (dir.empty() && !args[i].empty() && args[i][0] != '-') {
      dir = args[i];
    } else {
      dir.clear();
      break;
    }
  }
  if (dir.empty() || output.empty()) {
    std::fprintf(stderr, "usage: tervalen-data pack DIR -o pak.zip\n");
    return 2;
  }
  std::vector<PackEntry> entries;
  std::string error;
  if (!collectPackFolder(dir, output, entries, error)) {
    std::fprintf(stderr, "tervalen-data pack: %s\n", error.c_str());
    return 1;
  }
  if (!writeWholeFile(output, writePack(entries, kGamePackPassword), error)) {
    std::fprintf(stderr, "tervalen-data pack: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s: %zu files\n", output.c_str(), entries.size());
  return 0;
}

}  // namespace

TERVALEN_DATA_COMMAND(packCommand, "pack", "pack DIR -o pak.zip", runPack);
