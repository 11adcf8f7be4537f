// Picture files made in the tests: PNGs of any size that cost almost nothing
// to write (one colour, so the deflate stream is a run of matches), and small
// files in the other formats the engine reads, written byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace picturefiles {

inline uint32_t crc32(const uint8_t* p, size_t n, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline void putBe32(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

inline void putChunk(std::string& out, const char* type, const std::string& data) {
  putBe32(out, static_cast<uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  out += body;
  putBe32(out, crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

// Deflate's bits go out least significant first; Huffman codes most significant first.
class BitWriter {
 public:
  void bits(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bit((value >> i) & 1u);
  }
  void code(uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) bit((code >> i) & 1u);
  }
  std::string finish() {
    if (used_ > 0) out_ += static_cast<char>(current_);
    return out_;
  }

 private:
  void bit(uint32_t b) {
    current_ |= static_cast<uint8_t>(b << used_);
    if (++used_ == 8) {
      out_ += static_cast<char>(current_);
      current_ = 0;
      used_ = 0;
    }
  }
  std::string out_;
  uint8_t current_ = 0;
  int used_ = 0;
};

// A zlib stream of `length` zero bytes: one fixed-Huffman block of a literal
// zero and then matches of 258 bytes at distance 1.
inline std::string zlibZeros(uint64_t length) {
  BitWriter w;
  w.bits(1, 1);  // the last block
  w.bits(1, 2);  // fixed Huffman codes
  uint64_t left = length;
  if (left > 0) {
    w.code(0x30, 8);  // literal 0
    --left;
  }
  while (left >= 258) {
    w.code(0xC5, 8);  // length code 285: 258 bytes
    w.code(0, 5);     // distance code 0: 1 byte back
    left -= 258;
  }
  for (; left > 0; --left) w.code(0x30, 8);
  w.code(0, 7);  // end of block
  std::string out = "\x78\x01" + w.finish();
  // Adler-32 of zeros: a = 1, b = length (mod 65521).
  putBe32(out, static_cast<uint32_t>(((length % 65521) << 16) | 1u));
  return out;
}

// A valid black PNG of width x height (1-bit grey), a few hundred bytes per
// million pixels.
inline std::string blackPng(uint32_t width, uint32_t height) {
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string ihdr;
  putBe32(ihdr, width);
  putBe32(ihdr, height);
  ihdr += std::string("\x01\x00\x00\x00\x00", 5);  // bit depth 1, grey, deflate, no filter, no interlace
  putChunk(png, "IHDR", ihdr);
  const uint64_t rowBytes = 1 + (uint64_t(width) + 7) / 8;  // the filter byte, then the pixels
  putChunk(png, "IDAT", zlibZeros(rowBytes * height));
  putChunk(png, "IEND", "");
  return png;
}

inline std::string le16(uint32_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
inline std::string le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }
inline std::string be16(uint32_t v) { return std::string{static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)}; }

// A GIF of one colour: logical screen `screenW` x `screenH`, one image of
// `imageW` x `imageH` after a graphic control extension.
inline std::string gif(uint32_t screenW, uint32_t screenH, uint32_t imageW, uint32_t imageH) {
  std::string g = "GIF89a" + le16(screenW) + le16(screenH);
  g += std::string("\x80\x00\x00", 3);                        // a global table of 2 colours
  g += std::string("\x00\x00\x00\xff\xff\xff", 6);
  g += std::string("\x21\xf9\x04\x00\x00\x00\x00\x00", 8);    // graphic control extension
  g += "\x2c" + le16(0) + le16(0) + le16(imageW) + le16(imageH) + std::string("\x00", 1);
  g += std::string("\x02\x02\x44\x01\x00", 5);                // LZW: clear, colour 0, end
  g += "\x3b";
  return g;
}

// A QOI picture of width x height, every pixel the start colour (black).
inline std::string qoi(uint32_t width, uint32_t height) {
  std::string q = "qoif";
  putBe32(q, width);
  putBe32(q, height);
  q += std::string("\x04\x00", 2);  // RGBA, sRGB
  for (uint64_t left = uint64_t(width) * height; left > 0;) {
    const uint64_t run = left > 62 ? 62 : left;
    q += static_cast<char>(0xC0 | (run - 1));  // QOI_OP_RUN
    left -= run;
  }
  q += std::string("\x00\x00\x00\x00\x00\x00\x00\x01", 8);
  return q;
}

// An icon with one 32-bit BMP entry of size x size pixels (`declared` in its
// header, when given: the decoder believes the header).
inline std::string icon(uint32_t size, int32_t declaredW = 0, int32_t declaredH = 0) {
  const uint32_t w = declaredW ? static_cast<uint32_t>(declaredW) : size;
  const uint32_t h = declaredH ? static_cast<uint32_t>(declaredH) : size * 2;  // the colours, then the mask
  std::string dib = le32(40) + le32(w) + le32(h) + le16(1) + le16(32) + le32(0) + le32(0) + le32(0) + le32(0) +
                    le32(0) + le32(0);
  dib += std::string(size * size * 4, '\x7f');
  dib += std::string(size * ((size + 31) / 32) * 4, '\0');
  std::string ico = le16(0) + le16(1) + le16(1);
  ico += std::string{static_cast<char>(size & 0xFF), static_cast<char>(size & 0xFF), 0, 0};
  ico += le16(1) + le16(32) + le32(static_cast<uint32_t>(dib.size())) + le32(22);
  return ico + dib;
}

}  // namespace picturefiles
