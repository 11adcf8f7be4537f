#include "base/Random.h"

void Random::seed_(uint64_t seed) {
  state_ = 0;
  next();
  state_ += seed;
  next();
}

uint32_t Random::next() {
  uint64_t old = state_;
  state_ = old * 6364136223846793005ULL + increment_;
  uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
  uint32_t rot = static_cast<uint32_t>(old >> 59u);
  return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
}

int32_t Random::range(int32_t min, int32_t max) {
  if (max < min) {
    int32_t t = min;
    min = max;
    max = t;
  }
  uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(max) - min) + 1;  // 1 .. 2^32
  if (span > 0xFFFFFFFFULL) return static_cast<int32_t>(next());
  uint32_t bound = static_cast<uint32_t>(span);
  // Reject the low values that would make some results more likely than others.
  uint32_t threshold = static_cast<uint32_t>(-bound) % bound;
  for (;;) {
    uint32_t r = next();
    if (r >= threshold) return static_cast<int32_t>(static_cast<int64_t>(min) + r % bound);
  }
}
