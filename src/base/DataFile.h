// Reading one data file from disk into its record: the bounded read, the
// parse, and the warning for bytes after the last record, which the game
// ignores (a stray byte at the end must not make an enemy vanish).
#pragma once

#include <string>

#include "base/FileBytes.h"
#include "format/LoadError.h"

// `parse(bytes, path)` returns Expected<Record>; Record has a `trailing` member.
// `warn(line)` receives the trailing-bytes warning, if there is one.
template <class Parse, class Warn>
auto readDataFile(const std::string& path, Parse&& parse, Warn&& warn) -> decltype(parse(std::vector<uint8_t>{}, path)) {
  auto bytes = readFileBytes(path);
  if (!bytes) return bytes.error();
  auto parsed = parse(*bytes, path);
  if (parsed && !parsed->trailing.empty()) warn(trailingBytesWarning(path, bytes->size(), parsed->trailing.size()));
  return parsed;
}
