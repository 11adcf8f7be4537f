// The modder's overlay (F1), drawn over the play screen and never changing the
// world: the walls and the doors with their reach, every object's body box
// and attack box (another colour while the attack is armed), each fighter's
// id, action number and name, instruction and hit points, and in a corner the
// scene, the step, the object count, the camera and the clock's state.
#pragma once

#include <string>
#include <vector>

#include "engine/hge.h"
#include "gfx/BitmapFont.h"
#include "world/World.h"

// The clock as the overlay reports it.
struct OverlayClock {
  int step = 0;          // steps run so far
  bool paused = false;   // the modder's pause
  int slowEvery = 1;     // one step in this many frames
};

class DebugOverlay {
 public:
  // Loads the game's font (font1.fnt), drawn small.
  explicit DebugOverlay(HGE* engine);
  DebugOverlay(const DebugOverlay&) = delete;
  DebugOverlay& operator=(const DebugOverlay&) = delete;

  // The whole overlay, between the engine's Gfx_BeginScene and Gfx_EndScene.
  void draw(const World& world, const OverlayClock& clock);

  void drawWalls(const World& world);
  void drawDoors(const World& world);
  // The object's boxes at its place in the world, the camera at (cameraX, cameraY).
  void drawBoxes(const Obj& o, double cameraX, double cameraY);
  // The fighter's label over its head: id, hit points, action number and name,
  // instruction; above the labels drawn before it in this picture where they would meet.
  void drawLabel(const Chara& c, double cameraX, double cameraY);
  // The corner panel.
  void drawPanel(const World& world, const OverlayClock& clock);

  // One line of small text on a dark band; `x` is the left edge, the right
  // edge or the centre as `align` says. Returns the band's height.
  float text(float x, float y, const std::string& line, int align = AlignLeft, uint32_t color = 0xFFFFFFFF);
  float lineHeight() const;

 private:
  struct LabelPlace {
    float left, top, right, bottom;
  };

  HGE* engine_;
  BitmapFont font_;
  std::vector<LabelPlace> labels_;  // the labels drawn so far in this picture
};

// Text the game's font can draw: bytes outside printable ASCII (GBK names)
// become '?'.
std::string fontText(const std::string& text);
