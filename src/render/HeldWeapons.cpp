#include "render/HeldWeapons.h"

#include <cstdio>

#include "render/SeatLook.h"

namespace {

constexpr uint32_t kUsesColor = 0xFFFFFFFF;
constexpr uint32_t kUsesShadow = 0xC0000000;

}  // namespace

void drawHeldWeapons(HGE* engine, const World& world, PictureSets& pictures, BitmapFont& font, SpriteQuad& sprite, bool together) {
  if (world.heldWeapons.empty()) return;
  const float savedScale = font.scale();
  for (int n = 1; n <= kMaxSeats; ++n) {
    const Seat& s = world.seat(n);
    if (!s.playing() || (!together && n != 1)) continue;
    const World::HeldWeapon* w = world.weaponOf(s.hud.player);
    if (!w) continue;
    const PanelPlace at = together ? panelPlace(n, static_cast<float>(world.screenWidth)) : PanelPlace{};
    int32_t set = 0, picture = 0;
    if (world.itemLook(w->item, set, picture)) {
      if (const HTEXTURE tex = pictures.texture(set, picture)) {
        sprite.setTexture(tex);
        sprite.setColor(0xFFFFFFFF);
        sprite.setBlendMode(BLEND_ALPHABLEND);
        sprite.setFlip(false, false);
        sprite.setRegion(0, 0, static_cast<float>(engine->Texture_GetWidth(tex)),
                         static_cast<float>(engine->Texture_GetHeight(tex)));
        const float scale = HeldWeaponPlace::scale * at.scale;
        sprite.drawScaled(at.x + HeldWeaponPlace::x * at.scale, at.y + HeldWeaponPlace::y * at.scale, scale, scale);
      }
    }
    char uses[16];
    std::snprintf(uses, sizeof uses, "x%d", w->uses);
    const float x = at.x + HeldWeaponPlace::usesX * at.scale, y = at.y + HeldWeaponPlace::usesY * at.scale;
    font.setScale(HeldWeaponPlace::usesScale * at.scale);
    font.setColor(kUsesShadow);
    font.draw(x + 1, y + 1, AlignLeft, uses);
    font.setColor(kUsesColor);
    font.draw(x, y, AlignLeft, uses);
  }
  font.setScale(savedScale);
}
