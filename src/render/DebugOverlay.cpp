#include "render/DebugOverlay.h"

#include <algorithm>
#include <cstdio>

#include "gfx/Shapes.h"
#include "object/Chara.h"
#include "object/ScriptNumber.h"
#include "render/BoxView.h"

namespace {

constexpr const char* kFontFile = "font1.fnt";
constexpr float kTextScale = 0.5f;
constexpr uint32_t kTextBand = 0xB0000000;
constexpr uint32_t kPanelText = 0xFFFFFFFF;
constexpr uint32_t kPausedText = 0xFFFFD040;
constexpr double kDoorReachX = World::kDoorReachX, kDoorReachZ = World::kDoorReachZ;

std::string number(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.0f", v);
  return buffer;
}

}  // namespace

std::string fontText(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) c = '?';
  return out;
}

DebugOverlay::DebugOverlay(HGE* engine) : engine_(engine), font_(engine, kFontFile, false) {
  font_.setScale(kTextScale);
}

float DebugOverlay::lineHeight() const { return font_.lineHeight() * kTextScale; }

float DebugOverlay::text(float x, float y, const std::string& line, int align, uint32_t color) {
  const std::string shown = fontText(line);
  const float w = font_.textWidth(shown.c_str(), false);
  const float h = lineHeight();
  float left = x;
  if ((align & 3) == AlignRight) left = x - w;
  if ((align & 3) == AlignCenter) left = x - w / 2;
  fillRect(engine_, left - 2, y, left + w + 2, y + h, kTextBand);
  font_.setColor(color);
  font_.draw(x, y, align, shown.c_str());
  return h;
}

void DebugOverlay::draw(const World& world, const OverlayClock& clock) {
  drawWalls(world);
  drawDoors(world);
  for (const Obj* o : world.objects) drawBoxes(*o, world.cameraX, world.cameraY);
  labels_.clear();
  for (const Chara* c : world.charas) drawLabel(*c, world.cameraX, world.cameraY);
  drawPanel(world, clock);
}

void DebugOverlay::drawWalls(const World& world) {
  for (const Box& w : world.walls) {
    const double left = w.x - w.width / 2 - world.cameraX, right = w.x + w.width / 2 - world.cameraX;
    const double top = w.z - w.depth / 2 - world.cameraY, bottom = w.z + w.depth / 2 - world.cameraY;
    fillRect(engine_, toFloat(left), toFloat(top), toFloat(right), toFloat(bottom), boxcolors::kWallFill);
    outlineRect(engine_, toFloat(left), toFloat(top), toFloat(right), toFloat(bottom), boxcolors::kWall);
  }
}

void DebugOverlay::drawDoors(const World& world) {
  for (const World::Door& d : world.doors) {
    const double left = d.x - kDoorReachX - world.cameraX, right = d.x + kDoorReachX - world.cameraX;
    const double top = d.z - kDoorReachZ - world.cameraY, bottom = d.z + kDoorReachZ - world.cameraY;
    const uint32_t color = world.doorsOpen ? boxcolors::kDoorOpen : boxcolors::kDoorClosed;
    if (world.doorsOpen) fillRect(engine_, toFloat(left), toFloat(top), toFloat(right), toFloat(bottom), boxcolors::kDoorFill);
    outlineRect(engine_, toFloat(left), toFloat(top), toFloat(right), toFloat(bottom), color, 2);
    const std::string line = std::string("door > ") + d.targetScene + (world.doorsOpen ? " (open)" : " (closed)");
    text(toFloat(d.x - world.cameraX), toFloat(top - lineHeight() - 2), line, AlignCenter, color);
  }
}

void DebugOverlay::drawBoxes(const Obj& o, double cameraX, double cameraY) {
  drawWorldBox(engine_, o.worldBody(), cameraX, cameraY, BoxKind::Body);
  if (o.hasAttackBox())
    drawWorldBox(engine_, o.worldAttack(), cameraX, cameraY, o.hit.active ? BoxKind::ArmedAttack : BoxKind::Attack);
  if (o.grab.width != 0) drawWorldBox(engine_, o.worldGrab(), cameraX, cameraY, BoxKind::Grab);
  if (o.asChara()) drawWorldCross(engine_, o.x, 0, o.z, cameraX, cameraY, boxcolors::kFeet);
}

void DebugOverlay::drawLabel(const Chara& c, double cameraX, double cameraY) {
  const CharaData& d = *c.data;
  const Box body = c.worldBody();
  // Over the head: the top of the body box, or a little over the feet without one.
  const double top = body.width != 0 ? body.y - body.height / 2 : c.y - 100;
  const float x = toFloat(c.x - cameraX);
  const float h = lineHeight();
  float y = toFloat(top + c.z - cameraY) - 2 * h - 4;
  std::string name;
  if (c.action >= 0 && static_cast<size_t>(c.action) < d.actions.size()) name = d.actions[static_cast<size_t>(c.action)].name;
  const std::string who = d.id + "  hp " + std::to_string(c.hp) + "/" + std::to_string(d.maxHp);
  const std::string doing =
      std::to_string(c.action) + (name.empty() ? std::string() : " \"" + name + "\"") + "  pc " + std::to_string(c.pc);
  // Fighters standing together would write over each other: a label that
  // meets one already drawn goes up above it.
  const float halfWidth =
      std::max(font_.textWidth(fontText(who).c_str(), false), font_.textWidth(fontText(doing).c_str(), false)) / 2 + 2;
  for (bool moved = true; moved;) {
    moved = false;
    for (const LabelPlace& other : labels_) {
      const bool meets = x - halfWidth < other.right && other.left < x + halfWidth && y < other.bottom &&
                         other.top < y + 2 * h;
      if (meets) {
        y = other.top - 2 * h - 1;
        moved = true;
      }
    }
  }
  labels_.push_back({x - halfWidth, y, x + halfWidth, y + 2 * h});
  text(x, y, who, AlignCenter);
  text(x, y + h, doing, AlignCenter);
}

void DebugOverlay::drawPanel(const World& world, const OverlayClock& clock) {
  const float h = lineHeight();
  float y = 480 - 4 * h - 6;
  text(4, y, "scene " + world.name + "  " + world.scenePath);
  y += h;
  text(4, y, "frame " + std::to_string(clock.step) + "  objects " + std::to_string(world.objects.size()) +
                 "  camera x " + number(world.cameraX));
  y += h;
  std::string state = "running";
  if (clock.paused)
    state = "PAUSED (F2 go on, F3 one step)";
  else if (clock.slowEvery > 1)
    state = "slow motion: 1 step in " + std::to_string(clock.slowEvery) + " frames (F4)";
  text(4, y, state, AlignLeft, clock.paused || clock.slowEvery > 1 ? kPausedText : kPanelText);
  y += h;
  text(4, y, "F1 overlay  F2 pause  F3 step  F4 slow  F5 reload");
}
