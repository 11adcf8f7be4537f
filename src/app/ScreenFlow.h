// The three screens: title (0), play (1) and ending (2). The frame callback
// builds the game on the first frame, steps the world until the game is over,
// then waits for Escape on the ending screen; the render callback draws
// whichever screen is up and never changes the world. With a title menu (a
// game a person starts), the title waits for the menu's choice instead, Enter
// on the ending goes back to it, and the menu's demo is a game of its own that
// any key ends.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "app/PlayClock.h"
#include "app/StepWatch.h"
#include "engine/hge.h"
#include "gfx/BitmapFont.h"
#include "gfx/SpriteQuad.h"
#include "render/WorldRenderer.h"
#include "world/FrameInput.h"
#include "world/GameRules.h"
#include "world/World.h"

class TitleMenu;
class TraceWriter;

class ScreenFlow {
 public:
  enum State { TITLE = 0, PLAYING = 1, ENDING = 2 };

  // `random` is the game's chance (the world is handed it); `trace`, when
  // given, gets a line after every frame that ran the world; `files`, when
  // given, are the game folder with its mods (the world reads through them).
  ScreenFlow(HGE* engine, GameRules rules, RandomInt random, TraceWriter* trace, const DataLayers* files = nullptr);
  ~ScreenFlow();
  ScreenFlow(const ScreenFlow&) = delete;
  ScreenFlow& operator=(const ScreenFlow&) = delete;

  // Loads the title picture (before the pack is attached) and the ending font.
  void loadScreens();
  // The frame callback: true ends the frame loop. The world is stepped only in
  // frames the clock runs (runsThisFrame).
  bool frame();
  // The render callback.
  bool render();
  // The clock callback: true when the game runs in this frame. Only play can
  // be paused; the title and the ending always run.
  bool runsThisFrame() {
    running_ = state_ != PLAYING || clock_.runsThisFrame();
    return running_;
  }
  PlayClock& clock() { return clock_; }
  // The title menu (not owned; it outlives the flow's frames). Set before the first frame.
  void setTitleMenu(TitleMenu* menu) { titleMenu_ = menu; }
  // The demo is being played (the built-in player has seat 1; any key ends it).
  bool inDemo() const { return demo_; }
  // Drawn over whichever screen is up and over the modder's layer: the pause menu.
  void setMenuLayer(std::function<void()> draw) { menuLayer_ = std::move(draw); }

  int state() const { return state_; }
  // The rules the flow was made with (before any choice of the title menu).
  const GameRules& rulesAtStart() const { return baseRules_; }
  const TitleMenu* titleMenu() const { return titleMenu_; }
  const World* world() const { return world_.get(); }
  World* world() { return world_.get(); }
  // Looks at every step of play from now on (not owned; it must outlive the flow's frames).
  void addWatch(StepWatch* watch) { watches_.push_back(watch); }
  // A watch ended the run (it says why).
  bool stoppedByWatch() const { return stoppedByWatch_; }
  // The player pressed Escape on the ending screen.
  bool quitByPlayer() const { return quit_; }
  // The world could not be built (the reason was shown to the player).
  bool startFailed() const { return startFailed_; }

  // The modder's reload: play goes on with `world`, drawn by `renderer`, from
  // the next frame (also when the game had ended); the old ones go.
  void replaceWorld(std::unique_ptr<World> world, std::unique_ptr<WorldRenderer> renderer);
  // Steps the world in place of the flow's own update and control (a game
  // played over the network): given this frame's keys, it steps the world
  // as it chooses, starting and stopping its sounds; false ends the run.
  // With it, the first frame builds the world with no keys and play has no
  // ending screen.
  // The sounds a stepper starts (the engine's channel back) and stops.
  struct StepSounds {
    std::function<HCHANNEL(const SoundRequest&)> start;
    std::function<void(HCHANNEL)> stop;
  };
  using Stepper = std::function<bool(World&, const SeatInputs&, const StepSounds&)>;
  void setStepper(Stepper stepper) { stepper_ = std::move(stepper); }
  // Before the world is built: the game begins only once the gate says GO
  // (and STOP ends the run as a game that could not start). It may change the
  // rules first: a game over the network waits in its lobby for its players,
  // then plays the host's seed and rules.
  enum class Gate { WAIT, GO, STOP };
  using StartGate = std::function<Gate(GameRules&)>;
  void setStartGate(StartGate gate) { startGate_ = std::move(gate); }
  // Drawn over whichever screen is up, under the menu: the modder's overlay.
  void setModderLayer(std::function<void()> draw) { modderLayer_ = std::move(draw); }

  // Whether heavy blows may shake the screen (the player's setting).
  void setScreenShake(bool allowed) { screenShake_ = allowed; }

 private:
  // Attaches the pack, builds the world and its renderer; the music starts
  // in the next frame.
  bool startGame();
  // The title menu's frame: false when the menu chose nothing yet (or to quit: quit_ set).
  bool titleChoice();
  // Leaves play (the demo, or a run the ending is done with) for the title.
  void backToTitle();
  void drawEnding();

  HGE* engine_;
  GameRules rules_;
  const GameRules baseRules_;  // the rules before the menu's choice (each run starts from them)
  RandomInt random_;
  const DataLayers* files_ = nullptr;
  TraceWriter* trace_;
  int state_ = TITLE;
  std::unique_ptr<World> world_;
  std::unique_ptr<WorldRenderer> renderer_;
  bool screenShake_ = true;
  std::unique_ptr<SpriteQuad> title_;
  std::unique_ptr<BitmapFont> endingFont_;
  bool quit_ = false;
  bool startFailed_ = false;
  PlayClock clock_;
  bool running_ = true;  // the clock's answer for this frame (true when nobody asks it)
  std::function<void()> modderLayer_;
  std::function<void()> menuLayer_;
  std::vector<StepWatch*> watches_;
  Stepper stepper_;
  StartGate startGate_;
  bool stoppedByWatch_ = false;
  std::string markedScene_;  // the scene last marked for the frame statistics
  TitleMenu* titleMenu_ = nullptr;
  bool demo_ = false;
  bool musicDue_ = false;  // the game began: its music starts in the next frame
  int stepAtStart_ = 0, stepAtEnd_ = 0;  // the engine's steps when the run began and ended (its time)
};

// The game's eight keys of seat `seat` as the engine's input reports them in this frame.
FrameInput readFrameInput(HGE* engine, int seat = 1);
// Every seat's.
SeatInputs readSeatInputs(HGE* engine);
// The engine's key code of the game's key `gameKey` (a GameKey) for a seat.
int seatGameKey(int gameKey, int seat);
