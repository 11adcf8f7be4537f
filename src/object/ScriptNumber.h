// Whole numbers from script arguments and screen positions. Every double that
// the game turns into an int32 goes through toInt32, so a character file with
// NaN, an infinity or a huge value never causes undefined behaviour.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

// Truncates toward zero; values beyond the int32 range saturate; NaN gives 0.
constexpr int32_t toInt32(double v) {
  if (!(v == v)) return 0;  // NaN
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// A world coordinate handed on as a float: values beyond the float range
// saturate instead of overflowing the conversion.
constexpr float toFloat(double v) {
  if (v > static_cast<double>(std::numeric_limits<float>::max())) return std::numeric_limits<float>::max();
  if (v < -static_cast<double>(std::numeric_limits<float>::max())) return -std::numeric_limits<float>::max();
  return static_cast<float>(v);  // NaN stays NaN
}

// Argument `i` of an instruction; an instruction with fewer arguments than its
// opcode uses reads the missing ones as 0.
inline double scriptArg(const std::vector<double>& args, size_t i) {
  return i < args.size() ? args[i] : 0.0;
}
