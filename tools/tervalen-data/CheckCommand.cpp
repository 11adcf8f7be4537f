// tervalen-data check GAMEDIR [--sources DIR] [--strict] [--mod PATH|NAME]... [--list-mods]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Command.h"
#include "GameChecker.h"
#include "OutputFile.h"
#include "SourceCheck.h"
#include "app/Mods.h"
#include "base/GameFolderLayer.h"
#include "SourceLines.h"

namespace {

const char* const kUsage =
    "usage: tervalen-data check GAMEDIR [--sources DIR] [--strict] [--mod PATH|NAME]... [--list-mods]\n";

// --list-mods: each installed mod, its words, and whether the game folder with it passes check.
int listMods(const std::string& gameDir) {
  const std::vector<InstalledMod> mods = installedMods();
  if (mods.empty()) std::printf("no mods installed in %s\n", installedModsFolder().string().c_str());
  for (const InstalledMod& m : mods) {
    if (!m.mod) {
      std::printf("%s: cannot be used: %s\n", m.entry.c_str(), m.error.c_str());
      continue;
    }
    DataLayers layers(std::make_unique<GameFolderLayer>(gameDir));
    std::vector<ModUse> used;
    std::string error;
    const std::string name = m.mod->use.info.name;
    std::string verdict;
    if (!layMods(layers, {m.mod->use.where}, used, error)) {
      verdict = "cannot be used: " + error;
    } else {
      const CheckReport r = checkGameFolder(gameDir, &layers);
      verdict = r.problems.empty() ? "passes check" : std::to_string(r.problems.size()) + " problems (check --mod " + name + ")";
      if (!r.warnings.empty()) verdict += ", " + std::to_string(r.warnings.size()) + " warnings";
    }
    std::printf("%s: %s [%s]\n", name.c_str(), m.mod->use.info.description.c_str(), verdict.c_str());
  }
  std::string writeError;
  if (!finishStandardOutput(writeError)) {
    std::fprintf(stderr, "tervalen-data check: %s\n", writeError.c_str());
    return 1;
  }
  return 0;
}

int runCheck(const std::vector<std::string>& args) {
  std::string sources;
  bool strict = false, list = false;
  std::vector<std::string> mods;
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--sources" && i + 1 < args.size() && !args[i + 1].empty())
      sources = args[++i];
    else if (args[i] == "--strict")
      strict = true;
    else if (args[i] == "--mod" && i + 1 < args.size() && !args[i + 1].empty())
      mods.push_back(args[++i]);
    else if (args[i] == "--list-mods")
      list = true;
    else
      rest.push_back(args[i]);
  }
  if (rest.size() != 1 || rest[0].empty() || rest[0][0] == '-') {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::vector<std::string>& folder = rest;
  if (std::string why = gameFolderProblem(folder[0]); !why.empty()) {
    std::fprintf(stderr, "tervalen-data check: %s: %s\n", folder[0].c_str(), why.c_str());
    return 1;
  }
  if (list) return listMods(folder[0]);
  // The mods over the game folder, as the game would lay them.
  DataLayers layers(std::make_unique<GameFolderLayer>(folder[0]));
  std::vector<ModUse> used;
  std::string modError;
  if (!layMods(layers, mods, used, modError)) {
    std::fprintf(stderr, "tervalen-data check: %s\n", modError.c_str());
    return 1;
  }
  CheckReport report = checkGameFolder(folder[0], layers.modded() ? &layers : nullptr);
  if (!sources.empty()) {
    if (std::error_code ec; !std::filesystem::is_directory(sources, ec)) {
      std::fprintf(stderr, "tervalen-data check: %s: the sources folder does not exist or is not a folder\n",
                   sources.c_str());
      return 1;
    }
    // With mods, the sources are the top mod's: its folder holds what they compile to.
    const std::string compiled = used.empty() ? folder[0] : used.back().where;
    if (used.empty() || std::filesystem::is_directory(compiled)) checkSources(compiled, sources, report);
    for (auto* list : {&report.problems, &report.warnings})
      std::stable_sort(list->begin(), list->end(),
                       [](const CheckProblem& a, const CheckProblem& b) { return a.file < b.file; });
  }
  // With the sources, each finding starts with the line that made it.
  SourceLines lines(sources);
  // With mods, only the top mod's files are its sources' ('mod "alley": data/...').
  const std::string topLabel = used.empty() ? std::string() : "mod \"" + used.back().info.name + "\": ";
  auto sourceFile = [&](const std::string& file) -> std::string {
    if (used.empty()) return file;
    return file.rfind(topLabel, 0) == 0 ? file.substr(topLabel.size()) : std::string();
  };
  auto placed = [&](const CheckProblem& p, const std::string& text) {
    const std::string file = sourceFile(p.file);
    const std::string at = !p.place.empty()                  ? p.place
                           : sources.empty() || file.empty() ? std::string()
                                                             : lines.place(file, p.where);
    return at.empty() ? text : at + ": " + text;
  };
  for (const CheckProblem& p : report.problems) std::printf("%s\n", placed(p, p.line()).c_str());
  for (const CheckProblem& w : report.warnings) std::printf("%s\n", placed(w, w.warningLine()).c_str());
  for (const CheckProblem& n : report.notes)
    std::printf("%s\n", placed(n, n.file + ": " + n.where + ": note: " + n.message).c_str());
  const size_t w = report.warnings.size();
  // --strict: a warning fails the check too (for scripts and a mod's CI).
  const size_t n = report.problems.size() + (strict ? w : 0);
  if (n != 0) {
    const size_t p = report.problems.size();
    std::printf("%zu problem%s", p, p == 1 ? "" : "s");
    if (w != 0) std::printf(", %zu warning%s%s", w, w == 1 ? "" : "s", strict ? " (--strict: warnings fail)" : "");
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

TERVALEN_DATA_COMMAND(checkCommand, "check",
                      "check GAMEDIR [--sources DIR] [--strict] [--mod PATH|NAME]... [--list-mods]", runCheck);
