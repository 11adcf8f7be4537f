// The enemy panel where the rules name enemies: the targeted enemy's name (its
// display name, else its character's), a boss's in the boss colour over a
// taller bar, and no enemy plate at all while nobody is targeted.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RenderedWorld.h"
#include "TestFont.h"
#include "WorldHelpers.h"
#include "gfx/BitmapFont.h"

namespace worldtest {
namespace {

class EnemyPanel : public WorldTestOf<objtest::RenderedWorld> {
 protected:
  void SetUp() override {
    WorldTestOf::SetUp();
    std::filesystem::create_directories("pak/ui/hta");
    for (const char* name : {"base", "hp", "sp", "cp", "m_hp"})
      objtest::RenderedWorld::writePng(std::string("pak/ui/hta/") + name + ".png", 400, 200, 0xFF808080u);
    ASSERT_TRUE(writeTestFont(printableAscii(), 10));
    fair.namedEnemyPanel = true;
    fair.displayNames.push_back({"guai01", "Street Thug"});
    fair.bosses.push_back("boss01");
  }
  std::vector<hgeQuad> drawn(const Hud& hud) {
    std::vector<hgeQuad> quads;
    BitmapFont font(w.engine(), "font1.fnt");
    w.engine()->Gfx_SetCaptureHook([&quads](const hgeQuad& q) { quads.push_back(q); });
    w.renderer().hud().drawPanel(hud, PanelPlace{}, 0xFFFFFFFF, {}, &fair);
    w.renderer().hud().drawTargetName(hud, fair, font);
    w.engine()->Gfx_SetCaptureHook(nullptr);
    return quads;
  }
  static float bottom(const hgeQuad& q) { return std::max(q.v[0].y, q.v[2].y); }
  static float height(const hgeQuad& q) { return bottom(q) - std::min(q.v[0].y, q.v[2].y); }
  // The glyphs drawn in `color` (each name is drawn over its shadow).
  static size_t glyphsIn(const std::vector<hgeQuad>& quads, uint32_t color) {
    return static_cast<size_t>(std::count_if(quads.begin(), quads.end(), [&](const hgeQuad& q) {
      return q.v[0].col == color && height(q) == 16;
    }));
  }
  FairRules fair;
};

TEST_F(EnemyPanel, NamesTheTargetAndMarksABoss) {
  Chara* thug = world().createChara("guai01", 1, 400, 300);
  Chara* stranger = world().createChara("stranger", 1, 500, 300);
  Chara* boss = world().createChara("boss01", 1, 600, 300);
  const struct {
    Chara* target;
    std::string shown;
    uint32_t color;
    float barHeight;
  } cases[] = {
      {thug, "Street Thug", 0xFFFFFFFFu, 10},
      {stranger, "stranger", 0xFFFFFFFFu, 10},  // no display name: the character's own
      {boss, "BOSS  boss01", 0xFFFFC040u, 16},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    Hud hud;
    hud.target = c.target;
    const std::vector<hgeQuad> quads = drawn(hud);
    EXPECT_EQ(bottom(quads.front()), 178) << "the whole frame, enemy plate and all";
    const size_t letters = static_cast<size_t>(std::count_if(c.shown.begin(), c.shown.end(), [](char ch) { return ch != ' '; }));
    EXPECT_GE(glyphsIn(quads, c.color), letters);
    EXPECT_LE(glyphsIn(quads, c.color), c.shown.size());
    const bool tallBar = std::any_of(quads.begin(), quads.end(), [&](const hgeQuad& q) { return height(q) == c.barHeight; });
    EXPECT_TRUE(tallBar) << "the enemy's bar is " << c.barHeight << " high";
  }
}

TEST_F(EnemyPanel, GoesAwayWhileNobodyIsTargetedAndStaysWhereTheRulesDoNotAsk) {
  Hud hud;
  std::vector<hgeQuad> quads = drawn(hud);
  EXPECT_LT(bottom(quads.front()), 139) << "the frame ends above the enemy plate";
  EXPECT_EQ(glyphsIn(quads, 0xFFFFFFFFu), 0u);
  fair.namedEnemyPanel = false;
  quads = drawn(hud);
  EXPECT_EQ(bottom(quads.front()), 178) << "the frame as it always was";
}

}  // namespace
}  // namespace worldtest
