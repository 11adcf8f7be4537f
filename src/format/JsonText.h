// JSON text pieces shared by the frame trace and the data tool: numbers that
// read back exactly and quoted strings.
#pragma once

#include <string>
#include <string_view>

// The shortest text that reads back as exactly `v` (finite values only).
std::string shortestDouble(double v);
// The same text made with printf and strtod, for standard libraries without a
// floating-point std::to_chars (the browser's): traces must read the same.
std::string shortestDoubleByPrintf(double v);
// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool isUtf8(std::string_view text);
// `utf8` as a quoted, escaped JSON string.
std::string jsonQuote(std::string_view utf8);
