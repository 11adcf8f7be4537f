// The contact sheet: which frames it shows with which boxes, how it is laid
// out and bounded, and `tervalen-data sheet` writing the sheet of the
// default player character.
#include <gtest/gtest.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "engine_support.h"
#include "render/BoxView.h"
#include "render/ContactSheet.h"

namespace {

namespace fs = std::filesystem;

Instruction op(int32_t opcode, std::vector<double> args) { return Instruction{opcode, std::move(args)}; }

TEST(ContactSheet, EachFrameInstructionIsACellWithTheBoxesInEffectAtIt) {
  CharaData d;
  d.actions.resize(4);
  d.actions[0].name = "stand";
  d.actions[0].codes = {op(2, {0, -50, 40, 100, 20}), op(0, {3, 5, 1, 2}), op(0, {4, 0})};
  // Action 1 is empty, action 2 has no frame: neither is a row.
  d.actions[2].codes = {op(2, {0, 0, 1, 1, 1})};
  d.actions[3].name = "kick";
  d.actions[3].codes = {op(0, {7, 2}), op(3, {30, -40, 50, 20, 30, 9}), op(0, {8, 3}), op(4, {0, 0, 1, 0, 5, 5, 1, 3}),
                        op(0, {9, 4})};
  const std::vector<SheetRow> rows = contactSheetRows(d);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].action, 0);
  EXPECT_EQ(rows[0].name, "stand");
  ASSERT_EQ(rows[0].cells.size(), 2u);
  const SheetCell& first = rows[0].cells[0];
  EXPECT_EQ(first.pc, 1);
  EXPECT_EQ(first.picture, 3);
  EXPECT_EQ(first.ticks, 5);
  EXPECT_EQ(first.dx, 1);
  EXPECT_EQ(first.dy, 2);
  EXPECT_EQ(first.body.y, -50);
  EXPECT_EQ(first.body.width, 40);
  EXPECT_EQ(rows[0].cells[1].ticks, 0) << "held";

  EXPECT_EQ(rows[1].action, 3);
  ASSERT_EQ(rows[1].cells.size(), 3u);
  EXPECT_EQ(rows[1].cells[0].attack.width, 0) << "no attack box before its instruction";
  EXPECT_EQ(rows[1].cells[1].attack.width, 50);
  EXPECT_EQ(rows[1].cells[1].damage, 9);
  EXPECT_FALSE(rows[1].cells[1].armed);
  EXPECT_TRUE(rows[1].cells[2].armed);
  EXPECT_EQ(rows[1].cells[0].body.width, 0) << "each action starts without the boxes of the one before";
}

TEST(ContactSheet, TheLayoutFitsTheLargestPictureAndRefusesASheetTooLarge) {
  std::vector<SheetRow> rows(2);
  rows[0].cells.resize(3);
  rows[1].cells.resize(23);  // three lines of ten
  SheetLayout layout;
  std::string error;
  ASSERT_TRUE(layOutSheet(rows, 200, 180, layout, error)) << error;
  EXPECT_EQ(layout.cellWidth, 220);
  EXPECT_EQ(layout.width, layout.labelWidth + 10 * 220);
  EXPECT_EQ(layout.rowTop, (std::vector<int>{0, layout.cellHeight}));
  EXPECT_EQ(layout.height, 4 * layout.cellHeight);
  EXPECT_GE(layout.cellHeight, 180 + layout.feetFromBottom);

  ASSERT_TRUE(layOutSheet(rows, 100000, 100000, layout, error));
  EXPECT_LE(layout.cellWidth, 400) << "a huge picture makes no huge sheet";

  std::vector<SheetRow> many(200);
  for (SheetRow& r : many) r.cells.resize(1);
  EXPECT_FALSE(layOutSheet(many, 200, 400, layout, error));
  EXPECT_NE(error.find("too many frames"), std::string::npos) << error;
  EXPECT_FALSE(layOutSheet({}, 10, 10, layout, error));
}

TEST(SheetCommand, WritesTheSheetOfThePlayerCharacter) {
  const fs::path game = TERVALEN_BINARY_DIR "/game";
  if (!fs::exists(game / "data") || !fs::exists(TERVALEN_BINARY_DIR "/tervalen-data")) GTEST_SKIP() << "not built";
  ScratchDir dir;
  fs::copy(game, dir.path() / "game", fs::copy_options::recursive);
  auto run = [&](const std::string& args) {
    const std::string cmd = "cd '" + dir.path().string() + "' && " TERVALEN_BINARY_DIR "/tervalen-data sheet " + args +
                            " >'" + dir.file("out.txt") + "' 2>'" + dir.file("err.txt") + "'";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  ASSERT_EQ(run("--root game c_morivane -o sheet.png"), 0) << readFile(dir.file("err.txt"));
  SDL_Surface* raw = IMG_Load(dir.file("sheet.png").c_str());
  ASSERT_NE(raw, nullptr) << IMG_GetError();
  SDL_Surface* sheet = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(raw);
  ASSERT_NE(sheet, nullptr);
  // c_morivane has a row of ten frames or more, and each row is as high as its lines.
  EXPECT_GT(sheet->w, 170 + 9 * 120);
  EXPECT_GT(sheet->h, 20 * 150);
  auto pixel = [sheet](int x, int y) { return static_cast<const uint32_t*>(sheet->pixels)[y * (sheet->pitch / 4) + x]; };
  // The first cell (stand, its first frame) shows the body box around the character.
  int body = 0;
  for (int y = 0; y < 150; ++y)
    for (int x = 170; x < 170 + 120; ++x) body += pixel(x, y) == boxcolors::kBody;
  EXPECT_GT(body, 100);
  SDL_FreeSurface(sheet);

  EXPECT_EQ(run("--root game nobody -o none.png"), 1);
  EXPECT_NE(readFile(dir.file("err.txt")).find("nobody: data/chara/nobody.dat"), std::string::npos)
      << readFile(dir.file("err.txt"));
  EXPECT_FALSE(fs::exists(dir.file("none.png")));
  EXPECT_EQ(run("c_morivane"), 2) << "no -o";
}

}  // namespace
