#include "app/ScoresFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/FileBytes.h"
#include "base/ReplaceFile.h"
#include "engine/UserFolders.h"

namespace {

// Ten lines of a few dozen bytes; anything much larger is not a table.
constexpr uint64_t kMaxScoresBytes = 16 * 1024;
constexpr int kMaxAsideNames = 100;

// Renames a damaged table out of the way under a name nothing else has.
std::string keepAside(const std::filesystem::path& file) {
  for (int n = 1; n <= kMaxAsideNames; ++n) {
    const std::string aside = file.string() + ".damaged" + (n == 1 ? "" : "-" + std::to_string(n));
    struct stat st {};
    if (::lstat(aside.c_str(), &st) == 0 || errno != ENOENT) continue;
    if (std::rename(file.c_str(), aside.c_str()) == 0) return aside;
    return "";
  }
  return "";
}

}  // namespace

std::filesystem::path scoresFilePath() {
  const std::filesystem::path folder = userStateFolder();
  return folder.empty() ? folder : folder / "scores.txt";
}

HighScores loadHighScores(const std::filesystem::path& file, const ScoresLog& log) {
  if (file.empty()) {
    log("No home folder: high scores are kept for this run only");
    return {};
  }
  struct stat st {};
  if (::lstat(file.c_str(), &st) != 0) {
    if (errno != ENOENT) log("High scores not read: " + file.string() + ": " + std::strerror(errno));
    return {};
  }
  if (!S_ISREG(st.st_mode)) {
    log("High scores not read: " + file.string() + ": " + fileKindOf(st.st_mode) +
        "; left as it is, and this run's scores are not kept");
    return {};
  }
  std::string why;
  Expected<std::vector<uint8_t>> bytes = readFileBytes(file.string(), kMaxScoresBytes);
  HighScores table;
  if (bytes) {
    if (HighScores::parse(std::string(bytes->begin(), bytes->end()), table, why)) return table;
  } else {
    why = bytes.error().what;
  }
  const std::string aside = keepAside(file);
  log("High scores damaged: " + file.string() + ": " + why + "; " +
      (aside.empty() ? std::string("it could not be kept aside") : "kept as " + aside) + ", a fresh table begins");
  return {};
}

bool saveHighScores(const std::filesystem::path& file, const HighScores& table, std::string& error) {
  if (file.empty()) {
    error = "no home folder to keep high scores in";
    return false;
  }
  if (!makeUserFolder(file.parent_path(), error)) return false;
  const std::string text = table.text();
  return replaceRegularFile(file.string(), std::vector<uint8_t>(text.begin(), text.end()), error);
}
