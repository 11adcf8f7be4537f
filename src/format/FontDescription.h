// A font description file as the bitmap font reads it: which glyph picture
// each byte draws with. Pure parsing: loading the pictures is the font's job.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The parsed content of a font description, before any texture is loaded.
// `events` keeps bitmap and glyph lines in file order, since a glyph uses the
// texture of the last bitmap line before it.
struct FontDescription {
  struct Glyph {
    int code = 0;  // 0..255
    int x = 0, y = 0, w = 0, h = 0;
    int pre = 0, post = 0;
  };
  struct Event {
    bool isBitmap = false;
    std::string bitmap;  // for a bitmap line: the name as written
    Glyph glyph;         // for a character line
  };
  std::vector<Event> events;
};

// Parses a description. Returns false when the first line is not exactly
// "[HGEFONT]" (the caller logs "Font %s has incorrect format.").
bool parseFontDescription(const char* text, size_t size, FontDescription& out);
