// Drawing the pause menu: a plate in the heads-up display's style over the
// frozen, darkened game, in the game's font.
#include <string>

#include "app/MenuPanel.h"
#include "app/PauseMenu.h"
#include "app/PlayerSettings.h"
#include "engine/KeyNames.h"

namespace {

using namespace menustyle;

constexpr float kWidth = 800, kHeight = 480;  // the picture the menu is drawn on
constexpr const char* kMainLabels[PauseMenu::MAIN_LINES] = {"Resume",     "Music volume", "Effects volume", "Controls",
                                                            "Fullscreen", "Leave game",   "Quit to desktop"};
constexpr const char* kColumnTitles[SLOT_COUNT] = {"Key", "Second key", "Pad"};

}  // namespace

std::string keyLabel(int key) {
  switch (key) {
    case 0: return "-";
    case HGEK_PAD_A: return "A";
    case HGEK_PAD_B: return "B";
    case HGEK_PAD_X: return "X";
    case HGEK_PAD_Y: return "Y";
    case HGEK_PAD_LB: return "LB";
    case HGEK_PAD_RB: return "RB";
    case HGEK_PAD_LT: return "LT";
    case HGEK_PAD_RT: return "RT";
    case HGEK_PAD_UP: return "D-pad up";
    case HGEK_PAD_DOWN: return "D-pad down";
    case HGEK_PAD_LEFT: return "D-pad left";
    case HGEK_PAD_RIGHT: return "D-pad right";
    case HGEK_UP: return "Up arrow";  // beside the game's Up, the key is not the game key
    case HGEK_DOWN: return "Down arrow";
    case HGEK_LEFT: return "Left arrow";
    case HGEK_RIGHT: return "Right arrow";
    case HGEK_PAD_START: return "Start";
    case HGEK_PAD_BACK: return "Back";
    case HGEK_PAD_LSTICK: return "Left stick in";
    case HGEK_PAD_RSTICK: return "Right stick in";
    default: {
      const char* name = keyName(key);
      return name ? name : "?";
    }
  }
}

void PauseMenu::text(float x, float y, int align, float scale, uint32_t color, const std::string& s) {
  if (!font_) return;
  font_->setScale(scale);
  font_->setColor(color);
  font_->draw(x, y, align, s.c_str());
}

void PauseMenu::draw() {
  if (!open_) return;
  fillRect(engine_, 0, 0, kWidth, kHeight, kShade, kShade);
  if (page_ == MAIN)
    drawMain();
  else
    drawControls();
  if (font_) {
    font_->setScale(1);
    font_->setColor(0xFFFFFFFF);
  }
}

void PauseMenu::drawMain() {
  const float x = 170, y = 56, w = 460, h = 368;
  drawPlate(engine_, x, y, w, h);
  text(kWidth / 2, y + 14, AlignCenter, 1.0f, kTitle, fromTitle_ ? "OPTIONS" : stopsTheGame_ ? "PAUSED" : "MENU - THE GAME GOES ON");
  fillRect(engine_, x + 24, y + 50, w - 48, 2, kRimBottom, kRimTop, true);
  const Settings& s = settings_.settings();
  const float left = x + 34, right = x + w - 34;
  const int leaving = leavingSeat();
  const int shown = leaving ? MAIN_LINES : MAIN_LINES - 1;
  // Seven lines fit where six were by standing closer.
  const float top = y + 66, step = shown == MAIN_LINES ? 36.0f : 40.0f;
  int row = 0;
  for (int i = 0; i < MAIN_LINES; ++i) {
    if (i == LEAVE && !leaving) continue;
    const float ly = top + static_cast<float>(row++) * step;
    const bool chosen = i == line_;
    if (chosen) fillRect(engine_, x + 12, ly - 6, w - 24, step - 6, kChosenTop, kChosenBottom);
    text(left, ly, AlignLeft, 0.85f, chosen ? kChosen : kText, i == RESUME && fromTitle_ ? "Back" : kMainLabels[i]);
    if (i == MUSIC || i == EFFECTS) {
      const int level = i == MUSIC ? s.musicVolume : s.effectsVolume;
      drawLevelBar(engine_, right - 150, ly + 5, 100, 10, level);
      text(right, ly, AlignRight, 0.75f, chosen ? kChosen : kValue, std::to_string(level));
    } else if (i == FULLSCREEN) {
      text(right, ly, AlignRight, 0.75f, chosen ? kChosen : kValue, settings_.fullscreen() ? "On" : "Off");
    } else if (i == LEAVE) {
      text(right, ly, AlignRight, 0.75f, chosen ? kChosen : kValue, "< Seat " + std::to_string(leaving) + " >");
    }
  }
  const float foot = top + static_cast<float>(shown) * step + 2;
  if (settings_.muted()) text(kWidth / 2, foot, AlignCenter, 0.6f, kWarning, "Sound is off for this run (--mute)");
  text(kWidth / 2, y + h - 30, AlignCenter, 0.6f, kDim, "Enter: choose   Left, Right: change   Esc: resume");
}

