// The character viewer's picture: the floor, the character and its effects,
// their boxes, the panel of what runs, and the list of actions.
#include <algorithm>
#include <cstdio>

#include "app/CharacterViewer.h"
#include "format/JsonText.h"
#include "format/OpcodeTable.h"
#include "gfx/Shapes.h"
#include "object/Chara.h"

namespace {

constexpr uint32_t kSky = 0xFF262A33, kFloor = 0xFF4A505C, kFloorLine = 0xFF8A92A0, kGrid = 0xFF414653;
constexpr uint32_t kText = 0xFFFFFFFF, kDim = 0xFFAEB6C2, kHighlight = 0xFFFFD040, kError = 0xFFFF7070;
constexpr float kFloorTop = 300;  // the back of the floor on the screen
constexpr float kListWidth = 190;

// A number as the panel shows it: at most two decimals, no trailing zeros.
std::string shortNumber(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", v);
  std::string text = buffer;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text == "-0" ? "0" : text;
}

std::string boxText(const char* what, const Box& b) {
  if (b.width == 0) return std::string(what) + " none";
  return std::string(what) + " x=" + shortNumber(b.x) + " y=" + shortNumber(b.y) + " w=" +
         shortNumber(b.width) + " h=" + shortNumber(b.height) + " d=" + shortNumber(b.depth);
}

std::string actionName(const CharaData& d, int32_t n) {
  if (n < 0 || static_cast<size_t>(n) >= d.actions.size()) return {};
  return d.actions[static_cast<size_t>(n)].name;
}

}  // namespace

void CharacterViewer::drawFloor() {
  fillRect(engine_, 0, 0, 800, kFloorTop, kSky);
  fillRect(engine_, 0, kFloorTop, 800, 480, kFloor);
  // Lines every 50 units along the ground and in depth, to see how far a move goes.
  for (int x = 0; x <= 800; x += 50) fillRect(engine_, float(x), kFloorTop, float(x + 1), 480, kGrid);
  for (int z = 300; z <= 480; z += 50) fillRect(engine_, 0, float(z), 800, float(z + 1), kGrid);
  fillRect(engine_, 0, float(kStageZ), 800, float(kStageZ + 1), kFloorLine);
}

void CharacterViewer::drawPanel() {
  DebugOverlay& o = *overlay_;
  const Chara& c = *chara_;
  const CharaData& d = *c.data;
  const float h = o.lineHeight();
  float y = 4;
  std::string reactions;
  for (int32_t r : d.reactions) reactions += " " + std::to_string(r);
  y += o.text(4, y, idText_ + "  \"" + d.name + "\"  hp " + std::to_string(d.maxHp) + "  picture set " +
                        std::to_string(d.pictureSet) + "  reactions" + (reactions.empty() ? " none" : reactions));
  const std::string name = actionName(d, c.action);
  y += o.text(4, y, "action " + std::to_string(c.action) + (name.empty() ? "" : " \"" + name + "\"") + "  frame " +
                        std::to_string(actionFrames_) + (mirrored_ ? "  mirrored" : ""),
              AlignLeft, kHighlight);
  std::string code = "(past the end)";
  if (c.action >= 0 && static_cast<size_t>(c.action) < d.actions.size()) {
    const Action& a = d.actions[static_cast<size_t>(c.action)];
    if (c.pc >= 0 && static_cast<size_t>(c.pc) < a.codes.size()) code = instructionText(a.codes[static_cast<size_t>(c.pc)]);
  }
  y += o.text(4, y, "pc " + std::to_string(c.pc) + ": " + code);
  std::string shown = "picture " + std::to_string(c.picture);
  if (c.wait > 0 && c.wait < 1000000)
    shown += "  shown " + std::to_string(std::min(c.ticks, c.wait)) + " of " + std::to_string(c.wait) + " ticks";
  else if (c.wait >= 1000000)
    shown += "  held (ticks=0)";
  y += o.text(4, y, shown + "  y " + shortNumber(c.y) + "  vx " + shortNumber(c.vx) + " vy " + shortNumber(c.vy));
  y += o.text(4, y, boxText("body", c.body), AlignLeft, kDim);
  std::string attack = boxText("attack", c.attack);
  if (c.hasAttackBox()) attack += "  damage " + std::to_string(c.damage) + (c.hit.active ? "  ARMED" : "  not armed");
  y += o.text(4, y, attack, AlignLeft, kDim);
  if (c.grab.width != 0) y += o.text(4, y, boxText("grab", c.grab), AlignLeft, kDim);
  std::string state = clock_.modderPaused ? "PAUSED" : clock_.slowEvery > 1 ? "slow motion (1/4)" : "playing";
  o.text(4, y, state + (boxes_ ? "" : "  (boxes hidden)"), AlignLeft, clock_.modderPaused ? kHighlight : kText);
  o.text(4, 480 - h - 2,
         "W/S action  P pause  N frame  D next picture  L slow  M mirror  R restart  B boxes  F5 reload  Esc quit",
         AlignLeft, kDim);
}

void CharacterViewer::drawActionList() {
  DebugOverlay& o = *overlay_;
  const CharaData& d = *chara_->data;
  std::vector<int32_t> listed;
  for (size_t n = 0; n < d.actions.size(); ++n)
    if (!d.actions[n].codes.empty()) listed.push_back(static_cast<int32_t>(n));
  const float h = o.lineHeight();
  const size_t fits = static_cast<size_t>((480 - 2 * h - 8) / h);
  size_t first = 0;
  const size_t at = static_cast<size_t>(std::find(listed.begin(), listed.end(), selected_) - listed.begin());
  if (listed.size() > fits && at >= fits / 2) first = std::min(at - fits / 2, listed.size() - fits);
  float y = 4;
  const float x = 800 - kListWidth;
  for (size_t i = first; i < listed.size() && i < first + fits; ++i) {
    const int32_t n = listed[i];
    const std::string name = actionName(d, n);
    y += o.text(x, y, (n == selected_ ? "> " : "  ") + std::to_string(n) + (name.empty() ? "" : " " + name),
                AlignLeft, n == selected_ ? kHighlight : kText);
  }
}

bool CharacterViewer::render() {
  engine_->Gfx_BeginScene(0);
  if (!overlay_) overlay_ = std::make_unique<DebugOverlay>(engine_);
  drawFloor();
  if (world_ && chara_) {
    std::vector<const Obj*> drawn(world_->objects.begin(), world_->objects.end());
    std::stable_sort(drawn.begin(), drawn.end(), [](const Obj* a, const Obj* b) { return a->z < b->z; });
    for (const Obj* obj : drawn) renderer_->drawObject(*obj);
    if (boxes_)
      for (const Obj* obj : drawn) overlay_->drawBoxes(*obj, world_->cameraX, world_->cameraY);
    drawPanel();
    drawActionList();
  }
  if (!message_.empty()) overlay_->text(400, 440, message_, AlignCenter, messageIsError_ ? kError : kText);
  engine_->Gfx_EndScene();
  return false;
}
