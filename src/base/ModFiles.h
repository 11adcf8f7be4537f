// The files of a mod (a folder or a zip file), listed and checked once when
// it is opened: every path plain and inside the mod, no links, no two paths
// that differ only in case, and a bounded number and size. Reads then go only
// to the files of that list.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/LayerSource.h"

// The most files a mod may hold, and their most bytes together: far beyond a
// mod of new characters and scenes, and a bound on what a hostile one costs.
constexpr size_t kMaxModFiles = 10000;
constexpr uint64_t kMaxModBytes = 512ull << 20;

// Why `relative` (as a mod stores it) cannot name a file of the mod, or "":
// empty, absolute, a ".." or "." part, a backslash, a control byte, not UTF-8.
std::string modPathProblem(const std::string& relative);

class ModFiles : public LayerSource {
 public:
  bool has(const std::string& relative) const override { return files_.count(relative) != 0; }
  std::vector<std::string> list(const std::string& folder) const override;
  std::string where() const override { return where_; }
  // Every file's relative path, sorted.
  const std::set<std::string>& files() const { return files_; }

 protected:
  explicit ModFiles(std::string where) : where_(std::move(where)) {}
  // Adds one file of `bytes` bytes; false with `error` (naming the mod and the
  // path) when the mod cannot hold it.
  bool add(const std::string& relative, uint64_t bytes, std::string& error);

 private:
  std::string where_;
  std::set<std::string> files_;
  std::map<std::string, std::string> folded_;  // lower-case path -> the path as stored
  uint64_t bytes_ = 0;
};

// A mod that is a folder on disk.
class ModFolder final : public ModFiles {
 public:
  // nullptr with `error` when the folder cannot be a mod.
  static std::unique_ptr<ModFolder> open(const std::string& folder, std::string& error);
  Expected<std::vector<uint8_t>> read(const std::string& relative, uint64_t limit) const override;

 private:
  explicit ModFolder(std::string folder) : ModFiles(folder), folder_(std::move(folder)) {}
  std::string folder_;
};
