// The game's entry: options, the game folder, then the run.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/App.h"
#include "app/GameFolder.h"
#include "app/Options.h"

int main(int argc, char** argv) {
  Options options;
  std::string error;
  switch (parseOptions(argc, argv, options, error)) {
    case ParseResult::Help:
      std::fputs(usageText().c_str(), stdout);
      return kExitPlayed;
    case ParseResult::UsageError:
      std::fprintf(stderr, "tervalen: %s\n\n%s", error.c_str(), usageText().c_str());
      return kExitUsage;
    case ParseResult::Run:
      break;
  }
  GameFolder folder = resolveGameFolder(options.root, runningProgramPath(), error);
  if (folder.path.empty()) {
    std::fprintf(stderr, "tervalen: %s\n", error.c_str());
    return kExitCannotStart;
  }
  makePathsAbsolute(options);
  if (chdir(folder.path.c_str()) != 0) {
    std::perror(("tervalen: cannot enter the game folder " + folder.path).c_str());
    return kExitCannotStart;
  }
  return runGame(options, logFileFor(folder));
}
