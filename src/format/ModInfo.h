// mod.txt: how a mod names itself. UTF-8 `key = value` lines, as the rules
// file: `name` (a plain name: letters, digits, '-', '_', '.'), `description`
// (one line) and `game` (the game version it was made for).
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "format/LoadError.h"

inline constexpr const char* kModInfoFile = "mod.txt";
// The most bytes of a mod.txt: a name, a line and a version.
constexpr size_t kMaxModInfoBytes = 4096;
// The longest mod name.
constexpr size_t kMaxModNameBytes = 64;

struct ModInfo {
  std::string name;
  std::string description;
  std::string gameVersion;
};

// Why `name` cannot name a mod, or "".
std::string modNameProblem(const std::string& name);

// The mod's own words; an error (offset: the line) for a file that is too big,
// not UTF-8, lacks a key, gives one twice or gives one the game does not know.
Expected<ModInfo> parseModInfo(std::span<const uint8_t> bytes, const std::string& file);
