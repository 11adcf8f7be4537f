// What a game over the network shows of it, in the pause menu's style: the
// lobby before the game (who is there, their round trip, how to start), and
// during play the sign "waiting for PLAYER N" while that player's keys are too
// far behind to play on (a brief wait of a frame or two never shows it). In
// the lobby and in play, the latest lines of chat for a few seconds, and the
// line being typed, in a small box at the bottom left.
#pragma once

#include <memory>

#include "app/ChatTyping.h"
#include "app/NetPlay.h"
#include "engine/hge.h"
#include "gfx/BitmapFont.h"

class NetPlayView {
 public:
  NetPlayView(HGE *engine, const NetPlay &net) : engine_(engine), net_(net) {}
  void loadFont();
  void draw();
  void setTyping(const ChatTyping *typing) { typing_ = typing; }
  static constexpr uint32_t kChatShownMs = 6000;

 private:
  void drawLobby();
  void drawWaitingSign(int seat);
  void drawChat();
  void text(float x, float y, int align, float scale, uint32_t color, const std::string &s);
  HGE *engine_;
  const NetPlay &net_;
  std::unique_ptr<BitmapFont> font_;
  const ChatTyping *typing_ = nullptr;
};
