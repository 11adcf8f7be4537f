#include "app/NetPlayView.h"

#include <algorithm>
#include <string>

#include "app/MenuPanel.h"
#include "net/ChatMessage.h"

namespace {
constexpr const char *kFontFile = "font1.fnt";
constexpr float kWidth = 800;
}  // namespace

void NetPlayView::loadFont() { font_ = std::make_unique<BitmapFont>(engine_, kFontFile, false); }

void NetPlayView::text(float x, float y, int align, float scale, uint32_t color, const std::string &s) {
  font_->setScale(scale);
  font_->setColor(color);
  font_->draw(x, y, align, s.c_str());
}

void NetPlayView::draw() {
  if (!font_) return;
  if (!net_.started())
    drawLobby();
  else if (const int seat = net_.waitingForSeat(); seat > 0)
    drawWaitingSign(seat);
  drawChat();
  font_->setScale(1);
  font_->setColor(0xFFFFFFFF);
}

void NetPlayView::drawWaitingSign(int seat) {
  const float w = 300, h = 34, x = (kWidth - w) / 2, y = 52;
  drawPlate(engine_, x, y, w, h);
  text(kWidth / 2, y + 7, AlignCenter, 0.8f, menustyle::kWarning, "waiting for PLAYER " + std::to_string(seat));
}

void NetPlayView::drawLobby() {
  using namespace menustyle;
  const float w = 420, h = 250, x = (kWidth - w) / 2, y = 170;  // under the title's name
  fillRect(engine_, 0, 0, kWidth, 480, kShade, kShade);
  drawPlate(engine_, x, y, w, h);
  text(kWidth / 2, y + 12, AlignCenter, 1.0f, kTitle, net_.hosting() ? "HOSTING A GAME" : "JOINED A GAME");
  fillRect(engine_, x + 24, y + 46, w - 48, 2, kRimBottom, kRimTop, true);
  float row = y + 60;
  const std::vector<NetPlay::LobbySeat> seats = net_.lobbySeats();
  const int rows = net_.hosting() ? net_.seatsWanted() : 1 + net_.localSeats();
  for (int i = 0; i < rows; ++i) {
    std::string who, how;
    uint32_t color = kText;
    if (i < static_cast<int>(seats.size())) {
      const NetPlay::LobbySeat &s = seats[static_cast<size_t>(i)];
      // A joiner learns its seats' numbers when the game begins.
      who = s.seat > 0 ? "PLAYER " + std::to_string(s.seat) : net_.localSeats() > 1 ? "YOU (" + std::to_string(i) + ")" : "YOU";
      how = s.you ? "you" : std::to_string(s.roundTripMs) + " ms";
      if (!net_.hosting() && !s.you) how = "host, " + how;
      color = s.you ? kChosen : kValue;
    } else {
      who = "PLAYER " + std::to_string(i + 1);
      how = "waiting...";
      color = kDim;
    }
    text(x + 40, row, AlignLeft, 0.8f, color, who);
    text(x + w - 40, row, AlignRight, 0.8f, color, how);
    row += 30;
  }
  std::string hint;
  if (!net_.hosting())
    hint = "waiting for the host to start";
  else if (net_.canStart())
    hint = "Enter or punch: start";
  else
    hint = "waiting for players to join";
  text(kWidth / 2, y + h - 34, AlignCenter, 0.7f, kDim, hint);
}

void NetPlayView::drawChat() {
  using namespace menustyle;
  std::vector<std::string> rows;
  std::vector<uint32_t> colors;
  const uint32_t now = net_.chatClockMs();
  for (const NetPlay::ChatShown &line : net_.chatLines()) {
    if (now - line.atMs > kChatShownMs) continue;
    rows.push_back((line.seat > 0 ? "P" + std::to_string(line.seat) : std::string("YOU")) + ": " +
                   chatTextForScreen(line.text));
    colors.push_back(kText);
  }
  if (typing_ && typing_->open()) {
    rows.push_back("say: " + typing_->text() + "_");
    colors.push_back(kChosen);
  }
  if (rows.empty()) return;
  // As wide as its longest line, within the screen.
  font_->setScale(0.55f);
  float widest = 200;
  for (const std::string &row : rows) widest = std::max(widest, font_->textWidth(row.c_str(), false));
  const float rowHeight = 18, w = std::min(kWidth - 16, widest + 24), h = 12 + rowHeight * static_cast<float>(rows.size());
  const float x = 8, y = 480 - 8 - h;
  drawPlate(engine_, x, y, w, h);
  for (size_t i = 0; i < rows.size(); ++i)
    text(x + 12, y + 6 + rowHeight * static_cast<float>(i), AlignLeft, 0.55f, colors[i], rows[i]);
}
