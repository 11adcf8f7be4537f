#include "Icon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "Canvas.h"
#include "Manifest.h"
#include "Raster.h"

namespace assetgen {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 255);
  out.push_back((v >> 8) & 255);
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// The emblem, on a square 64 units wide: a fist-red medallion with a dark rim
// and a soft highlight, and a bold white T of two strokes with a dark edge.
// The rasteriser draws it for the ICO and PNG icons; the SVG icon is written
// from the same numbers.
struct Stroke {
  Vec2 a;
  float ra;
  Vec2 b;
  float rb;
};
constexpr Vec2 kCentre{32, 32};
constexpr float kRimRadius = 31, kFaceRadius = 27.5f;
constexpr Color kRim = rgb(0x1A1420), kFaceTop = rgb(0xF05A3C), kFaceBottom = rgb(0x8A1620);
constexpr float kFaceTopY = 4, kFaceBottomY = 60;
constexpr Vec2 kGlowCentre{26, 24};
constexpr float kGlowRadius = 14;
constexpr Color kGlow = rgb(0xFFD0A0, 0.25f);
constexpr Stroke kLetter[] = {{{18, 20}, 4.6f, {46, 20}, 4.6f}, {{32, 20}, 4.6f, {32, 46}, 4.0f}};
constexpr float kEdge = 2;
constexpr Color kEdgeColour = rgb(0x2A0A10), kLetterTop = rgb(0xFFFFFF), kLetterBottom = rgb(0xFFD890);
constexpr float kLetterTopY = 14, kLetterBottomY = 50;

Canvas drawEmblem(int size) {
  Canvas c(size, size);
  float s = size / 64.0f;
  auto at = [s](Vec2 p) { return Vec2{p.x * s, p.y * s}; };
  fill(c, circleShape(at(kCentre), kRimRadius * s), kRim);
  fill(c, circleShape(at(kCentre), kFaceRadius * s),
       verticalGradient(kFaceTopY * s, kFaceTop, kFaceBottomY * s, kFaceBottom));
  fill(c, circleShape(at(kGlowCentre), kGlowRadius * s), kGlow);
  Shape t;
  for (const Stroke& k : kLetter) t.add(capsuleShape(at(k.a), k.ra * s, at(k.b), k.rb * s));
  // The edge stays at least a pixel wide in the smallest icons.
  fill(c, grownShape(t, std::max(1.0f, kEdge * s)), kEdgeColour);
  fill(c, t, verticalGradient(kLetterTopY * s, kLetterTop, kLetterBottomY * s, kLetterBottom));
  return c;
}

// ---- the SVG form ----

std::string number(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", static_cast<double>(v));
  std::string out = text;
  while (out.back() == '0') out.pop_back();
  if (out.back() == '.') out.pop_back();
  return out == "-0" ? "0" : out;
}

