// The game's font: a bold rounded face drawn from 5 x 9 dot patterns (7 rows
// above the baseline, 2 for descenders), neighbouring dots joined by strokes.
#pragma once

#include <string>

#include "Canvas.h"
#include "Raster.h"

namespace assetgen {

struct TextStyle {
  float unit = 2.6f;  // distance between dot centres, in pixels
  float stroke = 0.62f;  // stroke radius, in units
  float spacing = 1.2f;  // space after each glyph, in units
  Color color{1, 1, 1, 1};
};

// Width in pixels of a line of text drawn with the style.
float textWidth(const std::string& text, const TextStyle& style);
// The strokes of one line of text, each widened by `extra` pixels (outlines).
Shape textShape(const std::string& text, float x, float y, const TextStyle& style, float extra = 0);
// Draws one line of text; (x, y) is the top of the cell (the top of the dot
// pattern's first row lies `stroke` units lower).
void drawText(Canvas& canvas, const std::string& text, float x, float y, const TextStyle& style);

// Writes the glyph picture `<dir>/<pictureName>` (white glyphs for every
// printable ASCII byte on transparent ground) and the description
// `<dir>/<descriptionName>` that lays them out.
void writeFont(const std::string& dir, const std::string& descriptionName, const std::string& pictureName);

}  // namespace assetgen
