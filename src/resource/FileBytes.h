// Whole-file reading for the data readers: byte for byte, no text-mode translation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resource/LoadError.h"

// The file's bytes, or an error naming the file ("cannot open: <reason>").
Expected<std::vector<uint8_t>> readFileBytes(const std::string& path);
