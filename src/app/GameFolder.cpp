#include "app/GameFolder.h"

#include <filesystem>

namespace fs = std::filesystem;

std::string resolveGameFolder(const std::string& root, std::string& error) {
  std::error_code ec;
  if (!root.empty()) {
    if (fs::is_directory(root, ec)) return root;
    error = "the game folder \"" + root + "\" does not exist";
    return {};
  }
  if (fs::is_directory("data", ec)) return ".";
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    fs::path beside = exe.parent_path() / "game";
    if (fs::is_directory(beside, ec)) return beside.string();
  }
  error = "no game folder: the current folder has no data/ and there is no folder \"game\" beside the program "
          "(use --root DIR)";
  return {};
}