std::string hex(Color c) {
  auto q = [](float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", q(c.r), q(c.g), q(c.b));
  return text;
}

std::string circleElement(Vec2 c, float r) {
  return "<circle cx=\"" + number(c.x) + "\" cy=\"" + number(c.y) + "\" r=\"" + number(r) + "\"/>";
}

// A stroke as the rasteriser's capsule is: its two end circles and the band
// between their outer tangents.
std::string strokeElements(const Stroke& k, float grow) {
  float ra = k.ra + grow, rb = k.rb + grow;
  Vec2 d = k.b - k.a;
  float len = length(d);
  Vec2 u = d * (1 / len), p{-u.y, u.x};
  float along = (ra - rb) / len, across = std::sqrt(1 - along * along);
  Vec2 n1 = u * along + p * across, n2 = u * along - p * across;
  Vec2 band[] = {k.a + n1 * ra, k.b + n1 * rb, k.b + n2 * rb, k.a + n2 * ra};
  std::string points;
  for (Vec2 v : band) points += (points.empty() ? "" : " ") + number(v.x) + "," + number(v.y);
  return circleElement(k.a, ra) + circleElement(k.b, rb) + "<polygon points=\"" + points + "\"/>";
}

std::string gradientElement(const char* id, float y0, Color top, float y1, Color bottom) {
  return std::string("<linearGradient id=\"") + id + "\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"" +
         number(y0) + "\" x2=\"0\" y2=\"" + number(y1) + "\"><stop offset=\"0\" stop-color=\"" + hex(top) +
         "\"/><stop offset=\"1\" stop-color=\"" + hex(bottom) + "\"/></linearGradient>";
}

std::string emblemSvg() {
  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n"
      "<title>Tervalen</title>\n<defs>" +
      gradientElement("face", kFaceTopY, kFaceTop, kFaceBottomY, kFaceBottom) +
      gradientElement("letter", kLetterTopY, kLetterTop, kLetterBottomY, kLetterBottom) + "</defs>\n";
  svg += "<g fill=\"" + hex(kRim) + "\">" + circleElement(kCentre, kRimRadius) + "</g>\n";
  svg += "<g fill=\"url(#face)\">" + circleElement(kCentre, kFaceRadius) + "</g>\n";
  svg += "<g fill=\"" + hex(kGlow) + "\" fill-opacity=\"" + number(kGlow.a) + "\">" +
         circleElement(kGlowCentre, kGlowRadius) + "</g>\n";
  std::string edge, letter;
  for (const Stroke& k : kLetter) {
    edge += strokeElements(k, kEdge);
    letter += strokeElements(k, 0);
  }
  svg += "<g fill=\"" + hex(kEdgeColour) + "\">" + edge + "</g>\n";
  svg += "<g fill=\"url(#letter)\">" + letter + "</g>\n</svg>\n";
  return svg;
}

std::vector<uint8_t> bmpEntry(const Canvas& c) {
  const int n = c.width();
  std::vector<uint8_t> rgba = c.rgba8();
  std::vector<uint8_t> out;
  put32(out, 40);
  put32(out, n);
  put32(out, 2 * n);  // colour rows plus the mask's rows
  put16(out, 1);
  put16(out, 32);
  put32(out, 0);
  int maskRow = ((n + 31) / 32) * 4;
  put32(out, n * n * 4 + maskRow * n);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  for (int y = n - 1; y >= 0; --y)
    for (int x = 0; x < n; ++x) {
      const uint8_t* p = &rgba[(static_cast<size_t>(y) * n + x) * 4];
      out.push_back(p[2]);
      out.push_back(p[1]);
      out.push_back(p[0]);
      out.push_back(p[3]);
    }
  // The AND mask: a set bit is transparent; fully transparent pixels only.
  for (int y = n - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskRow, 0);
    for (int x = 0; x < n; ++x)
      if (rgba[(static_cast<size_t>(y) * n + x) * 4 + 3] == 0) row[x / 8] |= 0x80 >> (x % 8);
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

void writeIcon(const std::string& path) {
  const int sizes[] = {16, 32, 48, 64};
  std::vector<std::vector<uint8_t>> entries;
  for (int s : sizes) entries.push_back(bmpEntry(drawEmblem(s)));
  std::vector<uint8_t> out;
  put16(out, 0);
  put16(out, 1);
  put16(out, static_cast<uint32_t>(entries.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    out.push_back(static_cast<uint8_t>(sizes[i]));
    out.push_back(static_cast<uint8_t>(sizes[i]));
    out.push_back(0);
    out.push_back(0);
    put16(out, 1);
    put16(out, 32);
    put32(out, static_cast<uint32_t>(entries[i].size()));
    put32(out, offset);
    offset += static_cast<uint32_t>(entries[i].size());
  }
  for (const auto& e : entries) out.insert(out.end(), e.begin(), e.end());
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (!f) throw std::runtime_error(path + ": cannot write the icon");
}

void writeDesktopIcons(const Manifest& manifest) {
  for (int size : {16, 32, 48, 64, 128, 256})
    drawEmblem(size).savePng(manifest.path("icons/tervalen-" + std::to_string(size) + ".png"));
  writeText(manifest.path("icons/tervalen.svg"), emblemSvg());
}

}  // namespace assetgen
