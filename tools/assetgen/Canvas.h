// A picture being drawn: straight RGBA floats, composited with "over" or
// additive painting, saved as PNG or handed out as 8-bit pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Color.h"
#include "PngFile.h"

namespace assetgen {

class Canvas {
 public:
  Canvas(int width, int height, Color fill = Color{0, 0, 0, 0});

  int width() const { return width_; }
  int height() const { return height_; }
  Color at(int x, int y) const;
  void set(int x, int y, Color c);

  // Paints c over the pixel with the given coverage (0..1).
  void blend(int x, int y, Color c, float coverage);
  // Adds c's colour, weighted by its alpha and the coverage (light).
  void add(int x, int y, Color c, float coverage);

  // Draws another canvas over this one with its top-left corner at (dx, dy).
  void drawOver(const Canvas& src, int dx, int dy, float opacity = 1.0f);
  // Multiplies every pixel's alpha by k.
  void fadeAlpha(float k);

  // 8-bit RGBA bytes, row after row, rounded the same way on every run.
  std::vector<uint8_t> rgba8() const;
  // Writes a PNG (PngFile.h); throws std::runtime_error naming the file on failure.
  void savePng(const std::string& path, PngColours colours = PngColours::Exact) const;

 private:
  int width_, height_;
  std::vector<Color> pixels_;
};

}  // namespace assetgen
