// tervalen-data sheet [--root GAMEDIR] [--mod PATH|NAME]... ID -o FILE.png
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Command.h"
#include "app/Mods.h"
#include "app/SheetRun.h"
#include "base/GameFolderLayer.h"

namespace fs = std::filesystem;

namespace {

int usage() {
  std::fprintf(stderr, "usage: tervalen-data sheet [--root GAMEDIR] [--mod PATH|NAME]... ID -o FILE.png\n");
  return 2;
}

int runSheet(const std::vector<std::string>& args) {
  std::string root = ".", id, out;
  std::vector<std::string> mods;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--mod" && i + 1 < args.size()) {
      mods.push_back(args[++i]);
    } else if ((a == "-o" || a == "--root") && i + 1 < args.size()) {
      (a == "-o" ? out : root) = args[++i];
    } else if (!a.empty() && a[0] != '-' && id.empty()) {
      id = a;
    } else {
      return usage();
    }
  }
  if (id.empty() || out.empty() || root.empty()) return usage();
  // The output is named from where the tool was started; the game's files
  // are read from the game folder.
  std::error_code ec;
  const fs::path outPath = fs::absolute(out, ec);
  if (ec) {
    std::fprintf(stderr, "tervalen-data sheet: %s: %s\n", out.c_str(), ec.message().c_str());
    return 1;
  }
  if (!fs::is_directory(root, ec)) {
    std::fprintf(stderr, "tervalen-data sheet: %s: not a game folder\n", root.c_str());
    return 1;
  }
  // The mods are opened from where the tool was started, before the change of folder.
  DataLayers layers(std::make_unique<GameFolderLayer>(""));
  std::vector<ModUse> used;
  std::string modError;
  if (!layMods(layers, mods, used, modError)) {
    std::fprintf(stderr, "tervalen-data sheet: %s\n", modError.c_str());
    return 1;
  }
  const fs::path before = fs::current_path(ec);
  fs::current_path(root, ec);
  if (ec) {
    std::fprintf(stderr, "tervalen-data sheet: %s: %s\n", root.c_str(), ec.message().c_str());
    return 1;
  }
  std::string error;
  const bool written =
      writeContactSheet(id, outPath.string(), "log.txt", error, layers.modded() ? &layers : nullptr);
  fs::current_path(before, ec);
  if (!written) {
    std::fprintf(stderr, "tervalen-data sheet: %s: %s\n", id.c_str(), error.c_str());
    return 1;
  }
  std::printf("%s\n", outPath.string().c_str());
  return 0;
}

}  // namespace

TERVALEN_DATA_COMMAND(sheetCommand, "sheet", "sheet [--root GAMEDIR] [--mod PATH|NAME]... ID -o FILE.png",
                      runSheet);
