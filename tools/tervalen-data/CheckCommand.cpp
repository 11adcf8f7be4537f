// tervalen-data check GAMEDIR
#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"
#include "GameChecker.h"
#include "OutputFile.h"

namespace {

int runCheck(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::fprintf(stderr, "usage: tervalen-data check GAMEDIR\n");
    return 2;
  }
  if (std::string why = gameFolderProblem(args[0]); !why.empty()) {
    std::fprintf(stderr, "tervalen-data check: %s: %s\n", args[0].c_str(), why.c_str());
    return 1;
  }
  CheckReport report = checkGameFolder(args[0]);
  for (const CheckProblem& p : report.problems) std::printf("%s\n", p.line().c_str());
  for (const CheckProblem& w : report.warnings) std::printf("%s\n", w.warningLine().c_str());
  const size_t n = report.problems.size(), w = report.warnings.size();
  if (n != 0) {
    std::printf("%zu problem%s", n, n == 1 ? "" : "s");
    if (w != 0) std::printf(", %zu warning%s", w, w == 1 ? "" : "s");
    std::printf("\n");
  } else {
    std::printf("%s\n", report.summary().c_str());
  }
  std::string writeError;
  if (!finishStandardOutput(writeError)) {
    std::fprintf(stderr, "tervalen-data check: %s\n", writeError.c_str());
    return 1;
  }
  return n != 0 ? 1 : 0;
}

}  // namespace

TERVALEN_DATA_COMMAND(checkCommand, "check", "check GAMEDIR", runCheck);
