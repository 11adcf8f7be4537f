// The ending screen: after the final scene is cleared, the ending text with the
// score and kills is drawn in the bitmap font, centred on x = 400 from y = 150.
// Checked through the glyph quads the engine receives.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "app/ScreenFlow.h"
#include "data_folder.h"
#include "format/CharaData.h"
#include "format/ResourceCatalog.h"
#include "format/SceneFile.h"
#include "world/Hud.h"
#include "world/World.h"
#include "format/SystemData.h"

using testdata::DataFolder;

namespace {

constexpr int kGlyphWidth = 8;
constexpr int kGlyphHeight = 14;
constexpr int kFontTextureWidth = 1024;

// A game folder whose first scene is the final one, "zd", with no enemies:
// the first update of play ends the game.
void writeGame(DataFolder& folder) {
  ResourceCatalog catalog;
  catalog.entries.push_back({"hero", {"p.png"}, {}});
  folder.write("data/res.dat", writeResourceCatalog(catalog));
  folder.writePng("pak/hero/hta/p.png", 40, 80);
  folder.write("data/system.dat", writeSystemData(SystemData{{"ok"}, ""}));

  CharaData fighter;
  fighter.name = "hero";
  fighter.maxHp = 100;
  for (int i = 0; i < 20; ++i) fighter.actions.push_back(Action{"hold", {Instruction{0, {0, 0, 0, 0}}}});
  fighter.reactions = {8, 8, 10};
  folder.write("data/chara/c_morivane.dat", writeCharaFile(fighter));
  fighter.name = "system";
  folder.write("data/chara/system.dat", writeCharaFile(fighter));

  SceneFile last;
  last.name = "zd";
  last.width = 800;
  last.depth = 200;
  last.propId = "system";
  folder.write("data/scene/Test.dat", writeSceneFile(last));

  // Every printable byte, 8 pixels wide at x = code * 8, with a post of 1.
  std::string fnt = "[HGEFONT]\r\nBitmap = font1.png\r\n";
  for (int c = 32; c < 127; ++c) {
    char line[64];
    std::snprintf(line, sizeof line, "Char=%02X,%d,0,%d,%d,0,1\r\n", c, c * kGlyphWidth, kGlyphWidth, kGlyphHeight);
    fnt += line;
  }
  folder.write("font1.fnt", fnt);
  folder.writePng("font1.png", kFontTextureWidth, 16);
}

struct DrawnLine {
  float y;
  float left, right;  // from the first glyph's left edge to the last glyph's advance
  std::string text;
};

// Reads the text back from the glyph quads: the glyph's texture column gives
// its byte; a new line starts where y changes.
std::vector<DrawnLine> readLines(const std::vector<hgeQuad>& quads) {
  std::vector<DrawnLine> lines;
  for (const hgeQuad& q : quads) {
    const int column = int(std::lround(q.v[0].tx * kFontTextureWidth));
    const char c = char(column / kGlyphWidth);
    if (lines.empty() || lines.back().y != q.v[0].y) lines.push_back({q.v[0].y, q.v[0].x, q.v[0].x, ""});
    lines.back().text += c;
    lines.back().right = q.v[1].x + 1;  // the glyph's post
  }
  return lines;
}

}  // namespace

TEST(EndingScreen, ShowsTheThanksWithScoreAndKillsCentredInTheBitmapFont) {
  DataFolder folder;
  writeGame(folder);
  HGE* engine = folder.engine();
  ScreenFlow flow(engine, GameRules{}, [](int lo, int) { return lo; }, nullptr);
  flow.loadScreens();

  EXPECT_FALSE(flow.frame());  // builds the world
  ASSERT_EQ(flow.state(), ScreenFlow::PLAYING) << folder.log();
  ASSERT_NE(flow.world(), nullptr);
  const_cast<World*>(flow.world())->hud.score = 1234;  // as if earned in the scenes before
  const_cast<World*>(flow.world())->hud.kills = 7;

  EXPECT_FALSE(flow.frame());  // the final scene has no enemy left: the game ends
  ASSERT_EQ(flow.state(), ScreenFlow::ENDING);

  std::vector<hgeQuad> quads;
  engine->Gfx_SetCaptureHook([&](const hgeQuad& q) { quads.push_back(q); });
  flow.render();
  engine->Gfx_SetCaptureHook(nullptr);

  const std::vector<DrawnLine> lines = readLines(quads);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0].text, "Thank You For Your Playing");
  EXPECT_EQ(lines[1].text, "Your Score 1234");
  EXPECT_EQ(lines[2].text, "Kills 7");
  EXPECT_EQ(lines[3].text, "Press ESC To Exit ");
  // Line positions: the text hangs from y = 150, blank lines included.
  EXPECT_EQ(lines[0].y, 150);
  EXPECT_EQ(lines[1].y, 150 + 3 * kGlyphHeight);
  EXPECT_EQ(lines[2].y, 150 + 4 * kGlyphHeight);
  EXPECT_EQ(lines[3].y, 150 + 6 * kGlyphHeight);
  // Each line is centred on x = 400 on its own (halves round to even).
  for (const DrawnLine& line : lines) {
    const float width = line.right - line.left;
    EXPECT_EQ(line.left, 400 - std::nearbyint(width / 2)) << line.text;
  }
  // The glyphs are the font's default white.
  for (const hgeQuad& q : quads) EXPECT_EQ(q.v[0].col, 0xFFFFFFFFu);

  // Nothing changes the numbers once the ending is up.
  quads.clear();
  EXPECT_FALSE(flow.frame());
  engine->Gfx_SetCaptureHook([&](const hgeQuad& q) { quads.push_back(q); });
  flow.render();
  engine->Gfx_SetCaptureHook(nullptr);
  EXPECT_EQ(readLines(quads)[1].text, "Your Score 1234");
}
