#include "Font.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "FontGlyphs.h"
#include "Raster.h"

namespace assetgen {

namespace {

const GlyphPattern* patternFor(char ch) {
  if (ch < 0x20 || ch > 0x7E) ch = '?';
  return &kGlyphPatterns[ch - 0x20];
}

bool dot(const GlyphPattern& g, int col, int row) {
  if (col < 0 || col > 4 || row < 0 || row > 8) return false;
  return g.rows[row][col] == '#';
}

// Columns the pattern uses; false for an empty pattern (the space).
bool usedColumns(const GlyphPattern& g, int& minCol, int& maxCol) {
  minCol = 5;
  maxCol = -1;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 5; ++c)
      if (dot(g, c, r)) {
        minCol = std::min(minCol, c);
        maxCol = std::max(maxCol, c);
      }
  return maxCol >= 0;
}

// The strokes of a glyph with its first used column's dots at x = left and
// its first row's dots at y = top.
Shape glyphShape(const GlyphPattern& g, float left, float top, float unit, float radius) {
  int minCol, maxCol;
  Shape s;
  if (!usedColumns(g, minCol, maxCol)) return s;
  auto at = [&](int c, int r) { return Vec2{left + (c - minCol) * unit, top + r * unit}; };
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 5; ++c) {
      if (!dot(g, c, r)) continue;
      s.add(circleShape(at(c, r), radius));
      if (dot(g, c + 1, r)) s.add(capsuleShape(at(c, r), radius, at(c + 1, r), radius));
      if (dot(g, c, r + 1)) s.add(capsuleShape(at(c, r), radius, at(c, r + 1), radius));
      if (dot(g, c + 1, r + 1) && !dot(g, c + 1, r) && !dot(g, c, r + 1))
        s.add(capsuleShape(at(c, r), radius, at(c + 1, r + 1), radius));
      if (dot(g, c - 1, r + 1) && !dot(g, c - 1, r) && !dot(g, c, r + 1))
        s.add(capsuleShape(at(c, r), radius, at(c - 1, r + 1), radius));
    }
  return s;
}

struct GlyphBox {
  int w = 0, h = 0, post = 0;
};

GlyphBox glyphBox(const GlyphPattern& g, const TextStyle& st) {
  GlyphBox b;
  float rad = st.stroke * st.unit;
  b.h = static_cast<int>(std::ceil(8 * st.unit + 2 * rad)) + 2;
  int minCol, maxCol;
  if (!usedColumns(g, minCol, maxCol)) {
    b.w = static_cast<int>(std::lround(3 * st.unit));
    b.post = 0;
    return b;
  }
  b.w = static_cast<int>(std::ceil((maxCol - minCol) * st.unit + 2 * rad)) + 2;
  b.post = std::max(0, static_cast<int>(std::lround(st.spacing * st.unit)) - 2);
  return b;
}

}  // namespace

float textWidth(const std::string& text, const TextStyle& style) {
  float w = 0;
  for (char ch : text) {
    GlyphBox b = glyphBox(*patternFor(ch), style);
    w += b.w + b.post;
  }
  return w;
}

Shape textShape(const std::string& text, float x, float y, const TextStyle& style, float extra) {
  float rad = style.stroke * style.unit;
  Shape all;
  for (char ch : text) {
    const GlyphPattern& g = *patternFor(ch);
    GlyphBox b = glyphBox(g, style);
    all.add(glyphShape(g, x + 1 + rad, y + 1 + rad, style.unit, rad + extra));
    x += b.w + b.post;
  }
  return all;
}

void drawText(Canvas& canvas, const std::string& text, float x, float y, const TextStyle& style) {
  fill(canvas, textShape(text, x, y, style), style.color);
}

void writeFont(const std::string& dir, const std::string& descriptionName, const std::string& pictureName) {
  TextStyle style;
  const int atlasW = 512;
  const int gap = 2;
  float rad = style.stroke * style.unit;
  struct Placed {
    int code, x, y;
    GlyphBox box;
  };
  std::vector<Placed> placed;
  int x = gap, y = gap, rowH = 0;
  for (int code = 0x20; code <= 0x7E; ++code) {
    GlyphBox b = glyphBox(kGlyphPatterns[code - 0x20], style);
    if (x + b.w + gap > atlasW) {
      x = gap;
      y += rowH + gap;
      rowH = 0;
    }
    placed.push_back({code, x, y, b});
    x += b.w + gap;
    rowH = std::max(rowH, b.h);
  }
  int atlasH = y + rowH + gap;
  Canvas atlas(atlasW, atlasH);
  Shape all;
  for (const Placed& p : placed)
    all.add(glyphShape(kGlyphPatterns[p.code - 0x20], p.x + 1 + rad, p.y + 1 + rad, style.unit, rad));
  fill(atlas, all, Color{1, 1, 1, 1});
  atlas.savePng(dir + "/" + pictureName);

  std::string path = dir + "/" + descriptionName;
  std::ofstream out(path, std::ios::binary);
  if (!out) throw std::runtime_error(path + ": cannot write");
  out << "[HGEFONT]\r\n\r\nBitmap = " << pictureName << "\r\n\r\n";
  for (const Placed& p : placed) {
    char line[96];
    std::snprintf(line, sizeof line, "Char=%02X,%d,%d,%d,%d,0,%d\r\n", p.code, p.x, p.y, p.box.w, p.box.h,
                  p.box.post);
    out << line;
  }
  if (!out) throw std::runtime_error(path + ": write failed");
}

}  // namespace assetgen
