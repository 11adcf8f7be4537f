// The title menu, over the title picture: Play, Play together, Difficulty,
// Options, High scores and Quit, driven by the keyboard and every pad. Play
// goes to the hero select for seat 1 alone; Play together first lets the
// other seats join with their punch (and leave with their kick), then each
// joined seat picks its hero (two seats may pick the same one); with one hero
// offered there is nothing to pick. After a run whose score enters the table
// the player picks a name of three letters, and the table is shown. Left
// untouched for 20 seconds on its first page, it asks for the demo.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/HighScores.h"
#include "app/MenuKeys.h"
#include "engine/hge.h"
#include "gfx/BitmapFont.h"
#include "gfx/SpriteQuad.h"
#include "world/Difficulty.h"
#include "world/Seat.h"

class PlayerSettings;

// What the ending says of a run, and what the table keeps of it.
struct RunSummary {
  int32_t score = 0, kills = 0, seconds = 0;
  std::string heroes;  // UTF-8 ids, '+' between
  Difficulty difficulty = Difficulty::Normal;
  bool won = false;
};

class TitleMenu {
 public:
  enum Page { MAIN, JOIN, HEROES, SCORES, NAME };
  enum MainLine { PLAY, PLAY_TOGETHER, DIFFICULTY_LINE, OPTIONS_LINE, SCORES_LINE, QUIT_LINE, MAIN_LINES };
  enum class Wish { NONE, START, DEMO, QUIT };
  // Frames untouched on the first page before the demo (20 seconds).
  static constexpr int kDemoAfterFrames = 2000;

  // `heroes`: the heroes offered (GBK ids, at least one); `scoresFile` "" keeps no table.
  TitleMenu(HGE* engine, PlayerSettings& settings, std::vector<std::string> heroes, std::filesystem::path scoresFile);
  ~TitleMenu();
  TitleMenu(const TitleMenu&) = delete;
  TitleMenu& operator=(const TitleMenu&) = delete;

  // The options page is the pause menu's: opening it, and whether it is still open.
  void setOptions(std::function<void()> open, std::function<bool()> isOpen) {
    openOptions_ = std::move(open);
    optionsOpen_ = std::move(isOpen);
  }
  // Reads the table and loads the font and the heroes' portraits (after System_Initiate and the pack).
  void load();
  // Once a frame while the title is up.
  Wish update();
  void draw();

  // A run ended (Enter on the ending): the table asks for a name when it enters.
  void runEnded(const RunSummary& run, const std::string& date);
  // Back from the demo: the first page, untouched from now.
  void backFromDemo();

  // The choice of the last START: who plays and with which hero.
  bool joined(int seat) const { return joined_[static_cast<size_t>(seat)]; }
  const std::string& heroOf(int seat) const { return heroes_[static_cast<size_t>(heroPick_[static_cast<size_t>(seat)])]; }
  Difficulty difficulty() const;

  Page page() const { return page_; }
  int line() const { return line_; }
  int idleFrames() const { return idle_; }
  bool ready(int seat) const { return ready_[static_cast<size_t>(seat)]; }
  const HighScores& scores() const { return table_; }
  int newPlace() const { return newPlace_; }  // the row of the run just entered, -1 none
  const std::string& nameSoFar() const { return name_; }

 private:
  void updateMain(const MenuWish& w, Wish& wish);
  void updateJoin(const MenuWish& w, Wish& wish);
  void updateHeroes(const MenuWish& w, Wish& wish);
  void updateName(const MenuWish& w);
  void toHeroesOrStart(Wish& wish);
  bool seatKeyDown(int seat, int key) const { return engine_->Input_KeyDown(hgeSeatKey(key, seat)); }
  void go(Page page, int line = 0);

  void drawMain();
  void drawJoin();
  void drawHeroes();
  void drawScores();
  void drawName();
  void text(float x, float y, int align, float scale, uint32_t color, const std::string& s);

  HGE* engine_;
  PlayerSettings& settings_;
  std::vector<std::string> heroes_;
  std::filesystem::path scoresFile_;
  MenuKeys keys_;
  std::function<void()> openOptions_;
  std::function<bool()> optionsOpen_;
  std::unique_ptr<BitmapFont> font_;
  std::vector<std::unique_ptr<SpriteQuad>> portraits_;  // one a hero, or null
  HighScores table_;
  Page page_ = MAIN;
  int line_ = 0;
  int idle_ = 0;
  std::array<bool, kMaxSeats + 1> joined_{}, ready_{};
  std::array<int, kMaxSeats + 1> heroPick_{};
  // The name being picked, and the run it is for.
  std::string name_ = "AAA";
  int namePos_ = 0;
  HighScore pending_;
  int newPlace_ = -1;
  std::string message_;  // said under the table (it could not be kept)
  int frames_ = 0;       // for blinking
  bool optionsWereOpen_ = false;
};
