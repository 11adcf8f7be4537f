// The game's random numbers: a PCG32 generator with unbiased range
// reduction, so a seed gives the same numbers on every machine and with every
// C++ library.
#pragma once

#include <cstdint>

class Random {
 public:
  explicit Random(uint64_t seed = 0x853c49e6748fea9bULL) { seed_(seed); }
  // A generator on another stream (any value; the reference generator's "sequence").
  Random(uint64_t seed, uint64_t stream) : increment_((stream << 1u) | 1u) { seed_(seed); }
  void seed(uint64_t seed) { seed_(seed); }
  uint32_t next();
  // Uniform in [min, max], both included; the bounds may come in either order.
  int32_t range(int32_t min, int32_t max);
  // The whole state that decides the next numbers (the stream is fixed per generator).
  uint64_t state() const { return state_; }
  // Puts back a state read from state() (a saved world's).
  void setState(uint64_t state) { state_ = state; }

 private:
  void seed_(uint64_t seed);
  uint64_t state_ = 0;
  uint64_t increment_ = 1442695040888963407ULL;
};
