#include "render/HudDrawer.h"

#include "object/Chara.h"
#include "world/GameRules.h"

namespace {

// A sprite over the display's fixed rectangle (0, 0, width, height) of a
// picture from the pack: a larger picture is cut to it. A missing picture
// leaves its part of the display undrawn.
SpriteQuad loadPicture(HGE* engine, const HudPicture& picture) {
  const HTEXTURE tex = engine->Texture_Load(picture.path, 0, false);
  if (!tex) engine->System_Log("The display's picture %s is missing: that part is not drawn", picture.path);
  return SpriteQuad(engine, tex, 0.0f, 0.0f, tex ? picture.width : 0.0f, tex ? picture.height : 0.0f);
}

// The length of a hit-point bar `full` pixels long, against the character's
// full hit points (an enemy strengthened for a team counts from its own). A
// character without sensible full hit points shows an empty bar; the ratio
// stays within 0..1.
float barLength(const Chara* c, float full) {
  if (!c || !c->data || c->fullHp() <= 0) return 0.0f;
  double ratio = static_cast<double>(c->hp) / static_cast<double>(c->fullHp());
  if (ratio < 0) ratio = 0;
  if (ratio > 1) ratio = 1;
  return static_cast<float>(ratio * full);
}

// A picture that did not load is left out rather than drawn as a white block.
void drawLoaded(SpriteQuad& s, const HudPicture& picture, const PanelPlace& at, uint32_t color) {
  if (!s.texture()) return;
  s.setColor(color);
  s.drawScaled(at.x + picture.x * at.scale, at.y + picture.y * at.scale, at.scale, at.scale);
}

}  // namespace

HudDrawer::HudDrawer(HGE* engine)
    : base(loadPicture(engine, HudLayout::frame)),
      hp(loadPicture(engine, HudLayout::playerBar)),
      sp(loadPicture(engine, HudLayout::secondBar)),
      cp(loadPicture(engine, HudLayout::powerGauge)),
      mhp(loadPicture(engine, HudLayout::targetBar)),
      engine_(engine) {}

// The display's pictures go with it.
HudDrawer::~HudDrawer() {
  for (const SpriteQuad* s : {&base, &hp, &sp, &cp, &mhp})
    if (s->texture()) engine_->Texture_Free(s->texture());
}

void HudDrawer::draw(const Hud& hud) { drawPanel(hud, PanelPlace{}); }

void HudDrawer::drawPanel(const Hud& hud, const PanelPlace& at, uint32_t color) {
  hp.setRegion(0, 0, barLength(hud.player, HudLayout::playerBar.width), HudLayout::playerBar.height);
  drawLoaded(base, HudLayout::frame, at, color);
  if (hud.target) {
    mhp.setRegion(0, 0, barLength(hud.target, HudLayout::targetBar.width), HudLayout::targetBar.height);
    drawLoaded(mhp, HudLayout::targetBar, at, color);
  }
  drawLoaded(hp, HudLayout::playerBar, at, color);
  cp.setRegion(0, 0,
               static_cast<float>(static_cast<double>(hud.power) / MAX_POWER * HudLayout::powerGauge.width),
               HudLayout::powerGauge.height);
  drawLoaded(sp, HudLayout::secondBar, at, color);
  drawLoaded(cp, HudLayout::powerGauge, at, color);
}
