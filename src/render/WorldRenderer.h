// Draws a world as it stands, never changing it: the background, the far and
// middle scenery, every object in the world's drawing order (fighters over
// their shadows), the near scenery, the heads-up display and the score line;
// while two or more play, every seat's panel and the seats' marks.
// Owns the picture sets, the display's pictures and the score font.
#pragma once

#include <set>
#include <string>

#include "engine/hge.h"
#include "gfx/BitmapFont.h"
#include "gfx/SpriteQuad.h"
#include "render/HudDrawer.h"
#include "render/PictureSets.h"
#include "world/World.h"

class WorldRenderer {
 public:
  // `catalog` is the world's resource list (copied). Loads the display's
  // pictures and the score font at once; picture sets load when first drawn.
  WorldRenderer(HGE* engine, const ResourceCatalog& catalog);
  WorldRenderer(const WorldRenderer&) = delete;
  WorldRenderer& operator=(const WorldRenderer&) = delete;

  // The whole play screen. Call between the engine's Gfx_BeginScene and Gfx_EndScene.
  void draw(const World& world);
  // The scenery behind the objects (background, far layer at half scroll,
  // middle layer) or in front of them (near layer).
  void drawScenery(const World& world, bool nearPart);
  // One object at its screen place; a fighter's shadow first. `seat` is the
  // seat whose fighter it is while two or more play (its ring goes under it
  // and its body takes the seat's tint), else 0.
  void drawObject(const Obj& o, int seat = 0);

  // Whether heavy blows may shake the screen where the game's rules ask for it
  // (the player's setting; on unless turned off).
  void setScreenShake(bool allowed) { shakeAllowed_ = allowed; }
  // The drawing offset of the shake in the last draw (0, 0 when still).
  float shakeX() const { return shakeX_; }
  float shakeY() const { return shakeY_; }

  PictureSets& pictures() { return pictures_; }
  HudDrawer& hud() { return hud_; }

 private:
  HGE* engine_;
  PictureSets pictures_;
  HudDrawer hud_;
  BitmapFont scoreFont_;
  SpriteQuad objectSprite_;   // reused for every object
  SpriteQuad scenerySprite_;  // reused for every scenery picture
  std::set<std::string> missingPictureReported_;  // character ids
  // Screen shake: drawn only, counted in the world's steps as the screen sees them.
  void updateShake(const World& world);
  bool shakeAllowed_ = true;
  bool blinkProtected_ = false;  // the rules protect the risen: they blink while protected
  uint64_t shakeSeenStep_ = 0;
  int32_t shakeLeft_ = 0;
  float shakeX_ = 0, shakeY_ = 0;
};

// Plays the sounds the world asked for in its last frame, each different one once.
void playWorldSounds(HGE* engine, PictureSets& pictures, const World& world);
// The same for sounds gathered elsewhere (the frames a network session stepped).
void playSounds(HGE* engine, PictureSets& pictures, const std::vector<SoundRequest>& asked);
// One sound; the channel it plays on (0: none).
HCHANNEL playSound(HGE* engine, PictureSets& pictures, const SoundRequest& sound);
