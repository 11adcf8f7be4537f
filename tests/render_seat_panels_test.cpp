// The display of two to four players, and that a game for one is drawn as it
// always was.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "RenderedWorld.h"
#include "TestFont.h"
#include "WorldHelpers.h"
#include "render/SeatLook.h"
#include "render/SeatPanels.h"

namespace worldtest {
namespace {

struct Rect {
  float x0, y0, x1, y1;
};
Rect bounds(const hgeQuad& q) {
  return {std::min(q.v[0].x, q.v[2].x), std::min(q.v[0].y, q.v[2].y), std::max(q.v[0].x, q.v[2].x),
          std::max(q.v[0].y, q.v[2].y)};
}

class SeatsDrawn : public WorldTestOf<objtest::RenderedWorld> {
 protected:
  void SetUp() override {
    WorldTestOf::SetUp();
    w.addPictureSet("fighters", {{60, 120}});
    std::filesystem::create_directories("pak/ui/hta");
    for (const char* name : {"base", "hp", "sp", "cp", "m_hp"})
      objtest::RenderedWorld::writePng(std::string("pak/ui/hta/") + name + ".png", 400, 200, 0xFF808080u);
    ASSERT_TRUE(writeTestFont(printableAscii(), 10));
  }
  // Seats 1 to n play, their fighters standing apart.
  void seatFighters(int n) {
    for (int i = 0; i < n; ++i) objtest::ObjectWorld::tick(world().createChara("c_morivane", 0, 100 + 120 * i, 300));
    world().setFighters(static_cast<size_t>(n));
  }
  template <class Draw>
  std::vector<hgeQuad> capture(Draw draw) {
    std::vector<hgeQuad> quads;
    w.engine()->Gfx_SetCaptureHook([&quads](const hgeQuad& q) { quads.push_back(q); });
    draw();
    w.engine()->Gfx_SetCaptureHook(nullptr);
    return quads;
  }
};

TEST_F(SeatsDrawn, AGameForOneIsDrawnAsItAlwaysWas) {
  seatFighters(1);
  Chara* enemy = world().createChara("guai01", 1, 400, 300);
  objtest::ObjectWorld::tick(enemy);
  world().hud.target = enemy;
  const std::vector<hgeQuad> quads = capture([&] { w.render(); });
  // Shadow and body of both characters, the display's five pictures, then
  // "Score = 0  ": no ring, no name, no other panel.
  ASSERT_EQ(quads.size(), 4u + 5u + 11u);
  EXPECT_EQ(quads[1].v[0].col, 0xFFFFFFFFu);  // the player's body, untinted
  const Rect display[] = {{0, 0, 362, 178}, {43, 146, 212, 156}, {125, 17, 294, 24}, {125, 31, 294, 36}, {197, 41, 261, 48}};
  for (size_t i = 0; i < 5; ++i) {
    const Rect r = bounds(quads[4 + i]);
    EXPECT_TRUE(r.x0 == display[i].x0 && r.y0 == display[i].y0 && r.x1 == display[i].x1 && r.y1 == display[i].y1)
        << "picture " << i << " at " << r.x0 << "," << r.y0 << " to " << r.x1 << "," << r.y1;
  }
  EXPECT_FLOAT_EQ(bounds(quads.back()).x1, 800);
}

// Every quad of the panels stays in its seat's column at the top of the
// screen: no two panels overlap, none leaves the screen, the fight below stays
// clear. A free seat shows "P3" and "press punch to join", each glyph over its
// shadow; a seat that is out, a darkened panel.
TEST_F(SeatsDrawn, PanelsKeepToTheirColumnsAtTheTop) {
  for (int seats : {2, 4}) {
    SCOPED_TRACE(seats);
    seatFighters(seats);
    for (int n = 1; n <= seats; ++n) world().seat(n).hud.score = 1234567;
    world().seat(1).continueFrames = 900;  // its continue note too
    world().continuesLeft = 1;
    world().seat(2).state = Seat::OUT;
    BitmapFont font(w.engine(), "font1.fnt");
    std::vector<std::vector<hgeQuad>> columns(kMaxSeats);
    for (const hgeQuad& q : capture([&] { drawSeatPanels(w.engine(), world(), w.renderer().hud(), font, 0xFF000000); })) {
      const Rect r = bounds(q);
      const int column = static_cast<int>(r.x0 / 200);
      ASSERT_TRUE(r.x0 >= 0 && column < kMaxSeats);
      EXPECT_LE(r.x1, 200.0f * (column + 1) + 0.01f) << "leaves column " << column + 1;
      EXPECT_TRUE(r.y0 >= 0 && r.y1 <= panelStripHeight()) << r.y0 << " to " << r.y1;
      columns[static_cast<size_t>(column)].push_back(q);
    }
    EXPECT_LT(panelStripHeight(), 110);
    for (int n = 1; n <= seats; ++n) EXPECT_FLOAT_EQ(bounds(columns[n - 1].front()).x1, 200.0f * n);  // the frame
    for (int n = seats + 1; n <= kMaxSeats; ++n) EXPECT_EQ(columns[n - 1].size(), 2u * (2 + 19)) << "seat " << n;
    EXPECT_EQ(columns[0].front().v[0].col, 0xFFFFFFFFu);
    EXPECT_LT(columns[1].front().v[0].col >> 24, 0xFFu);
    w.resetScene();
  }
}

TEST_F(SeatsDrawn, BarsFollowTheFightersOwnFullHitPoints) {
  seatFighters(2);  // 100 hit points in the hero's file
  Chara* enemy = world().createChara("guai01", 1, 400, 300);  // 30 in its file
  const struct {
    int32_t fighterHp, enemyHp, enemyTeamHp;
    float hpBar, enemyBar;
  } rows[] = {
      {100, 30, 0, 169, 169}, {50, 15, 0, 84.5f, 84.5f}, {0, 0, 0, 0, 0},
      {25, 45, 90, 42.25f, 84.5f},  // an enemy strengthened for the team counts from its own full
  };
  const PanelPlace at = panelPlace(2);
  for (const auto& r : rows) {
    Seat& s = world().seat(2);
    s.hud.player->hp = r.fighterHp;
    enemy->hp = r.enemyHp;
    enemy->teamHp = r.enemyTeamHp;
    s.hud.target = enemy;
    const std::vector<hgeQuad> quads = capture([&] { w.renderer().hud().drawPanel(s.hud, at); });
    ASSERT_EQ(quads.size(), 5u);
    const Rect enemyBar = bounds(quads[1]), hpBar = bounds(quads[2]);
    EXPECT_NEAR(hpBar.x1 - hpBar.x0, r.hpBar * at.scale, 0.001) << r.fighterHp;
    EXPECT_NEAR(enemyBar.x1 - enemyBar.x0, r.enemyBar * at.scale, 0.001) << r.enemyHp;
    EXPECT_FLOAT_EQ(hpBar.x0, at.x + 125 * at.scale);
  }
}

}  // namespace
}  // namespace worldtest
