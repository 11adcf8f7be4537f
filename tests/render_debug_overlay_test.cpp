// The modder's overlay (F1) as the engine sees it: a character's body box is
// outlined where the character stands on the screen, its depth as a band on
// the ground; an armed attack box in another colour than one not armed.
#include <gtest/gtest.h>

#include <vector>

#include "RenderedWorld.h"
#include "TestFont.h"
#include "WorldHelpers.h"
#include "render/BoxView.h"
#include "render/DebugOverlay.h"

namespace worldtest {
namespace {

class Overlay : public WorldTestOf<objtest::RenderedWorld> {
 protected:
  void SetUp() override {
    WorldTestOf<objtest::RenderedWorld>::SetUp();
    CharaData striker = fighter("striker", 10, 2);
    striker.actions[0] = act({frame(0, 1), attackBox(60, -40, 80, 20, 30, 5), armHit(-1, 2, 3, 1, 2), frame(0, 0)});
    w.writeChara("striker", striker);
  }
  std::vector<hgeQuad> drawn(const std::function<void(DebugOverlay&)>& draw) {
    std::vector<hgeQuad> quads;
    DebugOverlay overlay(w.engine());
    w.engine()->Gfx_SetCaptureHook([&quads](const hgeQuad& q) { quads.push_back(q); });
    w.engine()->Gfx_BeginScene(0);
    draw(overlay);
    w.engine()->Gfx_EndScene();
    w.engine()->Gfx_SetCaptureHook(nullptr);
    return quads;
  }
};

// Whether a quad of `color` covers exactly (x0, y0)-(x1, y1).
bool has(const std::vector<hgeQuad>& quads, uint32_t color, float x0, float y0, float x1, float y1) {
  for (const hgeQuad& q : quads)
    if (q.v[0].col == color && q.v[0].x == x0 && q.v[0].y == y0 && q.v[2].x == x1 && q.v[2].y == y1) return true;
  return false;
}
size_t count(const std::vector<hgeQuad>& quads, uint32_t color) {
  size_t n = 0;
  for (const hgeQuad& q : quads) n += q.v[0].col == color;
  return n;
}

TEST_F(Overlay, ABodyBoxIsOutlinedWhereTheCharacterStands) {
  Chara* p = addPlayer(300, 100);
  world().update();
  ASSERT_EQ(p->x, 300);
  world().cameraX = 200;
  world().cameraY = 10;
  const std::vector<hgeQuad> quads = drawn([&](DebugOverlay& o) { o.draw(world(), OverlayClock{}); });
  // Body (0, -50) 40 wide, 100 high, 20 deep at (300, 0, 100), the camera at (200, 10):
  // x 80..120 on the screen, its middle at -50 + 100 - 10 = 40, so 100 high is -10..90.
  EXPECT_TRUE(has(quads, boxcolors::kBody, 80, -10, 120, -9)) << "the top edge";
  EXPECT_TRUE(has(quads, boxcolors::kBody, 80, 89, 120, 90)) << "the bottom edge";
  EXPECT_TRUE(has(quads, boxcolors::kBody, 80, -9, 81, 89)) << "the left edge";
  EXPECT_TRUE(has(quads, boxcolors::kBody, 119, -9, 120, 89)) << "the right edge";
  EXPECT_TRUE(has(quads, boxcolors::kBodyFloor, 80, 80, 120, 100)) << "its depth, on the ground at 100 - 10";
  EXPECT_EQ(count(quads, boxcolors::kBody), 4u) << "one character, one body box";
  EXPECT_EQ(count(quads, boxcolors::kArmed) + count(quads, boxcolors::kAttack), 0u) << "no attack box";
}

TEST_F(Overlay, AnArmedAttackBoxIsRedAndOneNotArmedIsOrange) {
  addPlayer(2000, 100);
  Obj* s = world().createObj("striker", 0, 0, 0, 1, 300, 0, 100);
  world().update();
  world().update();
  ASSERT_TRUE(s->hasAttackBox());
  ASSERT_TRUE(s->hit.active) << "nothing within reach: the hit stays armed";
  world().cameraX = 0;
  world().cameraY = 0;
  // Attack (60, -40) 80 wide, 20 high at (300, 0, 100): x 320..400, y 50..70.
  std::vector<hgeQuad> quads = drawn([&](DebugOverlay& o) { o.drawBoxes(*s, 0, 0); });
  EXPECT_TRUE(has(quads, boxcolors::kArmed, 320, 50, 400, 52)) << "the top edge, two wide";
  EXPECT_TRUE(has(quads, boxcolors::kArmedFill, 320, 50, 400, 70));
  EXPECT_EQ(count(quads, boxcolors::kAttack), 0u);

  s->hit.active = false;
  quads = drawn([&](DebugOverlay& o) { o.drawBoxes(*s, 0, 0); });
  EXPECT_TRUE(has(quads, boxcolors::kAttack, 320, 50, 400, 51));
  EXPECT_EQ(count(quads, boxcolors::kArmed) + count(quads, boxcolors::kArmedFill), 0u);
}

TEST_F(Overlay, LabelsOfFightersStandingTogetherDoNotCoverEachOther) {
  ASSERT_TRUE(writeTestFont(printableAscii(), 4));  // 4-pixel glyphs
  addPlayer(300, 100);
  world().createChara("guai01", 1, 310, 100);
  world().createChara("guai02", 1, 290, 102);
  world().update();
  const std::vector<hgeQuad> quads = drawn([&](DebugOverlay& o) { o.draw(world(), OverlayClock{}); });
  // The dark bands behind the labels' lines: two lines for each of the three.
  std::vector<hgeQuad> bands;
  for (const hgeQuad& q : quads)
    if (q.v[0].col == 0xB0000000 && q.v[0].y < 200) bands.push_back(q);
  ASSERT_EQ(bands.size(), 6u);
  for (size_t i = 0; i < bands.size(); ++i)
    for (size_t j = i + 1; j < bands.size(); ++j) {
      const hgeQuad& a = bands[i];
      const hgeQuad& b = bands[j];
      const bool meet = a.v[0].x < b.v[2].x && b.v[0].x < a.v[2].x && a.v[0].y < b.v[2].y && b.v[0].y < a.v[2].y;
      EXPECT_FALSE(meet) << "band " << i << " at y " << a.v[0].y << " and band " << j << " at y " << b.v[0].y;
    }
}

}  // namespace
}  // namespace worldtest
