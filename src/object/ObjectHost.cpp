#include "object/ObjectHost.h"

#include <cstdio>

void ObjectHost::report(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  char small[512];
  const int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (n < 0) {
    va_end(copy);
    return;
  }
  if (static_cast<size_t>(n) < sizeof small) {
    va_end(copy);
    log(std::string(small, static_cast<size_t>(n)));
    return;
  }
  std::string big(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(big.data(), big.size(), format, copy);
  va_end(copy);
  big.resize(static_cast<size_t>(n));
  log(big);
}
