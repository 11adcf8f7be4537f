// Whole-file reading for the data readers: byte for byte, no text-mode
// translation, regular files only and never more than kMaxFileBytes, so a data
// file that is a device, a FIFO or a link to one cannot block or exhaust the game.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format/LoadError.h"

// The largest file (or pack entry) the game reads into memory: 256 MiB.
constexpr uint64_t kMaxFileBytes = 256ull << 20;

// The file's bytes, or an error naming the file: "cannot open: <reason>",
// "not a regular file", "larger than 256 MiB", "cannot read: <reason>".
// `limit` lowers the bound for callers that expect small files.
Expected<std::vector<uint8_t>> readFileBytes(const std::string& path, uint64_t limit = kMaxFileBytes);
