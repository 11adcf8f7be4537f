#include "Canvas.h"

#include "PngFile.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace assetgen {

Canvas::Canvas(int width, int height, Color fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

Color Canvas::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return Color{0, 0, 0, 0};
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

void Canvas::set(int x, int y, Color c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<size_t>(y) * width_ + x] = c;
}

void Canvas::blend(int x, int y, Color c, float coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  float sa = std::clamp(c.a * coverage, 0.0f, 1.0f);
  if (sa <= 0) return;
  Color& d = pixels_[static_cast<size_t>(y) * width_ + x];
  float oa = sa + d.a * (1 - sa);
  if (oa <= 0) {
    d = Color{0, 0, 0, 0};
    return;
  }
  float dw = d.a * (1 - sa);
  d.r = (c.r * sa + d.r * dw) / oa;
  d.g = (c.g * sa + d.g * dw) / oa;
  d.b = (c.b * sa + d.b * dw) / oa;
  d.a = oa;
}

void Canvas::add(int x, int y, Color c, float coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  float k = std::clamp(c.a * coverage, 0.0f, 1.0f);
  if (k <= 0) return;
  Color& d = pixels_[static_cast<size_t>(y) * width_ + x];
  // Light added onto a transparent pixel makes the pixel as opaque as the light is bright.
  float pr = d.r * d.a + c.r * k, pg = d.g * d.a + c.g * k, pb = d.b * d.a + c.b * k;
  float na = std::clamp(std::max({d.a, std::min(1.0f, std::max({pr, pg, pb}))}), 0.0f, 1.0f);
  if (na <= 0) return;
  d.r = std::min(1.0f, pr / na);
  d.g = std::min(1.0f, pg / na);
  d.b = std::min(1.0f, pb / na);
  d.a = na;
}

void Canvas::drawOver(const Canvas& src, int dx, int dy, float opacity) {
  for (int y = 0; y < src.height(); ++y)
    for (int x = 0; x < src.width(); ++x) {
      Color c = src.at(x, y);
      if (c.a > 0) blend(dx + x, dy + y, c, opacity);
    }
}

void Canvas::fadeAlpha(float k) {
  for (Color& c : pixels_) c.a = std::clamp(c.a * k, 0.0f, 1.0f);
}

std::vector<uint8_t> Canvas::rgba8() const {
  std::vector<uint8_t> out(pixels_.size() * 4);
  auto q = [](float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
  for (size_t i = 0; i < pixels_.size(); ++i) {
    const Color& c = pixels_[i];
    uint8_t a = q(c.a);
    out[i * 4 + 0] = a ? q(c.r) : 0;
    out[i * 4 + 1] = a ? q(c.g) : 0;
    out[i * 4 + 2] = a ? q(c.b) : 0;
    out[i * 4 + 3] = a;
  }
  return out;
}

void Canvas::savePng(const std::string& path, PngColours colours) const {
  writePng(path, rgba8(), width_, height_, colours);
}

}  // namespace assetgen
