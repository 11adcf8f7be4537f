// What `check` learns about files without reading them: whether a path on
// disk is a regular file the game can read (and how big), and the
// uncompressed size of every entry of a pack.
#pragma once

#include <cstdint>
#include <map>
#include <string>

// No picture, sound or music file comes anywhere near this; a file or pack
// entry beyond it is a mistake (or a trap: the game would inflate it).
constexpr uint64_t kMaxMediaBytes = 64ull << 20;

struct DiskFile {
  enum State { Missing, Regular, NotRegular } state = Missing;
  uint64_t size = 0;  // for a regular file
};

// The file at `path` as the game's open would find it (links followed).
DiskFile diskFile(const std::string& path);

// "64 MiB" for whole MiB, else "12345 bytes".
std::string byteCount(uint64_t bytes);

// The uncompressed size of every file entry of the zip archive at `path`, by
// its name as the game looks it up (packKey). False with `error` set when
// the archive cannot be opened.
bool packEntrySizes(const std::string& path, std::map<std::string, uint64_t>& sizes, std::string& error);
