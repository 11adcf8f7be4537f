// A character's contact sheet: every picture instruction of every action, in
// rows of actions, each drawn with the body and attack boxes in effect at it,
// its picture number and the ticks it is shown. The instructions are read in
// order as written (jumps are not followed), so every frame of the file shows
// once. Used by `tervalen-data sheet` for reviews and docs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/hge.h"
#include "format/CharaData.h"
#include "object/Box.h"

struct SheetCell {
  int32_t pc = 0;       // the frame instruction
  int32_t picture = 0;
  int32_t ticks = 0;    // 0: held until the action changes
  int32_t dx = 0, dy = 0;
  Box body, attack;     // relative to the character, as the instructions before it left them
  int32_t damage = 0;
  bool armed = false;   // a hit instruction came before it in the action
};

struct SheetRow {
  int32_t action = 0;
  std::string name;  // GBK, as the file gives it
  std::vector<SheetCell> cells;
};

// The rows of the sheet: actions with at least one frame instruction, in order.
std::vector<SheetRow> contactSheetRows(const CharaData& data);

// How the sheet is laid out, in pixels.
struct SheetLayout {
  // Frames per line of the sheet: a longer action goes on over more lines.
  static constexpr int kFramesPerLine = 10;
  // The sheet's largest side: a character with more frames than fit is refused.
  static constexpr int kMaxSide = 16384;
  int labelWidth = 170;
  int cellWidth = 0, cellHeight = 0;  // from the largest picture, within bounds
  int feetFromBottom = 34;            // the ground line, over the cell's caption
  int width = 0, height = 0;
  std::vector<int> rowTop;  // per row
};

// Lays the rows out, cells sized for pictures up to `pictureWidth` x
// `pictureHeight`. False (with the reason) when the sheet would be too large.
bool layOutSheet(const std::vector<SheetRow>& rows, int pictureWidth, int pictureHeight, SheetLayout& out,
                 std::string& error);

class Chara;
class DebugOverlay;
class WorldRenderer;

// Draws the sheet with `chara` (a character of the file, in a world whose
// camera is at 0) posed in each cell: its picture, its shadow, its boxes, and
// the captions. Call between Gfx_BeginScene and Gfx_EndScene.
void drawContactSheet(HGE* engine, WorldRenderer& renderer, DebugOverlay& overlay, Chara& chara,
                      const std::vector<SheetRow>& rows, const SheetLayout& layout);