void PauseMenu::drawControls() {
  const float x = 40, y = 16, w = 720, h = 448;
  drawPlate(engine_, x, y, w, h);
  text(kWidth / 2, y + 10, AlignCenter, 0.9f, kTitle, "CONTROLS");
  const float labelX = x + 36;
  const float columnX[SLOT_COUNT] = {x + 230, x + 390, x + 550};
  const float columnW = 150;
  const float headY = y + 46;
  // The seat whose keys these are, chosen with Left and Right.
  const bool seatChosen = line_ == kSeatLine;
  if (seatChosen) fillRect(engine_, x + 12, headY - 4, 170, 25, kChosenTop, kChosenBottom);
  text(labelX, headY - 1, AlignLeft, 0.7f, seatChosen ? kChosen : kTitle, "Seat: " + std::to_string(seat_) + "  < >");
  for (int c = 0; c < SLOT_COUNT; ++c) text(columnX[c], headY, AlignLeft, 0.6f, kDim, kColumnTitles[c]);
  fillRect(engine_, x + 24, headY + 22, w - 48, 2, kRimBottom, kRimTop, true);
  const KeyBindings& b = settings_.settings().keysOf(seat_);
  const float top = headY + 32, step = 29;
  for (int i = 0; i < kSeatLine; ++i) {
    const float ly = top + static_cast<float>(i) * step + (i >= GAME_KEY_COUNT ? 10.0f : 0.0f);
    const bool chosen = i == line_;
    if (i < GAME_KEY_COUNT) {
      if (chosen) fillRect(engine_, x + 12, ly - 4, w - 24, step - 4, 0x30D8B060, 0x106A4A1C);
      text(labelX, ly, AlignLeft, 0.7f, chosen ? kChosen : kText, kGameKeys[static_cast<size_t>(i)].label);
      for (int c = 0; c < SLOT_COUNT; ++c) {
        const bool cell = chosen && c == column_;
        if (cell) fillRect(engine_, columnX[c] - 8, ly - 4, columnW, step - 4, kChosenTop, kChosenBottom);
        std::string label = keyLabel(b.keys[static_cast<size_t>(i)].slots[static_cast<size_t>(c)]);
        if (cell && waiting_) label = (frames_ / 30) % 2 ? "..." : "press";
        text(columnX[c], ly, AlignLeft, 0.62f, cell ? kChosen : kValue, label);
      }
    } else {
      if (chosen) fillRect(engine_, x + 12, ly - 4, w - 24, step - 4, kChosenTop, kChosenBottom);
      text(labelX, ly, AlignLeft, 0.7f, chosen ? kChosen : kText, i == kResetLine ? "Reset to defaults" : "Back");
    }
  }
  const float foot = y + h - 66;
  std::string hint = "Enter or A: choose a key   Delete or X: clear   Esc or B: back";
  if (waiting_) {
    const auto slot = static_cast<BindingSlot>(column_);
    hint = std::string(slot == SLOT_PAD ? "Press a pad button for " : "Press a key for ") +
           kGameKeys[static_cast<size_t>(line_)].label + "   (Esc: keep it as it is)";
  }
  if (!message_.empty()) text(kWidth / 2, foot, AlignCenter, 0.6f, kWarning, message_);
  text(kWidth / 2, foot + 20, AlignCenter, 0.6f, kDim, hint);
  const std::vector<std::string> pads = engine_->Input_GetPads();
  std::string padLine = pads.empty() ? "No pad plugged in" : "Pad: " + pads.front();
  if (pads.size() > 1) padLine += " and " + std::to_string(pads.size() - 1) + " more";
  text(kWidth / 2, foot + 40, AlignCenter, 0.6f, kDim, padLine);
}
