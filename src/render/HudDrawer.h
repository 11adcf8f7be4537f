// Draws the heads-up display from the world's numbers: the frame, the
// player's hit-point bar, the second bar, the power gauge and, while an enemy
// is targeted, its hit-point bar. Owns the display's pictures.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "engine/hge.h"
#include "gfx/SpriteQuad.h"
#include "render/SeatLook.h"
#include "world/Hud.h"

class BitmapFont;
struct FairRules;

class HudDrawer {
 public:
  // Loads the pictures of HudLayout from the pack; a missing one is logged
  // once and left out of the display.
  explicit HudDrawer(HGE *engine);
  ~HudDrawer();
  HudDrawer(const HudDrawer &) = delete;
  HudDrawer &operator=(const HudDrawer &) = delete;

  // The display of a game for one: full size at the top-left corner.
  // `heroInFrame` is the hero whose face the display's frame shows (the
  // rules' player); any other hero's own portrait ("portrait.png" of its
  // picture set) is drawn over the frame's medallion.
  void draw(const Hud &hud, const std::string &heroInFrame = {});
  // One seat's panel at `at`, every picture multiplied by `color` (opaque
  // white: as drawn; darker: a seat that is out).
  void drawPanel(const Hud &hud, const PanelPlace &at, uint32_t color = 0xFFFFFFFF,
                 const std::string &heroInFrame = {}, const FairRules *fair = nullptr);
  // Where the rules name enemies on the panel: the targeted enemy's name over
  // its bar (its display name, else its character's name), a boss's marked
  // and in the boss colour. Nothing while no enemy is targeted.
  void drawTargetName(const Hud &hud, const FairRules &fair, BitmapFont &font, const PanelPlace &at = {});

  // The display's pictures, each cut to its fixed rectangle; the bars' widths
  // follow the numbers of the last draw.
  SpriteQuad base, hp, sp, cp, mhp;

 private:
  // The portrait of hero `id`, loaded the first time it is asked for; null
  // when the hero has none.
  SpriteQuad *portraitOf(const std::string &id);

  HGE *engine_;
  std::map<std::string, std::unique_ptr<SpriteQuad>> portraits_;
};
