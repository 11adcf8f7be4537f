// The modder's subcommands: decompile, compile, check and pack.
#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"

namespace {

int notReady(const char* what) {
  std::fprintf(stderr, "tervalen-data %s: not available in this build yet\n", what);
  return 1;
}

int runDecompile(const std::vector<std::string>&) { return notReady("decompile"); }
int runCompile(const std::vector<std::string>&) { return notReady("compile"); }
int runCheck(const std::vector<std::string>&) { return notReady("check"); }
int runPack(const std::vector<std::string>&) { return notReady("pack"); }

}  // namespace

TERVALEN_DATA_COMMAND(decompileCommand, "decompile", "decompile FILE.dat [-o OUT] [--kind chara|scene|res|system]",
                      runDecompile);
TERVALEN_DATA_COMMAND(compileCommand, "compile", "compile SOURCE -o FILE.dat [--kind chara|scene|res|system]",
                      runCompile);
TERVALEN_DATA_COMMAND(checkCommand, "check", "check GAMEDIR", runCheck);
TERVALEN_DATA_COMMAND(packCommand, "pack", "pack DIR -o pak.zip", runPack);
