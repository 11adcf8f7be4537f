// tervalen-data check GAMEDIR
#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"
#include "GameChecker.h"

namespace {

int runCheck(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::fprintf(stderr, "usage: tervalen-data check GAMEDIR\n");
    return 2;
  }
  CheckReport report = checkGameFolder(args[0]);
  for (const CheckProblem& p : report.problems) std::printf("%s\n", p.line().c_str());
  if (!report.problems.empty()) {
    std::printf("%zu problem%s\n", report.problems.size(), report.problems.size() == 1 ? "" : "s");
    return 1;
  }
  std::printf("%s\n", report.summary().c_str());
  return 0;
}

}  // namespace

TERVALEN_DATA_COMMAND(checkCommand, "check", "check GAMEDIR", runCheck);
