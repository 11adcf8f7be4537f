// The game's icon, one drawing in every form it is needed in:
//   - the window icon: a Windows ICO file with uncompressed 32-bit BMP entries
//     (16, 32, 48 and 64 pixels), which SDL2_image reads;
//   - the desktop's icons: PNG files of 16 to 256 pixels and the same emblem as
//     an SVG drawing of circles and polygons, for the hicolor icon theme.
#pragma once

#include <string>

namespace assetgen {

class Manifest;

void writeIcon(const std::string& path);

// icons/tervalen-N.png for N in 16, 32, 48, 64, 128, 256, and icons/tervalen.svg.
void writeDesktopIcons(const Manifest& manifest);

}  // namespace assetgen
