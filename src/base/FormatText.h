// printf-style formatting into a std::string of any length, for log lines.
#pragma once

#include <cstdarg>
#include <string>

// The text of `format` with `args` (consumed). "" when the format is invalid.
std::string formatText(const char* format, va_list args);
