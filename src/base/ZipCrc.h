// One step of the CRC-32 (the zip format's polynomial), a byte at a time: what
// the old zip encryption updates its keys with, for the pack's reader and the
// data tool's writer alike.
#pragma once

#include <array>
#include <cstdint>

namespace zipcrc {

constexpr std::array<uint32_t, 256> makeTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}
inline constexpr std::array<uint32_t, 256> kTable = makeTable();

constexpr uint32_t step(uint32_t crc, uint8_t b) { return kTable[(crc ^ b) & 0xFF] ^ (crc >> 8); }

}  // namespace zipcrc
