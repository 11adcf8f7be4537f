#include "base/GameFolderLayer.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "base/FileBytes.h"

namespace fs = std::filesystem;

std::string GameFolderLayer::path(const std::string& relative) const {
  return folder_.empty() || folder_ == "." ? relative : (fs::path(folder_) / relative).string();
}

bool GameFolderLayer::has(const std::string& relative) const {
  // A link to nowhere, a FIFO or a folder in a file's place is there too:
  // reading it says what is wrong.
  struct stat st {};
  return ::lstat(path(relative).c_str(), &st) == 0;
}

Expected<std::vector<uint8_t>> GameFolderLayer::read(const std::string& relative, uint64_t limit) const {
  return readFileBytes(path(relative), limit);
}

std::vector<std::string> GameFolderLayer::list(const std::string& folder) const {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(path(folder), ec); !ec && it != fs::directory_iterator(); it.increment(ec))
    names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
