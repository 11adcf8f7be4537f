// The text of data/rules.txt: one `key = value` per line, blank lines and
// lines starting with '#' ignored. This reader only splits the lines; what
// each key means (and whether it is known) is the game rules' business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "format/LoadError.h"

// The most bytes a rules file may hold: far beyond any list of rules.
constexpr size_t kMaxRulesTextBytes = 64 * 1024;

struct RulesLine {
  std::string key;    // the text before the first '=', trimmed of blanks (UTF-8)
  std::string value;  // the text after it, trimmed of blanks (UTF-8, may be empty)
  size_t line = 0;    // counted from 1
};

struct RulesText {
  std::vector<RulesLine> lines;  // in file order
};

// Splits the text into its lines. A file that is not UTF-8 text (a NUL or
// other control byte, a malformed sequence), a line without '=' or with
// nothing before it, or a file larger than kMaxRulesTextBytes is refused:
// the error's `offset` is the line number.
Expected<RulesText> parseRulesText(std::span<const uint8_t> bytes, const std::string& file);

// The first word of a key or value and the rest, trimmed of the blanks between
// them: "score guai03" -> {"score", "guai03"}, "150 6" -> {"150", "6"}, "zd" -> {"zd", ""}.
std::pair<std::string, std::string> splitFirstWord(const std::string& text);
// Every word of a value: "1 2  3" -> {"1", "2", "3"}.
std::vector<std::string> splitWords(const std::string& text);

// A whole number written plainly (an optional '-', then digits; at most 12
// characters) from lo to hi: true with `out` set, false for anything else.
bool wholeNumberIn(const std::string& text, long lo, long hi, long& out);

// "data/rules.txt:3: what" for an error of a text file whose offset is a line.
inline std::string textLineMessage(const LoadError& error) {
  return error.file + ":" + std::to_string(error.offset) + ": " + error.what;
}
