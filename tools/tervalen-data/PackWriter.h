// The game's resource pack: a zip archive whose entries are encrypted with the
// traditional PKWARE scheme under the game's password. Written by hand rather
// than through libzip so that the same files always give the same bytes
// (libzip puts random bytes into every entry's encryption header).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PackEntry {
  std::string name;           // as stored: relative path with '/', GBK bytes
  std::vector<uint8_t> data;
};

// The password the game attaches "pak.zip" with.
inline constexpr const char* kGamePackPassword = "brazenoth";

// The archive of `entries`, in the order given, each stored (not compressed)
// and encrypted. The 12-byte encryption header of each entry is derived from
// its name, content and CRC, so the output depends on nothing else.
std::vector<uint8_t> writePack(const std::vector<PackEntry>& entries, const std::string& password);

// Every file under `dir`, named by its path relative to `dir` (UTF-8 names
// converted to GBK, as the game looks them up), sorted by name. A link inside
// the folder to a file inside it is stored under the link's own name with the
// bytes of that file. False with `error` naming the file when a link leads out
// of the folder, to a folder or nowhere, when something is neither a regular
// file, a folder nor a link, when a file cannot be read, a name has no GBK form
// or could not be stored safely, or the archive would be too large for a plain
// zip file. `skipPath` (the pack being written) is left out.
bool collectPackFolder(const std::string& dir, const std::string& skipPath, std::vector<PackEntry>& entries,
                       std::string& error);

uint32_t crc32Of(const uint8_t* data, size_t size);
