// The picture sets the game can load, read from "data/res.dat". A set is a
// folder "pak/<name>/" with pictures in "hta/" and sounds in "hte/"; sets,
// pictures and sounds are addressed by their position, from 0.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "format/CountLog.h"
#include "format/LoadError.h"

struct ResourceEntry {
  std::string name;                   // folder under "pak/" (GBK bytes)
  std::vector<std::string> pictures;  // file names under "hta/"
  std::vector<std::string> sounds;    // file names under "hte/"
};

struct ResourceCatalog {
  std::vector<ResourceEntry> entries;
  std::string trailing;  // bytes after the last entry: never read by the game, kept for tools
  // The set with that number, or nullptr outside the catalog.
  const ResourceEntry* entry(int32_t number) const;
};

// The file layout: lastEntry, then per entry a name, lastPicture + 1 names and
// lastSound + 1 names (the counts store the last index; -1 or less means none).
Expected<ResourceCatalog> parseResourceCatalog(std::span<const uint8_t> bytes, const std::string& file,
                                               CountLog* counts = nullptr);
std::vector<uint8_t> writeResourceCatalog(const ResourceCatalog& catalog, const CountLog* counts = nullptr);
