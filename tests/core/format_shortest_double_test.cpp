// Numbers in traces and JSON read the same on every standard library: the
// printf-made text (used where std::to_chars has no doubles) is std::to_chars'
// shortest text, character for character.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <cmath>
#include <limits>
#include <string>

#include "format/JsonText.h"

namespace {

std::string viaToChars(double v) {
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, result.ptr);
}

TEST(ShortestDouble, PrintfTextIsToCharsText) {
  const double cases[] = {0.0, -0.0, 1.0, -1.0, 0.5, 0.1, 0.2 + 0.1, 1.0 / 3, 2.0 / 3, 10.0, 100.0, 1000.0,
                          100000.0, 123456.0, 1234567.0, 1e15, 1e16, 1e21, 1e22, 1.5e300, 0.001, 0.0001, 0.00012,
                          1e-5, 1.25e-7, 4.9e-324, 2.2250738585072014e-308, 1.7976931348623157e308, 800.0, 480.0,
                          12.75, -37.125, 3.14159, 9007199254740993.0, 0.30000000000000004, 5e-324, 1e100};
  for (double v : cases) EXPECT_EQ(shortestDoubleByPrintf(v), viaToChars(v)) << v;
}

TEST(ShortestDouble, AgreesAcrossManyBitPatterns) {
  // Doubles from all over the range: a fixed walk through the bit patterns.
  uint64_t bits = 0x3FF0000000000000u;
  int checked = 0;
  for (int i = 0; i < 20000; ++i) {
    bits = bits * 6364136223846793005u + 1442695040888963407u;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v)) continue;
    ASSERT_EQ(shortestDoubleByPrintf(v), viaToChars(v)) << "bits " << std::hex << bits;
    // And the game's own scale: positions and speeds of a few decimals.
    const double game = static_cast<double>(static_cast<int64_t>(bits % 2000000) - 1000000) / 64;
    ASSERT_EQ(shortestDoubleByPrintf(game), viaToChars(game)) << game;
    ++checked;
  }
  EXPECT_GT(checked, 15000);
}

}  // namespace
