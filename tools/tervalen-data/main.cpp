// tervalen-data: the modder's tool for the game's data files.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Command.h"

static void usage(FILE* out) {
  std::fprintf(out, "usage: tervalen-data COMMAND [ARGS]\ncommands:\n");
  for (const DataCommand& c : dataCommands()) std::fprintf(out, "  tervalen-data %s\n", c.usage);
}

int main(int argc, char** argv) {
  if (argc < 2) {
    usage(stderr);
    return 2;
  }
  if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
    usage(stdout);
    return 0;
  }
  for (const DataCommand& c : dataCommands()) {
    if (std::strcmp(c.name, argv[1]) == 0) return c.run(std::vector<std::string>(argv + 2, argv + argc));
  }
  std::fprintf(stderr, "tervalen-data: unknown command '%s'\n", argv[1]);
  usage(stderr);
  return 2;
}
