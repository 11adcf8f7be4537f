#include "base/ModFiles.h"

#include <sys/stat.h>

#include <filesystem>

#include "base/FileBytes.h"
#include "format/JsonText.h"

namespace fs = std::filesystem;

namespace {

// Folders deeper than this are not looked into: no mod needs them.
constexpr size_t kMaxModDepth = 16;

std::string lowered(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

std::string modPathProblem(const std::string& relative) {
  if (relative.empty()) return "an empty path";
  if (relative[0] == '/') return "an absolute path";
  if (relative.find('\\') != std::string::npos) return "a backslash in the path";
  for (unsigned char c : relative)
    if (c < 0x20 || c == 0x7f) return "a control character in the path";
  if (!isUtf8(relative)) return "a path that is not UTF-8";
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = relative.find('/', start);
    if (end == std::string::npos) end = relative.size();
    const std::string part = relative.substr(start, end - start);
    if (part == "..") return "a \"..\" in the path (a mod's files stay inside it)";
    if (part == "." || part.empty()) return "an empty or \".\" part in the path";
    start = end + 1;
  }
  return {};
}

std::vector<std::string> ModFiles::list(const std::string& folder) const {
  std::vector<std::string> names;
  const std::string prefix = folder + "/";
  for (auto it = files_.lower_bound(prefix); it != files_.end() && it->rfind(prefix, 0) == 0; ++it)
    if (it->find('/', prefix.size()) == std::string::npos) names.push_back(it->substr(prefix.size()));
  return names;
}

bool ModFiles::add(const std::string& relative, uint64_t bytes, std::string& error) {
  if (std::string why = modPathProblem(relative); !why.empty()) {
    error = where_ + ": \"" + relative + "\": " + why;
    return false;
  }
  if (files_.size() >= kMaxModFiles) {
    error = where_ + ": more than " + std::to_string(kMaxModFiles) + " files: too many for a mod";
    return false;
  }
  if (bytes > kMaxModBytes - bytes_) {
    error = where_ + ": its files come to more than " + std::to_string(kMaxModBytes >> 20) + " MiB: too much for a mod";
    return false;
  }
  auto [at, fresh] = folded_.emplace(lowered(relative), relative);
  if (!fresh) {
    error = where_ + ": \"" + relative + "\" and \"" + at->second +
            "\" differ only in case: the game could load either, so a mod may hold only one";
    return false;
  }
  bytes_ += bytes;
  files_.insert(relative);
  return true;
}

std::unique_ptr<ModFolder> ModFolder::open(const std::string& folder, std::string& error) {
  std::unique_ptr<ModFolder> mod(new ModFolder(folder));
  // Depth first, without following links: a link could lead anywhere.
  std::vector<std::pair<fs::path, size_t>> todo = {{fs::path(folder), 0}};
  while (!todo.empty()) {
    auto [dir, depth] = todo.back();
    todo.pop_back();
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec) {
      error = dir.string() + ": cannot list: " + ec.message();
      return nullptr;
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
      if (ec) {
        error = dir.string() + ": cannot list: " + ec.message();
        return nullptr;
      }
      const fs::path p = it->path();
      const std::string relative = p.lexically_relative(folder).generic_string();
      struct stat st {};
      if (::lstat(p.c_str(), &st) != 0) {
        error = folder + ": \"" + relative + "\": cannot be read";
        return nullptr;
      }
      if (S_ISLNK(st.st_mode)) {
        error = folder + ": \"" + relative + "\" is a link: a mod's files are read only from inside it";
        return nullptr;
      }
      if (S_ISDIR(st.st_mode)) {
        if (depth + 1 > kMaxModDepth) {
          error = folder + ": \"" + relative + "\": folders nested too deep for a mod";
          return nullptr;
        }
        todo.emplace_back(p, depth + 1);
        continue;
      }
      if (!S_ISREG(st.st_mode)) {
        error = folder + ": \"" + relative + "\" is not a regular file";
        return nullptr;
      }
      if (!mod->add(relative, static_cast<uint64_t>(st.st_size), error)) return nullptr;
    }
  }
  return mod;
}

Expected<std::vector<uint8_t>> ModFolder::read(const std::string& relative, uint64_t limit) const {
  if (!has(relative)) return LoadError{(fs::path(folder_) / relative).string(), 0, "not in the mod"};
  return readFileBytes((fs::path(folder_) / relative).string(), limit);
}
