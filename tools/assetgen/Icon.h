// The window icon: a Windows ICO file with uncompressed 32-bit BMP entries
// (16, 32, 48 and 64 pixels), which SDL2_image reads.
#pragma once

#include <string>

namespace assetgen {

void writeIcon(const std::string& path);

}  // namespace assetgen
