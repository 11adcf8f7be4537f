#include "TextNumbers.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace {
constexpr uint64_t quietNanBits = 0x7FF8000000000000ull;
}

std::string formatDouble(double value) {
  uint64_t bits = std::bit_cast<uint64_t>(value);
  if (std::isnan(value)) {
    if (bits == quietNanBits) return "nan";
    char hex[32];
    auto r = std::to_chars(hex, hex + sizeof hex, bits, 16);
    std::string digits(hex, r.ptr);
    return "bits(0x" + std::string(16 - digits.size(), '0') + digits + ")";
  }
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char buffer[64];
  auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, r.ptr);
}

std::string formatInt(int64_t value) { return std::to_string(value); }

std::optional<double> parseDecimalDouble(const std::string& text) {
  std::string_view s = text;
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  if (s.empty()) return std::nullopt;
  // Only plain decimal forms: from_chars would also take "inf" and "nan".
  for (char c : s) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '-' || c == '+')) return std::nullopt;
  }
  double value = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size()) {
    // from_chars reports tiny values that round to a denormal or zero as out of
    // range; strtod gives the correctly rounded result for those.
    if (r.ec == std::errc::result_out_of_range && r.ptr == s.data() + s.size()) {
      std::string copy(s);
      double v = std::strtod(copy.c_str(), nullptr);
      if (!std::isinf(v)) return v;
    }
    return std::nullopt;
  }
  return value;
}

std::optional<int32_t> parseInt32(const std::string& text) {
  std::string_view s = text;
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  if (s.empty()) return std::nullopt;
  int64_t value = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), value, 10);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<uint64_t> parseHexBits(const std::string& text) {
  if (text.size() < 3 || text.size() > 18 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return std::nullopt;
  uint64_t value = 0;
  auto r = std::from_chars(text.data() + 2, text.data() + text.size(), value, 16);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}
