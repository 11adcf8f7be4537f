#include "app/GameFolder.h"

#include <filesystem>

#include "engine/UserFolders.h"

namespace fs = std::filesystem;

namespace {

// PREFIX/share/tervalen for a program in PREFIX/games (or PREFIX/bin).
fs::path installedFolderOf(const fs::path& program) {
  return program.parent_path().parent_path() / "share" / "tervalen";
}

bool sameFolder(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace

GameFolder resolveGameFolder(const std::string& root, const std::string& program, std::string& error) {
  std::error_code ec;
  GameFolder found;
  fs::path installed = program.empty() ? fs::path() : installedFolderOf(program);
  if (!root.empty()) {
    if (!fs::is_directory(root, ec)) {
      error = "the game folder \"" + root + "\" does not exist";
      return {};
    }
    found.path = root;
  } else if (fs::is_directory("data", ec)) {
    found.path = ".";
  } else if (!program.empty() && fs::is_directory(fs::path(program).parent_path() / "game", ec)) {
    found.path = (fs::path(program).parent_path() / "game").string();
  } else if (!installed.empty() && fs::is_directory(installed, ec)) {
    found.path = installed.lexically_normal().string();
  } else {
    fs::path bin = fs::path(program).parent_path();
    error = "no game folder: the current folder has no data/";
    if (!program.empty())
      error += ", there is no folder \"game\" beside the program in " + bin.string() + ", and no installed game in " +
               installed.lexically_normal().string();
    error += " (use --root DIR)";
    return {};
  }
  // However it was reached (--root, or run from inside it), the installed folder stays untouched.
  found.installed = !installed.empty() && sameFolder(found.path, installed);
  return found;
}

std::string runningProgramPath() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

std::string logFileFor(const GameFolder& folder) {
  if (!folder.installed) return "log.txt";
  fs::path state = userStateFolder();
  return state.empty() ? std::string() : (state / "log.txt").string();
}
