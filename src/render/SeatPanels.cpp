#include "render/SeatPanels.h"

#include <cstdio>

#include "gfx/Shapes.h"
#include "render/SeatLook.h"
#include "world/GameRules.h"

namespace {

// An out seat's panel: dark and half see-through.
constexpr uint32_t kOutColor = 0xA0585858;
constexpr uint32_t kTextColor = 0xFFFFFFFF;
constexpr uint32_t kShadowColor = 0xC0000000;
// Text sizes against the font's own, and where the text sits in a panel, in
// the frame picture's pixels: the seat's name at the foot of the portrait, the
// score under the bars' plate, the notes of a fallen seat over its empty bars.
constexpr float kNameScale = 0.75f, kScoreScale = 0.7f, kNoteScale = 0.45f;
constexpr float kNameX = 10, kNameY = 100;
constexpr float kScoreX = 118, kScoreY = 64;
constexpr float kNoteX = 118, kNoteY = 12, kNotePlateRight = 318;
constexpr uint32_t kNotePlateColor = 0xD0101018;
constexpr float kJoinX = 8, kJoinY = 20, kJoinScale = 0.6f;
constexpr uint32_t kQuietAlpha = 0xB0000000;
// The countdown blinks: lit for this many frames, dark for as many.
constexpr int kBlinkFrames = 40;
constexpr int kFramesPerSecond = 100;

// Text with a dark shadow one pixel down and right, so it reads on any sky.
void shadowed(BitmapFont &font, float x, float y, float scale, uint32_t color, const char *text) {
  font.setScale(scale);
  font.setColor(kShadowColor);
  font.draw(x + 1, y + 1, AlignLeft, text);
  font.setColor(color);
  font.draw(x, y, AlignLeft, text);
}

}  // namespace

SeatPanelText seatPanelText(const World &world, int seat) {
  const Seat &s = world.seat(seat);
  SeatPanelText t;
  if (s.state == Seat::FREE) {
    t.kind = SeatPanelText::JOIN;
  } else if (s.state == Seat::OUT) {
    t.kind = SeatPanelText::OUT;
  } else if (s.continueFrames > 0 && world.continuesLeft > 0) {
    t.kind = SeatPanelText::CONTINUE;
    t.continueSeconds = (s.continueFrames + kFramesPerSecond - 1) / kFramesPerSecond;
    t.lit = (s.continueFrames / kBlinkFrames) % 2 == 0;
  }
  return t;
}

void drawSeatPanels(HGE *engine, const World &world, HudDrawer &hud, BitmapFont &font, uint32_t fontColor) {
  const float savedScale = font.scale();
  for (int n = 1; n <= kMaxSeats; ++n) {
    const Seat &s = world.seat(n);
    const PanelPlace at = panelPlace(n, static_cast<float>(world.screenWidth));
    const SeatPanelText text = seatPanelText(world, n);
    auto px = [&](float x) { return at.x + x * at.scale; };
    auto py = [&](float y) { return at.y + y * at.scale; };
    char name[8], line[40];
    std::snprintf(name, sizeof name, "P%d", n);
    if (text.kind == SeatPanelText::JOIN && !world.rules.seatsJoinInPlay) continue;
    if (text.kind == SeatPanelText::JOIN) {
      // Quiet: a see-through line where the panel would be.
      shadowed(font, px(kJoinX), py(kJoinY), kJoinScale, (seatColor(n) & 0x00FFFFFF) | kQuietAlpha, name);
      shadowed(font, px(kJoinX), py(kJoinY) + font.lineHeight() * kJoinScale, kNoteScale,
               (kTextColor & 0x00FFFFFF) | kQuietAlpha, "press punch to join");
      continue;
    }
    hud.drawPanel(s.hud, at, text.kind == SeatPanelText::OUT ? kOutColor : 0xFFFFFFFF, world.rules.playerId,
                  &world.rules.fair);
    font.setScale(savedScale);
    hud.drawTargetName(s.hud, world.rules.fair, font, at);
    shadowed(font, px(kNameX), py(kNameY), kNameScale, seatColor(n), name);
    std::snprintf(line, sizeof line, "%d", s.hud.score);
    shadowed(font, px(kScoreX), py(kScoreY), kScoreScale, kTextColor, line);
    if (text.kind == SeatPanelText::CONTINUE && text.lit) {
      // Over the empty bars, on a dark plate of its own so that it reads.
      const float line2 = py(kNoteY) + font.lineHeight() * kNoteScale;
      fillRect(engine, px(kNoteX) - 3, py(kNoteY) - 2, px(kNotePlateRight), line2 + font.lineHeight() * kNoteScale + 1,
               kNotePlateColor);
      std::snprintf(line, sizeof line, "to continue %d", text.continueSeconds);
      shadowed(font, px(kNoteX), py(kNoteY), kNoteScale, kTextColor, "press punch");
      shadowed(font, px(kNoteX), line2, kNoteScale, kTextColor, line);
    }
    if (text.kind == SeatPanelText::OUT) shadowed(font, px(kNoteX), py(kNoteY), kNoteScale, kTextColor, "out");
  }
  font.setScale(savedScale);
  font.setColor(fontColor);
}
