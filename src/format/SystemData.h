// "data/system.dat": a list of strings the world keeps for its whole life.
// Unlike the resource list, the count is the true number of strings.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "format/CountLog.h"
#include "format/LoadError.h"

struct SystemData {
  std::vector<std::string> strings;
  std::string trailing;  // bytes after the last string: never read by the game, kept for tools
};

Expected<SystemData> parseSystemData(std::span<const uint8_t> bytes, const std::string& file,
                                     CountLog* counts = nullptr);
std::vector<uint8_t> writeSystemData(const SystemData& data, const CountLog* counts = nullptr);
