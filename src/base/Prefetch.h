// A hint to the processor that bytes will be read soon, so that a walk over
// objects scattered in memory waits for several of them at once instead of
// one after the other. It changes no result: an address that is never read
// (or is not valid) costs nothing but the hint.
#pragma once

#include <cstddef>

inline void prefetchBytes(const void* at, size_t bytes) {
#if defined(__GNUC__) || defined(__clang__)
  const char* p = static_cast<const char*>(at);
  for (size_t offset = 0; offset < bytes; offset += 64) __builtin_prefetch(p + offset);
#else
  (void)at;
  (void)bytes;
#endif
}
