// What --watch looks at: the files under data/, the pack pak.zip and the
// loose pictures and sounds under pak/, each with its size and modification
// time, and the same of each mod that is a folder (a zip mod is a finished
// package: it is read once). Comparing two looks tells which files changed,
// came or went.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class FileWatch {
 public:
  // At most this many files are looked at: far beyond any game folder.
  static constexpr size_t kMaxFiles = 20000;

  // Also looks at these mod folders (their mod.txt, data/ and pak/).
  void addModFolders(std::vector<std::string> folders) { mods_ = std::move(folders); }
  // Looks at the files of the game folder (the current folder) now.
  void look();
  // Looks again; the paths that changed, came or went since the last look,
  // in name order (empty when nothing did).
  std::vector<std::string> changes();

 private:
  struct Stamp {
    int64_t size = 0;
    int64_t seconds = 0, nanoseconds = 0;
    bool operator==(const Stamp& o) const {
      return size == o.size && seconds == o.seconds && nanoseconds == o.nanoseconds;
    }
  };
  std::map<std::string, Stamp> snapshot() const;

  std::map<std::string, Stamp> files_;
  std::vector<std::string> mods_;
};
