// The dot patterns of the game's font: 5 columns by 9 rows per printable
// ASCII byte, '#' a dot. Rows 0 to 6 stand on the baseline, 7 and 8 hang below.
#pragma once

namespace assetgen {

struct GlyphPattern {
  char ch;
  const char* rows[9];
};

// Patterns for the bytes 0x20 to 0x7E, in order.
extern const GlyphPattern kGlyphPatterns[95];

}  // namespace assetgen
