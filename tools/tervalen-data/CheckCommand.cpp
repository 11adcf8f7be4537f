// tervalen-data check GAMEDIR [--sources DIR]
#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"
#include "GameChecker.h"
#include "OutputFile.h"
#include "SourceLines.h"

namespace {

int runCheck(const std::vector<std::string>& args) {
  std::string sources;
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--sources" && i + 1 < args.size() && !args[i + 1].empty())
      sources = args[++i];
    else
      rest.push_back(args[i]);
  }
  if (rest.size() != 1 || rest[0].empty() || rest[0][0] == '-') {
    std::fprintf(stderr, "usage: tervalen-data check GAMEDIR [--sources DIR]\n");
    return 2;
  }
  const std::vector<std::string>& folder = rest;
  if (std::string why = gameFolderProblem(folder[0]); !why.empty()) {
    std::fprintf(stderr, "tervalen-data check: %s: %s\n", folder[0].c_str(), why.c_str());
    return 1;
  }
  CheckReport report = checkGameFolder(folder[0]);
  // With the sources, each finding starts with the line that made it.
  SourceLines lines(sources);
  auto placed = [&](const CheckProblem& p, const std::string& text) {
    const std::string at = sources.empty() ? std::string() : lines.place(p.file, p.where);
    return at.empty() ? text : at + ": " + text;
  };
  for (const CheckProblem& p : report.problems) std::printf("%s\n", placed(p, p.line()).c_str());
  for (const CheckProblem& w : report.warnings) std::printf("%s\n", placed(w, w.warningLine()).c_str());
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

TERVALEN_DATA_COMMAND(checkCommand, "check", "check GAMEDIR [--sources DIR]", runCheck);
