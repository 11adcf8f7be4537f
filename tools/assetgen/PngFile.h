#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

enum class PngColours {
  Exact,      // every pixel as drawn
  Quantised,  // more than 256 colours are brought down to 256 chosen ones, dithered
};

// PNG bytes of an 8-bit RGBA picture (row after row, 4 bytes a pixel), as small
// as zlib's best level makes them without losing a bit: a picture of at most
// 256 different colours (alpha counted) is written with a palette, any other
// as RGBA (or, if Quantised, with 256 colours chosen for it); each form tries the row filters that suit it and keeps the smaller.
// The same pixels always give the same bytes. Throws std::runtime_error.
std::vector<uint8_t> encodePng(const std::vector<uint8_t>& rgba, int width, int height,
                               PngColours colours = PngColours::Exact);

// encodePng written to a file; throws std::runtime_error naming the file.
void writePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height,
              PngColours colours = PngColours::Exact);

}  // namespace assetgen
