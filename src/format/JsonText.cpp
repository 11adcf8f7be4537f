#include "format/JsonText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string shortestDouble(double v) {
#if defined(__cpp_lib_to_chars)
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, result.ptr);
#else
  return shortestDoubleByPrintf(v);
#endif
}

std::string shortestDoubleByPrintf(double v) {
  if (!std::isfinite(v)) return std::isnan(v) ? "nan" : (v < 0 ? "-inf" : "inf");
  const std::string sign = std::signbit(v) ? "-" : "";
  if (v == 0) return sign + "0";
  // The fewest significant digits that read back as v: "d.ddde[+-]XX".
  char sci[64];
  for (int precision = 0; precision < 17; ++precision) {
    std::snprintf(sci, sizeof sci, "%.*e", precision, std::fabs(v));
    if (std::strtod(sci, nullptr) == std::fabs(v)) break;
  }
  const char* e = std::strchr(sci, 'e');
  std::string digits(sci, static_cast<size_t>(e - sci));
  if (digits.size() > 1) digits.erase(1, 1);  // the point
  const int exponent = std::atoi(e + 1);
  const int count = static_cast<int>(digits.size());
  // Fixed notation: the digits with the point moved, zeros filled in.
  std::string fixed;
  if (exponent >= count - 1) {
    // A whole number: its exact digits, as to_chars writes them (the same length).
    char whole[400];
    std::snprintf(whole, sizeof whole, "%.0f", std::fabs(v));
    fixed = whole;
  } else if (exponent >= 0) {
    fixed = digits.substr(0, static_cast<size_t>(exponent) + 1) + "." + digits.substr(static_cast<size_t>(exponent) + 1);
  } else {
    fixed = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  }
  // Scientific as to_chars writes it: at least two digits of exponent.
  char exp[16];
  std::snprintf(exp, sizeof exp, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  const std::string scientific = (count > 1 ? digits.substr(0, 1) + "." + digits.substr(1) : digits) + exp;
  // The shorter of the two; fixed when they are as long.
  return sign + (scientific.size() < fixed.size() ? scientific : fixed);
}

bool isUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t n = 0;
    uint32_t code = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      n = 1;
      code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      n = 2;
      code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      n = 3;
      code = c & 0x07;
    } else {
      return false;
    }
    if (i + n >= text.size()) return false;
    for (size_t k = 1; k <= n; ++k) {
      const unsigned char d = static_cast<unsigned char>(text[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      code = (code << 6) | (d & 0x3F);
    }
    const uint32_t least[4] = {0, 0x80, 0x800, 0x10000};
    if (code < least[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += n + 1;
  }
  return true;
}

std::string jsonQuote(std::string_view s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += char(c);
        }
    }
  }
  out += '"';
  return out;
}
