#include "render/HudDrawer.h"

#include "gfx/BitmapFont.h"
#include "object/Chara.h"
#include "world/GameRules.h"

namespace {

// Where a hero's 100x100 portrait covers the medallion of the display's frame.
constexpr float kPortraitX = 6, kPortraitY = 3;
// The display's frame above its enemy plate: all of it that shows while no enemy is targeted.
constexpr float kFrameAboveEnemyPlate = 112;
// The enemy's name, just over its plate, and the colours of an enemy's and a boss's.
constexpr float kNameX = 58, kNameY = 116;  // clear of a seat's P1 to P4
constexpr uint32_t kEnemyNameColor = 0xFFFFFFFF, kBossNameColor = 0xFFFFC040, kNameShade = 0xC0000000;
// A boss's bar is drawn this much taller.
constexpr float kBossBarScale = 1.6f;

// A sprite over the display's fixed rectangle (0, 0, width, height) of a
// picture from the pack: a larger picture is cut to it. A missing picture
// leaves its part of the display undrawn.
SpriteQuad loadPicture(HGE *engine, const HudPicture &picture) {
  const HTEXTURE tex = engine->Texture_Load(picture.path, 0, false);
  if (!tex) engine->System_Log("The display's picture %s is missing: that part is not drawn", picture.path);
  return SpriteQuad(engine, tex, 0.0f, 0.0f, tex ? picture.width : 0.0f, tex ? picture.height : 0.0f);
}

// The length of a hit-point bar `full` pixels long, against the character's
// full hit points (an enemy strengthened for a team counts from its own). A
// character without sensible full hit points shows an empty bar; the ratio
// stays within 0..1.
float barLength(const Chara *c, float full) {
  if (!c || !c->data || c->fullHp() <= 0) return 0.0f;
  double ratio = static_cast<double>(c->hp) / static_cast<double>(c->fullHp());
  if (ratio < 0) ratio = 0;
  if (ratio > 1) ratio = 1;
  return static_cast<float>(ratio * full);
}

// A picture that did not load is left out rather than drawn as a white block.
void drawLoaded(SpriteQuad &s, const HudPicture &picture, const PanelPlace &at, uint32_t color) {
  if (!s.texture()) return;
  s.setColor(color);
  s.drawScaled(at.x + picture.x * at.scale, at.y + picture.y * at.scale, at.scale, at.scale);
}

}  // namespace

HudDrawer::HudDrawer(HGE *engine)
    : base(loadPicture(engine, HudLayout::frame)),
      hp(loadPicture(engine, HudLayout::playerBar)),
      sp(loadPicture(engine, HudLayout::secondBar)),
      cp(loadPicture(engine, HudLayout::powerGauge)),
      mhp(loadPicture(engine, HudLayout::targetBar)),
      engine_(engine) {}

// The display's pictures go with it.
HudDrawer::~HudDrawer() {
  for (const SpriteQuad *s : {&base, &hp, &sp, &cp, &mhp})
    if (s->texture()) engine_->Texture_Free(s->texture());
  for (const auto &[id, s] : portraits_)
    if (s && s->texture()) engine_->Texture_Free(s->texture());
}

SpriteQuad *HudDrawer::portraitOf(const std::string &id) {
  auto it = portraits_.find(id);
  if (it == portraits_.end()) {
    // Character ids are plain names (the loaders refuse others), so the path
    // stays in the pack.
    const std::string path = "pak/" + id + "/hta/portrait.png";
    const HTEXTURE tex = engine_->Texture_Load(path.c_str(), 0, false);
    if (!tex)
      engine_->System_Log("No portrait for %s (%s): the display shows the frame's own", id.c_str(), path.c_str());
    it = portraits_.emplace(id, tex ? std::make_unique<SpriteQuad>(engine_, tex, 0.0f, 0.0f, 100.0f, 100.0f) : nullptr)
             .first;
  }
  return it->second.get();
}

void HudDrawer::draw(const Hud &hud, const std::string &heroInFrame) {
  drawPanel(hud, PanelPlace{}, 0xFFFFFFFF, heroInFrame);
}

void HudDrawer::drawPanel(const Hud &hud, const PanelPlace &at, uint32_t color, const std::string &heroInFrame,
                          const FairRules *fair) {
  hp.setRegion(0, 0, barLength(hud.player, HudLayout::playerBar.width), HudLayout::playerBar.height);
  // With named enemy panels the enemy plate shows only while an enemy is targeted.
  const bool plate = !(fair && fair->namedEnemyPanel && !hud.target);
  base.setRegion(0, 0, HudLayout::frame.width, plate ? HudLayout::frame.height : kFrameAboveEnemyPlate);
  drawLoaded(base, HudLayout::frame, at, color);
  // Another hero's face over the frame's medallion.
  if (hud.player && hud.player->data && !heroInFrame.empty() && hud.player->data->id != heroInFrame) {
    if (SpriteQuad *face = portraitOf(hud.player->data->id)) {
      face->setColor(color);
      face->drawScaled(at.x + kPortraitX * at.scale, at.y + kPortraitY * at.scale, at.scale, at.scale);
    }
  }
  if (hud.target) {
    mhp.setRegion(0, 0, barLength(hud.target, HudLayout::targetBar.width), HudLayout::targetBar.height);
    const bool boss = fair && fair->namedEnemyPanel && hud.target->data && fair->isBoss(hud.target->data->name);
    if (boss && mhp.texture()) {
      // A boss's bar: taller, filling its well and over the plate's edges.
      const float x = at.x + HudLayout::targetBar.x * at.scale;
      const float y = at.y + (HudLayout::targetBar.y - 3) * at.scale;
      mhp.setColor(color);
      mhp.drawScaled(x, y, at.scale, at.scale * kBossBarScale);
    } else {
      drawLoaded(mhp, HudLayout::targetBar, at, color);
    }
  }
  drawLoaded(hp, HudLayout::playerBar, at, color);
  cp.setRegion(0, 0, static_cast<float>(static_cast<double>(hud.power) / MAX_POWER * HudLayout::powerGauge.width),
               HudLayout::powerGauge.height);
  drawLoaded(sp, HudLayout::secondBar, at, color);
  drawLoaded(cp, HudLayout::powerGauge, at, color);
}

void HudDrawer::drawTargetName(const Hud &hud, const FairRules &fair, BitmapFont &font, const PanelPlace &at) {
  if (!fair.namedEnemyPanel || !hud.target || !hud.target->data) return;
  const std::string &name = hud.target->data->name;
  const bool boss = fair.isBoss(name);
  const std::string shown = (boss ? "BOSS  " : "") + fair.shownName(name);
  const float x = at.x + kNameX * at.scale, y = at.y + kNameY * at.scale;
  const float scale = font.scale();
  font.setScale(scale * at.scale);
  font.setColor(kNameShade);
  font.draw(x + 1, y + 1, AlignLeft, shown.c_str());
  font.setColor(boss ? kBossNameColor : kEnemyNameColor);
  font.draw(x, y, AlignLeft, shown.c_str());
  font.setScale(scale);
}
