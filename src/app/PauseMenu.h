// The pause menu. P, Esc or a pad's Start while playing, the window losing
// focus or a pad being unplugged pause the game (the clock's player pause:
// the world is not stepped) and open it: Resume, Music volume, Effects volume,
// Controls (each seat's game keys: keyboard keys and pad button, chosen by
// pressing them), Fullscreen, Leave game (with two or more playing: the
// chosen seat's fighter goes) and Quit to desktop. It reads raw keys, so keyboard and
// pad drive it whatever the bindings. When it closes, the game resumes as
// soon as the key that closed it is up, so that key never reaches the game.
// Over the network nobody can stop the other machines' game: there the menu
// opens over the running game, and this machine's seats press nothing while
// it is open (keysKeptFromTheGame).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/KeyBindings.h"
#include "app/MenuKeys.h"
#include "app/PlayClock.h"
#include "engine/hge.h"
#include "gfx/BitmapFont.h"

class PlayerSettings;
class SeatControls;

class PauseMenu {
 public:
  PauseMenu(HGE* engine, PlayClock& clock, PlayerSettings& settings);
  ~PauseMenu();
  PauseMenu(const PauseMenu&) = delete;
  PauseMenu& operator=(const PauseMenu&) = delete;

  // Loads the game's font (after System_Initiate).
  void loadFont();
  // Who plays where: the menu offers leaving the game (not owned; none: never offered).
  void setSeats(SeatControls* seats) { seats_ = seats; }
  // Whether opening the menu stops the world (true but over the network).
  void setStopsTheGame(bool stops) { stopsTheGame_ = stops; }
  // The menu is open, or the keys that closed it are still down: this
  // machine's seats should press nothing (the world may be running).
  bool keysKeptFromTheGame() const { return open_ || !closingKeys_.empty(); }
  // Once a frame, before the clock is asked (the clock callback). `playing`:
  // the play screen is up (nothing else pauses). `startJoined`: a pad's
  // Start joined a seat in this frame and does not pause.
  void update(bool playing, bool startJoined = false);
  // Draws the menu over the frozen game, while it is open.
  void draw();

  // Pauses the game and opens the menu on its first page.
  void open();
  // Opens the same pages from the title menu (its Options): Resume goes back to the title.
  void openFromTitle() {
    open();
    fromTitle_ = true;
  }
  bool openFromTitleMenu() const { return open_ && fromTitle_; }
  bool isOpen() const { return open_; }
  // The player chose Quit to desktop.
  bool quitChosen() const { return quit_; }

  // The menu's pages and lines, for drawing and tests.
  enum Page { MAIN, CONTROLS };
  // LEAVE is there only while someone may leave.
  enum MainLine { RESUME, MUSIC, EFFECTS, CONTROLS_LINE, FULLSCREEN, LEAVE, QUIT, MAIN_LINES };
  // Controls lines: the seat whose keys are shown, the game keys (columns:
  // the binding's slots), then reset and back. The page opens on the first
  // game key; the seat's line is above it.
  static constexpr int kResetLine = GAME_KEY_COUNT, kBackLine = GAME_KEY_COUNT + 1, kSeatLine = GAME_KEY_COUNT + 2,
                       kControlsLines = GAME_KEY_COUNT + 3;
  Page page() const { return page_; }
  int line() const { return line_; }
  int column() const { return column_; }
  bool waitingForKey() const { return waiting_; }
  // The seat whose keys the controls page shows (1-4).
  int controlsSeat() const { return seat_; }
  // The seat the leave line would send away (0: the line is not offered).
  int leavingSeat() const;

 private:
  // What the menu's keys asked for in this frame: the directions as counts of
  // taps (several quick taps may fall in one frame).
  struct Wish {
    int up = 0, down = 0, left = 0, right = 0;
    bool choose = false, back = false, resume = false, clear = false;
  };
  Wish readKeys();
  // Whether any of the keys went down in this frame.
  bool anyDown(std::initializer_list<int> keys) const;

  // Closes the menu; the game resumes once the keys that went down in this frame are up.
  void close();
  void updateMain(const Wish& w);
  void updateControls(const Wish& w);
  void takeKey();  // while waiting for the key to bind
  // The next line of the page up or down (a hidden line is passed over).
  int nextLine(int line, int step) const;
  // The keys another seat has (keyboard keys only; pads are each their seat's).
  std::string otherSeatHolding(int key, BindingSlot slot) const;

  void drawMain();
  void drawControls();
  // Text at (x, y) in the game's font, at `scale`, in `color`.
  void text(float x, float y, int align, float scale, uint32_t color, const std::string& s);

  HGE* engine_;
  PlayClock& clock_;
  PlayerSettings& settings_;
  std::unique_ptr<BitmapFont> font_;
  bool open_ = false;
  bool quit_ = false;
  bool fromTitle_ = false;  // opened by the title menu, not by pausing play
  bool stopsTheGame_ = true;
  std::vector<int> closingKeys_;  // closed: the game resumes when these are up
  Page page_ = MAIN;
  int line_ = 0, column_ = 0;
  bool waiting_ = false;  // for the key to bind to the chosen cell
  std::string message_;   // said under the controls (a key that cannot be bound)
  MenuKeys directions_;
  int frames_ = 0;  // frames the menu has been open, for blinking
  SeatControls* seats_ = nullptr;
  int seat_ = 1;        // the controls page's seat
  size_t leaveAt_ = 0;  // which of the seats that may leave the leave line shows
};

// How the menu shows a raw key: its name, with a pad's buttons as printed on a pad.
std::string keyLabel(int key);
