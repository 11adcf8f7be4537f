#include "render/StageSigns.h"

#include <algorithm>

#include "gfx/Shapes.h"

namespace {

constexpr uint32_t kGoColor = 0xFFFFD23C;     // warm yellow
constexpr uint32_t kGoShade = 0xC0201008;     // the dark edge round it
constexpr uint32_t kPlaqueColor = 0xD0302418;  // a dark wooden board
constexpr uint32_t kPlaqueEdge = 0xFFE8C878;
constexpr uint32_t kPlaqueText = 0xFFFFF4D8;
constexpr int kBlinkFrames = 30;  // the GO sign shows for this long, then hides as long
constexpr float kSignHeight = 110;  // a door's sign stands this far above its place on the ground

// An arrow pointing right whose tip is at (x, y): a shaft and a head of bars narrowing to the tip.
void arrow(HGE* engine, float x, float y, uint32_t color) {
  fillRect(engine, x - 90, y - 7, x - 30, y + 7, color);
  for (int i = 0; i < 30; ++i) {
    const float half = 24.0f * static_cast<float>(30 - i) / 30.0f;
    fillRect(engine, x - 30 + static_cast<float>(i), y - half, x - 29 + static_cast<float>(i), y + half, color);
  }
}

void goSign(HGE* engine, BitmapFont& font, const World& world) {
  if (world.stage.held || world.stage.goFrames <= 0) return;
  if ((world.stage.goFrames / kBlinkFrames) % 2 == 0) return;  // shows from the moment it comes up
  const float x = 640, y = 120;
  const float scale = font.scale();
  font.setScale(3);
  font.setColor(kGoShade);
  font.draw(x + 3, y - 38 + 3, AlignCenter, "GO");
  font.setColor(kGoColor);
  font.draw(x, y - 38, AlignCenter, "GO");
  font.setScale(scale);
  arrow(engine, x + 92 + 3, y + 50 + 3, kGoShade);
  arrow(engine, x + 92, y + 50, kGoColor);
}

void doorSigns(HGE* engine, BitmapFont& font, const World& world) {
  // Signs only where the doors lead to two places or more: some door leads
  // elsewhere than the first (asked every frame, so nothing is copied).
  bool twoPlaces = false;
  for (size_t i = 1; i < world.doors.size() && !twoPlaces; ++i)
    twoPlaces = world.doors[i].targetScene != world.doors[0].targetScene;
  if (!twoPlaces) return;
  for (const World::Door& d : world.doors) {
    const std::string* name = world.rules.stage.shownName(d.targetScene);
    if (!name) continue;
    const float doorX = static_cast<float>(d.x - world.cameraX);
    const float top = static_cast<float>(d.z - world.cameraY - kSignHeight);
    const float w = font.textWidth(name->c_str(), false) + 16, h = font.lineHeight() + 8;
    // The board stays whole on the screen; its post stands on the door.
    const float cx = std::clamp(doorX, w / 2 + 4, 800 - w / 2 - 4);
    fillRect(engine, doorX - 2, top + h, doorX + 2, top + kSignHeight - 4, kPlaqueEdge);
    fillRect(engine, cx - w / 2, top, cx + w / 2, top + h, kPlaqueColor);
    outlineRect(engine, cx - w / 2, top, cx + w / 2, top + h, kPlaqueEdge, 2);
    font.setColor(kPlaqueText);
    font.draw(cx, top + 4, AlignCenter, name->c_str());
  }
}

}  // namespace

void drawStageSigns(HGE* engine, BitmapFont& font, const World& world) {
  if (!world.rules.stage.anyStretches() && world.rules.stage.placeNames.empty()) return;
  const uint32_t color = 0xFF000000;
  doorSigns(engine, font, world);
  goSign(engine, font, world);
  font.setColor(color);
}
