// The three screens: title (0), play (1) and ending (2). The frame callback
// builds the world on the first frame, runs it until the game is over, then
// waits for Escape on the ending screen; the render callback draws whichever
// screen is up.
#pragma once

#include <memory>

#include "engine/hge.h"
#include "gfx/BitmapFont.h"
#include "gfx/SpriteQuad.h"

class Scene;
class TraceWriter;

class ScreenFlow {
 public:
  enum State { TITLE = 0, PLAYING = 1, ENDING = 2 };

  // `trace`, when given, gets a line after every frame callback that ran the world.
  ScreenFlow(HGE* engine, TraceWriter* trace);
  ~ScreenFlow();
  ScreenFlow(const ScreenFlow&) = delete;
  ScreenFlow& operator=(const ScreenFlow&) = delete;

  // Loads the title picture (before the pack is attached) and the ending font.
  void loadScreens();
  // The frame callback: true ends the frame loop.
  bool frame();
  // The render callback.
  bool render();

  int state() const { return state_; }
  const Scene* world() const { return world_.get(); }
  // The player pressed Escape on the ending screen.
  bool quitByPlayer() const { return quit_; }
  // The world could not be built (the reason was shown to the player).
  bool startFailed() const { return startFailed_; }

 private:
  HGE* engine_;
  TraceWriter* trace_;
  int state_ = TITLE;
  std::unique_ptr<Scene> world_;
  std::unique_ptr<SpriteQuad> title_;
  std::unique_ptr<BitmapFont> endingFont_;
  bool quit_ = false;
  bool startFailed_ = false;
};
