#include "base/FormatText.h"

#include <cstdio>

std::string formatText(const char* format, va_list args) {
  if (!format) return {};
  va_list copy;
  va_copy(copy, args);
  char small[512];
  const int n = std::vsnprintf(small, sizeof small, format, args);
  if (n < 0) {
    va_end(copy);
    return {};
  }
  if (static_cast<size_t>(n) < sizeof small) {
    va_end(copy);
    return std::string(small, static_cast<size_t>(n));
  }
  std::string big(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(big.data(), big.size(), format, copy);
  va_end(copy);
  big.resize(static_cast<size_t>(n));
  return big;
}
