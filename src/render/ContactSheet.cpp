#include "render/ContactSheet.h"

#include <algorithm>

#include "gfx/Shapes.h"
#include "object/Chara.h"
#include "object/ScriptNumber.h"
#include "render/BoxView.h"
#include "render/DebugOverlay.h"
#include "render/WorldRenderer.h"

namespace {

constexpr int kMinCellWidth = 120, kMaxCellWidth = 400;
constexpr int kMinCellHeight = 150, kMaxCellHeight = 440;
constexpr uint32_t kBackground = 0xFF30343C, kCell = 0xFF3C414B, kGround = 0xFF8A92A0, kRowLine = 0xFF565C68;
constexpr uint32_t kText = 0xFFFFFFFF, kDim = 0xFFAEB6C2, kArmedText = 0xFFFF7070;

Box boxOf(const std::vector<double>& a) {
  Box b;
  b.x = scriptArg(a, 0);
  b.y = scriptArg(a, 1);
  b.width = scriptArg(a, 2);
  b.height = scriptArg(a, 3);
  b.depth = scriptArg(a, 4);
  return b;
}

int lines(const SheetRow& row) {
  return std::max<int>(1, (static_cast<int>(row.cells.size()) + SheetLayout::kFramesPerLine - 1) /
                              SheetLayout::kFramesPerLine);
}

}  // namespace

std::vector<SheetRow> contactSheetRows(const CharaData& data) {
  std::vector<SheetRow> rows;
  for (size_t n = 0; n < data.actions.size(); ++n) {
    const Action& action = data.actions[n];
    SheetRow row;
    row.action = static_cast<int32_t>(n);
    row.name = action.name;
    Box body, attack;
    int32_t damage = 0;
    bool armed = false;
    for (size_t pc = 0; pc < action.codes.size(); ++pc) {
      const Instruction& code = action.codes[pc];
      switch (code.opcode) {
        case 0: {
          SheetCell cell;
          cell.pc = static_cast<int32_t>(pc);
          cell.picture = toInt32(scriptArg(code.args, 0));
          cell.ticks = toInt32(scriptArg(code.args, 1));
          cell.dx = toInt32(scriptArg(code.args, 2));
          cell.dy = toInt32(scriptArg(code.args, 3));
          cell.body = body;
          cell.attack = attack;
          cell.damage = damage;
          cell.armed = armed;
          row.cells.push_back(cell);
          break;
        }
        case 2:
          body = boxOf(code.args);
          break;
        case 3:
          attack = boxOf(code.args);
          damage = toInt32(scriptArg(code.args, 5));
          break;
        case 4:
          armed = true;
          break;
        default:
          break;
      }
    }
    if (!row.cells.empty()) rows.push_back(std::move(row));
  }
  return rows;
}

bool layOutSheet(const std::vector<SheetRow>& rows, int pictureWidth, int pictureHeight, SheetLayout& out,
                 std::string& error) {
  if (rows.empty()) {
    error = "the character has no frame instruction in any action: nothing to draw";
    return false;
  }
  out.cellWidth = std::clamp(pictureWidth + 20, kMinCellWidth, kMaxCellWidth);
  out.cellHeight = std::clamp(pictureHeight + out.feetFromBottom + 16, kMinCellHeight, kMaxCellHeight);
  size_t widest = 0;
  for (const SheetRow& row : rows) widest = std::max(widest, row.cells.size());
  const int columns = static_cast<int>(std::min<size_t>(widest, SheetLayout::kFramesPerLine));
  out.width = out.labelWidth + columns * out.cellWidth;
  long long height = 0;
  out.rowTop.clear();
  for (const SheetRow& row : rows) {
    out.rowTop.push_back(static_cast<int>(std::min<long long>(height, SheetLayout::kMaxSide)));
    height += static_cast<long long>(lines(row)) * out.cellHeight;
    if (height > SheetLayout::kMaxSide) {
      error = "the sheet would be more than " + std::to_string(SheetLayout::kMaxSide) +
              " pixels high: too many frames for one picture";
      return false;
    }
  }
  out.height = static_cast<int>(height);
  return true;
}

void drawContactSheet(HGE* engine, WorldRenderer& renderer, DebugOverlay& overlay, Chara& chara,
                      const std::vector<SheetRow>& rows, const SheetLayout& layout) {
  fillRect(engine, 0, 0, static_cast<float>(layout.width), static_cast<float>(layout.height), kBackground);
  const float h = overlay.lineHeight();
  for (size_t r = 0; r < rows.size(); ++r) {
    const SheetRow& row = rows[r];
    const float top = static_cast<float>(layout.rowTop[r]);
    fillRect(engine, 0, top, static_cast<float>(layout.width), top + 1, kRowLine);
    overlay.text(6, top + 6, std::to_string(row.action) + (row.name.empty() ? "" : " " + row.name));
    overlay.text(6, top + 6 + h, std::to_string(row.cells.size()) + (row.cells.size() == 1 ? " frame" : " frames"),
                 AlignLeft, kDim);
    for (size_t i = 0; i < row.cells.size(); ++i) {
      const SheetCell& cell = row.cells[i];
      const int line = static_cast<int>(i) / SheetLayout::kFramesPerLine;
      const int column = static_cast<int>(i) % SheetLayout::kFramesPerLine;
      const float left = static_cast<float>(layout.labelWidth + column * layout.cellWidth);
      const float cellTop = top + static_cast<float>(line * layout.cellHeight);
      const float bottom = cellTop + static_cast<float>(layout.cellHeight);
      fillRect(engine, left + 2, cellTop + 2, left + static_cast<float>(layout.cellWidth) - 2, bottom - 2, kCell);
      const float ground = bottom - static_cast<float>(layout.feetFromBottom);
      fillRect(engine, left + 4, ground, left + static_cast<float>(layout.cellWidth) - 4, ground + 1, kGround);

      // The character posed as the frame shows it, its feet on the cell's ground line.
      chara.x = left + layout.cellWidth / 2.0;
      chara.y = 0;
      chara.z = ground;
      chara.setFrame(cell.picture, cell.dx, cell.dy);
      chara.body = cell.body;
      chara.attack = cell.attack;
      chara.damage = cell.damage;
      chara.hit.active = cell.armed;
      chara.placeOnScreen();
      renderer.drawObject(chara);
      overlay.drawBoxes(chara, 0, 0);

      const std::string caption = "#" + std::to_string(cell.picture) + "  " +
                                  (cell.ticks == 0 ? std::string("held") : std::to_string(cell.ticks) + " t");
      overlay.text(left + 6, ground + 4, caption, AlignLeft, kText);
      if (cell.attack.width != 0)
        overlay.text(left + static_cast<float>(layout.cellWidth) - 6, ground + 4,
                     "dmg " + std::to_string(cell.damage), AlignRight, cell.armed ? kArmedText : kDim);
      overlay.text(left + 6, cellTop + 4, "pc " + std::to_string(cell.pc), AlignLeft, kDim);
    }
  }
}
