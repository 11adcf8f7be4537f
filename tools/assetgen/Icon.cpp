#include "Icon.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "Canvas.h"
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

// The emblem: a fist-red medallion with a dark rim and a white T.
Canvas drawEmblem(int size) {
  Canvas c(size, size);
  float s = size / 64.0f;
  Vec2 centre{size / 2.0f, size / 2.0f};
  fill(c, circleShape(centre, 31 * s), rgb(0x1A1420));
  fill(c, circleShape(centre, 27.5f * s), verticalGradient(4 * s, rgb(0xF05A3C), 60 * s, rgb(0x8A1620)));
  fill(c, circleShape(centre + Vec2{-6 * s, -8 * s}, 14 * s), withAlpha(rgb(0xFFD0A0), 0.25f));
  // A bold T from two strokes with a dark edge.
  Shape t;
  t.add(capsuleShape({18 * s, 20 * s}, 4.6f * s, {46 * s, 20 * s}, 4.6f * s));
  t.add(capsuleShape({32 * s, 20 * s}, 4.6f * s, {32 * s, 46 * s}, 4.0f * s));
  fill(c, grownShape(t, std::max(1.0f, 2.0f * s)), rgb(0x2A0A10));
  fill(c, t, verticalGradient(14 * s, rgb(0xFFFFFF), 50 * s, rgb(0xFFD890)));
  return c;
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

}  // namespace assetgen
