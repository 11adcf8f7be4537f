// What a game over the network shows of it, in the pause menu's style: the
// lobby before the game (who is there, their round trip, how to start), and
// during play the sign "waiting for PLAYER N" while that player's keys are too
// far behind to play on (a brief wait of a frame or two never shows it).
#pragma once

#include <memory>

#include "app/NetPlay.h"
#include "engine/hge.h"
#include "gfx/BitmapFont.h"

class NetPlayView {
 public:
  NetPlayView(HGE *engine, const NetPlay &net) : engine_(engine), net_(net) {}
  void loadFont();
  void draw();

 private:
  void drawLobby();
  void drawWaitingSign(int seat);
  void text(float x, float y, int align, float scale, uint32_t color, const std::string &s);
  HGE *engine_;
  const NetPlay &net_;
  std::unique_ptr<BitmapFont> font_;
};
