#include "app/FileWatch.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Folders deeper than this under data/ or pak/ are not looked into.
constexpr int kMaxDepth = 8;

}  // namespace

std::map<std::string, FileWatch::Stamp> FileWatch::snapshot() const {
  std::map<std::string, Stamp> files;
  auto add = [&files](const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return;  // a link to nowhere is no file
    if (!S_ISREG(st.st_mode)) return;
    files[path] = Stamp{static_cast<int64_t>(st.st_size), static_cast<int64_t>(st.st_mtim.tv_sec),
                        static_cast<int64_t>(st.st_mtim.tv_nsec)};
  };
  auto walk = [&](const fs::path& root) {
    std::error_code ec;
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      if (files.size() >= kMaxFiles) return;
      if (it.depth() >= kMaxDepth) it.disable_recursion_pending();
      // Folders are walked into (links to folders are not: a link back up
      // would never end); everything else counts when it is a regular file.
      if (it->is_directory(ec) && !it->is_symlink(ec)) continue;
      add(it->path().string());
    }
  };
  add("pak.zip");
  for (const char* root : {"data", "pak"}) walk(root);
  for (const std::string& mod : mods_) {
    add((fs::path(mod) / "mod.txt").string());
    for (const char* root : {"data", "pak"}) walk(fs::path(mod) / root);
  }
  return files;
}

void FileWatch::look() { files_ = snapshot(); }

std::vector<std::string> FileWatch::changes() {
  std::map<std::string, Stamp> now = snapshot();
  std::vector<std::string> changed;
  for (const auto& [path, stamp] : now) {
    auto before = files_.find(path);
    if (before == files_.end() || !(before->second == stamp)) changed.push_back(path);
  }
  for (const auto& [path, stamp] : files_)
    if (!now.count(path)) changed.push_back(path);
  std::sort(changed.begin(), changed.end());
  files_ = std::move(now);
  return changed;
}
