#include "engine/PictureSize.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t be16(const uint8_t* p) { return (uint32_t(p[0]) << 8) | p[1]; }
uint32_t be32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }
uint32_t le16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }
uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
// The size of a signed 32-bit field (a BMP's height is negative for top-down rows).
uint32_t magnitude(uint32_t v) { return (v & 0x80000000u) ? 0u - v : v; }

bool startsWith(const uint8_t* data, size_t size, const char* magic, size_t n) {
  return size >= n && std::memcmp(data, magic, n) == 0;
}

constexpr char kPngMagic[] = "\x89PNG\r\n\x1a\n";

struct Reader {
  const uint8_t* data;
  size_t size;
  std::string& error;

  PictureSize fail(const std::string& why) {
    error = why;
    return {};
  }
};

PictureSize png(Reader r) {
  // Signature, then the IHDR chunk: length 13, "IHDR", width, height (big-endian).
  if (r.size < 24 || be32(r.data + 8) != 13 || std::memcmp(r.data + 12, "IHDR", 4) != 0)
    return r.fail("PNG without its IHDR header");
  return {PictureFormat::Png, be32(r.data + 16), be32(r.data + 20)};
}

bool isFrameHeader(uint8_t marker) {
  // SOF0..SOF15 but DHT (C4), JPG (C8) and DAC (CC).
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

PictureSize jpeg(Reader r) {
  // Segments after SOI: FF, the marker, then (for most) a big-endian length
  // that counts itself. The frame header (SOF) holds the height, then the width.
  size_t at = 2;
  for (;;) {
    if (at >= r.size || r.data[at] != 0xFF) return r.fail("JPEG without a frame header");
    while (at < r.size && r.data[at] == 0xFF) ++at;  // fill bytes
    if (at >= r.size) return r.fail("JPEG without a frame header");
    const uint8_t marker = r.data[at++];
    if (marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    if (marker == 0xD9 || marker == 0xDA) return r.fail("JPEG without a frame header before its data");
    if (at + 2 > r.size) return r.fail("JPEG cut short in a segment header");
    const size_t length = be16(r.data + at);
    if (length < 2) return r.fail("JPEG segment of length " + std::to_string(length));
    if (isFrameHeader(marker)) {
      if (length < 8 || at + 7 > r.size) return r.fail("JPEG frame header cut short");
      const uint32_t height = be16(r.data + at + 3), width = be16(r.data + at + 5);
      if (height == 0) return r.fail("JPEG whose height comes after its data");
      return {PictureFormat::Jpeg, width, height};
    }
    at += length;
  }
}

PictureSize gif(Reader r) {
  if (r.size < 13) return r.fail("GIF header cut short");
  PictureSize s{PictureFormat::Gif, le16(r.data + 6), le16(r.data + 8)};
  // The first image may be larger than the logical screen: take the larger of both.
  size_t at = 13;
  const uint8_t flags = r.data[10];
  if (flags & 0x80) at += size_t(3) << ((flags & 7) + 1);  // the global colour table
  while (at < r.size) {
    const uint8_t block = r.data[at];
    if (block == 0x21) {  // an extension: label, then sub-blocks up to an empty one
      at += 2;
      while (at < r.size && r.data[at] != 0) at += size_t(r.data[at]) + 1;
      ++at;
    } else if (block == 0x2C) {  // the first image descriptor: left, top, width, height
      if (at + 9 > r.size) break;
      s.width = std::max(s.width, le16(r.data + at + 5));
      s.height = std::max(s.height, le16(r.data + at + 7));
      break;
    } else {
      break;
    }
  }
  return s;
}

// A DIB header at `at` (as in BMP files and ICO entries): width and height.
bool dibSize(Reader r, size_t at, uint32_t& width, uint32_t& height) {
  if (at + 4 > r.size) return false;
  const uint32_t header = le32(r.data + at);
  if (header == 12) {  // OS/2 core header: 16-bit sizes
    if (at + 8 > r.size) return false;
    width = le16(r.data + at + 4);
    height = le16(r.data + at + 6);
    return true;
  }
  if (header < 16 || at + 12 > r.size) return false;
  width = magnitude(le32(r.data + at + 4));
  height = magnitude(le32(r.data + at + 8));
  return true;
}

PictureSize bmp(Reader r) {
  PictureSize s{PictureFormat::Bmp, 0, 0};
  if (!dibSize(r, 14, s.width, s.height)) return r.fail("BMP header cut short or unknown");
  return s;
}

PictureSize qoi(Reader r) {
  if (r.size < 14) return r.fail("QOI header cut short");
  return {PictureFormat::Qoi, be32(r.data + 4), be32(r.data + 8)};
}

PictureSize icon(Reader r, PictureFormat format) {
  // A directory of entries, each a BMP without its file header or a PNG. The
  // decoder picks one: take the largest width and height of them all.
  if (r.size < 6) return r.fail("icon directory cut short");
  const size_t count = le16(r.data + 4);
  if (count == 0 || 6 + 16 * count > r.size) return r.fail("icon directory cut short");
  PictureSize s{format, 0, 0};
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = r.data + 6 + 16 * i;
    const uint32_t offset = le32(entry + 12);
    uint32_t w = 0, h = 0;
    if (offset < r.size && startsWith(r.data + offset, r.size - offset, kPngMagic, 8)) {
      PictureSize inner = png(Reader{r.data + offset, r.size - offset, r.error});
      if (inner.format == PictureFormat::Unknown) return r.fail("icon entry " + std::to_string(i) + ": " + r.error);
      w = inner.width;
      h = inner.height;
    } else if (!dibSize(r, offset, w, h)) {
      return r.fail("icon entry " + std::to_string(i) + " has no picture header");
    }
    // The directory's own sizes (0 means 256), and the DIB's height, which counts the mask too.
    s.width = std::max({s.width, w, entry[0] ? uint32_t(entry[0]) : 256u});
    s.height = std::max({s.height, h, entry[1] ? uint32_t(entry[1]) : 256u});
  }
  return s;
}

}  // namespace

PictureSize readPictureSize(const uint8_t* data, size_t size, std::string& error) {
  error.clear();
  Reader r{data, data ? size : 0, error};
  if (startsWith(r.data, r.size, kPngMagic, 8)) return png(r);
  if (startsWith(r.data, r.size, "\xFF\xD8\xFF", 3)) return jpeg(r);
  if (startsWith(r.data, r.size, "GIF87a", 6) || startsWith(r.data, r.size, "GIF89a", 6)) return gif(r);
  if (startsWith(r.data, r.size, "BM", 2)) return bmp(r);
  if (startsWith(r.data, r.size, "qoif", 4)) return qoi(r);
  if (startsWith(r.data, r.size, "\0\0\1\0", 4)) return icon(r, PictureFormat::Ico);
  if (startsWith(r.data, r.size, "\0\0\2\0", 4)) return icon(r, PictureFormat::Cur);
  return r.fail("not a picture format the game reads (PNG, JPEG, GIF, BMP, QOI, ICO)");
}

const char* pictureFormatName(PictureFormat format) {
  switch (format) {
    case PictureFormat::Png: return "PNG";
    case PictureFormat::Jpeg: return "JPEG";
    case PictureFormat::Gif: return "GIF";
    case PictureFormat::Bmp: return "BMP";
    case PictureFormat::Qoi: return "QOI";
    case PictureFormat::Ico: return "ICO";
    case PictureFormat::Cur: return "CUR";
    case PictureFormat::Unknown: break;
  }
  return "unknown";
}
