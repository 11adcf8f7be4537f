// The display and the fighters' marks of two to four players, and that a game
// for one is drawn as it always was.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RenderedWorld.h"
#include "TestFont.h"
#include "WorldHelpers.h"
#include "render/SeatLook.h"
#include "render/SeatMarks.h"
#include "render/SeatPanels.h"

namespace worldtest {
namespace {

struct Rect {
  float x0, y0, x1, y1;
};
Rect bounds(const hgeQuad& q) {
  Rect r{q.v[0].x, q.v[0].y, q.v[0].x, q.v[0].y};
  for (const hgeVertex& v : q.v) {
    r.x0 = std::min(r.x0, v.x);
    r.y0 = std::min(r.y0, v.y);
    r.x1 = std::max(r.x1, v.x);
    r.y1 = std::max(r.y1, v.y);
  }
  return r;
}

class SeatsDrawn : public WorldTestOf<objtest::RenderedWorld> {
 protected:
  void SetUp() override {
    WorldTestOf::SetUp();
    w.addPictureSet("fighters", {{60, 120}});  // set 0: every test fighter's picture
    std::filesystem::create_directories("pak/ui/hta");
    for (const char* name : {"base", "hp", "sp", "cp", "m_hp"})
      objtest::RenderedWorld::writePng(std::string("pak/ui/hta/") + name + ".png", 400, 200, 0xFF808080u);
    ASSERT_TRUE(writeTestFont(printableAscii(), 10));
  }
  // `n` fighters at the start of `charas`, the seats 1 to n, standing apart.
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
  std::vector<hgeQuad> panels() {
    BitmapFont font(w.engine(), "font1.fnt");
    return capture([&] { drawSeatPanels(world(), w.renderer().hud(), font, 0xFF000000); });
  }
};

TEST_F(SeatsDrawn, AGameForOneIsDrawnAsItAlwaysWas) {
  seatFighters(1);
  Chara* enemy = world().createChara("guai01", 1, 400, 300);
  objtest::ObjectWorld::tick(enemy);
  world().hud.target = enemy;
  const std::vector<hgeQuad> quads = capture([&] { w.render(); });
  // Shadow and body of the two characters, the five pictures of the display,
  // then "Score = 0  " (11 glyphs): no ring, no name, no other panel.
  ASSERT_EQ(quads.size(), 4u + 5u + 11u);
  EXPECT_EQ(quads[1].v[0].col, 0xFFFFFFFFu);  // the player's body, untinted
  const struct {
    size_t quad;
    float x, y, w, h;
  } display[] = {{4, 0, 0, 362, 178}, {5, 43, 146, 169, 10}, {6, 125, 17, 169, 7}, {7, 125, 31, 169, 5}, {8, 197, 41, 64, 7}};
  for (const auto& d : display) {
    const Rect r = bounds(quads[d.quad]);
    EXPECT_FLOAT_EQ(r.x0, d.x) << "quad " << d.quad;
    EXPECT_FLOAT_EQ(r.y0, d.y) << "quad " << d.quad;
    EXPECT_FLOAT_EQ(r.x1 - r.x0, d.w) << "quad " << d.quad;
    EXPECT_FLOAT_EQ(r.y1 - r.y0, d.h) << "quad " << d.quad;
    EXPECT_EQ(quads[d.quad].v[0].col, 0xFFFFFFFFu) << "quad " << d.quad;
  }
  EXPECT_FLOAT_EQ(bounds(quads.back()).x1, 800);
}

// Every quad of the panels lies inside its seat's column at the top of the
// screen, so no two panels overlap, none leaves the screen and the fight
// below stays clear; every seat's column shows something.
TEST_F(SeatsDrawn, PanelsKeepToTheirColumnsAtTheTop) {
  for (int seats : {2, 4}) {
    SCOPED_TRACE(seats);
    seatFighters(seats);
    for (int n = 1; n <= seats; ++n) world().seat(n).hud.score = 1234567;  // the widest score text
    world().seat(1).continueFrames = 900;  // its note under the panel
    world().continuesLeft = 1;
    ASSERT_TRUE(playingTogether(world()));
    std::vector<int> perColumn(kMaxSeats, 0);
    for (const hgeQuad& q : panels()) {
      const Rect r = bounds(q);
      const int column = static_cast<int>(r.x0 / 200);
      ASSERT_GE(r.x0, 0);
      ASSERT_LT(column, kMaxSeats);
      EXPECT_LE(r.x1, 200.0f * (column + 1) + 0.01f) << "leaves column " << column + 1;
      EXPECT_GE(r.y0, 0);
      EXPECT_LE(r.y1, panelStripHeight());
      ++perColumn[static_cast<size_t>(column)];
    }
    for (int n = 0; n < kMaxSeats; ++n) EXPECT_GT(perColumn[static_cast<size_t>(n)], 0) << "seat " << n + 1;
    EXPECT_LT(panelStripHeight(), 110);
    w.resetScene();
  }
}

TEST_F(SeatsDrawn, AFreeSeatAsksForPunchAndAnOutSeatIsDarkened) {
  seatFighters(2);
  world().seat(2).state = Seat::OUT;
  const std::vector<hgeQuad> quads = panels();
  auto inColumn = [&](int seat) {
    std::vector<hgeQuad> in;
    for (const hgeQuad& q : quads)
      if (bounds(q).x0 >= 200.0f * (seat - 1) && bounds(q).x0 < 200.0f * seat) in.push_back(q);
    return in;
  };
  for (int free : {3, 4}) {
    const std::vector<hgeQuad> column = inColumn(free);
    // "P3" and "press punch to join", each glyph twice (shadow, then text).
    EXPECT_EQ(column.size(), 2u * (2 + 19)) << "seat " << free;
  }
  const hgeQuad outFrame = inColumn(2).front();
  EXPECT_FLOAT_EQ(bounds(outFrame).x1 - bounds(outFrame).x0, 200);
  EXPECT_LT(outFrame.v[0].col >> 24, 0xFFu);
  EXPECT_EQ(inColumn(1).front().v[0].col, 0xFFFFFFFFu);
}

TEST_F(SeatsDrawn, BarsFollowTheFightersOwnFullHitPoints) {
  seatFighters(2);
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

TEST_F(SeatsDrawn, AFallenSeatCountsDownWholeSecondsWhileTheTeamHasContinues) {
  seatFighters(2);
  const struct {
    Seat::State state;
    int32_t continueFrames, continuesLeft;
    SeatPanelText::Kind kind;
    int seconds;
  } rows[] = {
      {Seat::PLAYING, 1000, 3, SeatPanelText::CONTINUE, 10}, {Seat::PLAYING, 901, 1, SeatPanelText::CONTINUE, 10},
      {Seat::PLAYING, 900, 1, SeatPanelText::CONTINUE, 9},   {Seat::PLAYING, 1, 1, SeatPanelText::CONTINUE, 1},
      {Seat::PLAYING, 500, 0, SeatPanelText::PLAYING, 0},    {Seat::PLAYING, 0, 3, SeatPanelText::PLAYING, 0},
      {Seat::OUT, 0, 3, SeatPanelText::OUT, 0},              {Seat::FREE, 0, 3, SeatPanelText::JOIN, 0},
  };
  for (const auto& r : rows) {
    Seat& s = world().seat(2);
    s.state = r.state;
    s.continueFrames = r.continueFrames;
    world().continuesLeft = r.continuesLeft;
    const SeatPanelText t = seatPanelText(world(), 2);
    EXPECT_EQ(t.kind, r.kind) << r.continueFrames << " frames, " << r.continuesLeft << " continues";
    EXPECT_EQ(t.continueSeconds, r.seconds) << r.continueFrames << " frames";
  }
}

TEST_F(SeatsDrawn, EachSeatsFighterStandsInARingOfItsColourAndTheOthersLookTheirOwn) {
  seatFighters(2);
  Chara* enemy = world().createChara("guai01", 1, 400, 300);
  objtest::ObjectWorld::tick(enemy);
  const struct {
    const Obj* o;
    int seat;
    uint32_t body;
  } rows[] = {{world().seat(1).hud.player, 1, 0xFFFFFFFF}, {world().seat(2).hud.player, 2, seatBodyTint(2)},
              {enemy, 0, 0xFFFFFFFF}};
  for (const auto& r : rows) {
    const int seat = fighterSeat(world(), *r.o);
    EXPECT_EQ(seat, r.seat);
    const std::vector<hgeQuad> quads = capture([&] { w.renderer().drawObject(*r.o, seat); });
    ASSERT_GE(quads.size(), 2u);
    EXPECT_EQ(quads.back().v[0].col, r.body) << "seat " << r.seat;
    const size_t ring = static_cast<size_t>(std::count_if(quads.begin(), quads.end(), [&](const hgeQuad& q) {
      return q.tex == 0 && (q.v[0].col & 0xFFFFFF) == (seatColor(r.seat) & 0xFFFFFF);
    }));
    EXPECT_EQ(ring > 0, r.seat != 0) << "seat " << r.seat;
  }
  EXPECT_NE(seatBodyTint(2), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace worldtest
