// Numbers of the text form. Doubles are written so that they read back to the
// same 64 bits: the shortest decimal that does, "inf", "-inf", "nan" for the
// usual quiet NaN, and bits(0x...) with the raw bits for any other NaN.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

std::string formatDouble(double value);
std::string formatInt(int64_t value);

// Decimal text ("12", "-0.5", "1e+300", "5e-324") to a double; nullopt when it
// is not a decimal number or lies outside the double range.
std::optional<double> parseDecimalDouble(const std::string& text);
// Whole decimal number in the int32 range; nullopt otherwise.
std::optional<int32_t> parseInt32(const std::string& text);
// "0x" and 1 to 16 hex digits, the raw bits of a double.
std::optional<uint64_t> parseHexBits(const std::string& text);
