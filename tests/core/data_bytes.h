// Test helpers for the binary data files: byte strings from hex text and a
// little-endian builder that is independent of the game's own writer.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace testdata {

// "02 61 62 | 64 00" -> bytes; spaces and bars are ignored.
inline std::vector<uint8_t> hex(const char* text) {
  std::vector<uint8_t> out;
  int high = -1;
  for (const char* p = text; *p; ++p) {
    int v;
    if (*p >= '0' && *p <= '9') v = *p - '0';
    else if (*p >= 'a' && *p <= 'f') v = *p - 'a' + 10;
    else if (*p >= 'A' && *p <= 'F') v = *p - 'A' + 10;
    else continue;
    if (high < 0) {
      high = v;
    } else {
      out.push_back(uint8_t(high << 4 | v));
      high = -1;
    }
  }
  return out;
}

struct Bytes {
  std::vector<uint8_t> b;
  Bytes& i32(int32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(uint32_t(v) >> (8 * i)));
    return *this;
  }
  Bytes& f64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i) b.push_back(uint8_t(bits >> (8 * i)));
    return *this;
  }
  Bytes& bits64(uint64_t bits) {
    for (int i = 0; i < 8; ++i) b.push_back(uint8_t(bits >> (8 * i)));
    return *this;
  }
  Bytes& str(const std::string& s) {
    b.push_back(uint8_t(s.size()));
    b.insert(b.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& byte(uint8_t v) {
    b.push_back(v);
    return *this;
  }
  Bytes& raw(const std::vector<uint8_t>& more) {
    b.insert(b.end(), more.begin(), more.end());
    return *this;
  }
  size_t size() const { return b.size(); }
};

inline uint64_t bitsOf(double d) {
  uint64_t u;
  std::memcpy(&u, &d, 8);
  return u;
}

}  // namespace testdata
