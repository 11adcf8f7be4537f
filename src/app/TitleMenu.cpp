#include "app/TitleMenu.h"

#include <algorithm>

#include "app/PlayerSettings.h"
#include "app/ScoresFile.h"

TitleMenu::TitleMenu(HGE* engine, PlayerSettings& settings, std::vector<std::string> heroes,
                     std::filesystem::path scoresFile)
    : engine_(engine),
      settings_(settings),
      heroes_(std::move(heroes)),
      scoresFile_(std::move(scoresFile)),
      keys_(engine) {
  if (heroes_.empty()) heroes_.push_back("c_morivane");
  joined_[1] = true;
}

TitleMenu::~TitleMenu() = default;

Difficulty TitleMenu::difficulty() const { return settings_.settings().difficulty; }

void TitleMenu::go(Page page, int line) {
  page_ = page;
  line_ = line;
  idle_ = 0;
  keys_.reset();
}

TitleMenu::Wish TitleMenu::update() {
  ++frames_;
  // While the options are open, and in the frame they close (the key that
  // closed them is not the title's), the title reads no key.
  const bool optionsOpen = optionsOpen_ && optionsOpen_();
  if (optionsOpen || optionsWereOpen_) {
    optionsWereOpen_ = optionsOpen;
    idle_ = 0;
    keys_.reset();
    return Wish::NONE;
  }
  const MenuWish w = keys_.read();
  Wish wish = Wish::NONE;
  switch (page_) {
    case MAIN: updateMain(w, wish); break;
    case JOIN: updateJoin(w, wish); break;
    case HEROES: updateHeroes(w, wish); break;
    case SCORES:
      if (w.choose || w.back || w.start) go(MAIN, SCORES_LINE);
      break;
    case NAME: updateName(w); break;
  }
  return wish;
}

void TitleMenu::updateMain(const MenuWish& w, Wish& wish) {
  idle_ = w.anyKey ? 0 : idle_ + 1;
  if (idle_ >= kDemoAfterFrames) {
    idle_ = 0;
    wish = Wish::DEMO;
    return;
  }
  line_ = ((line_ + w.down - w.up) % MAIN_LINES + MAIN_LINES) % MAIN_LINES;
  const bool choose = w.choose || w.start;
  switch (line_) {
    case PLAY:
      if (choose) {
        joined_.fill(false);
        joined_[1] = true;
        toHeroesOrStart(wish);
      }
      break;
    case PLAY_TOGETHER:
      if (choose) {
        joined_.fill(false);
        joined_[1] = true;
        go(JOIN);
      }
      break;
    case DIFFICULTY_LINE: {
      const int steps = w.right - w.left + (choose ? 1 : 0);
      if (steps != 0) {
        const int d = ((static_cast<int>(difficulty()) + steps) % kDifficultyCount + kDifficultyCount) % kDifficultyCount;
        settings_.setDifficulty(static_cast<Difficulty>(d));
      }
      break;
    }
    case OPTIONS_LINE:
      if (choose && openOptions_) openOptions_();
      break;
    case SCORES_LINE:
      if (choose) {
        newPlace_ = -1;
        go(SCORES);
      }
      break;
    case QUIT_LINE:
      if (choose) wish = Wish::QUIT;
      break;
    default: break;
  }
}

void TitleMenu::toHeroesOrStart(Wish& wish) {
  ready_.fill(false);
  if (heroes_.size() < 2) {
    heroPick_.fill(0);
    wish = Wish::START;
    return;
  }
  go(HEROES);
}

void TitleMenu::updateJoin(const MenuWish& w, Wish& wish) {
  if (w.back) {
    go(MAIN, PLAY_TOGETHER);
    return;
  }
  for (int seat = 2; seat <= kMaxSeats; ++seat) {
    if (seatKeyDown(seat, HGEK_J)) joined_[static_cast<size_t>(seat)] = true;
    if (seatKeyDown(seat, HGEK_K)) joined_[static_cast<size_t>(seat)] = false;
  }
  int count = 0;
  for (int seat = 1; seat <= kMaxSeats; ++seat) count += joined_[static_cast<size_t>(seat)] ? 1 : 0;
  if ((w.choose || w.start) && count >= 2) toHeroesOrStart(wish);
}

void TitleMenu::updateHeroes(const MenuWish& w, Wish& wish) {
  const int n = static_cast<int>(heroes_.size());
  if (w.back) {
    bool anyJoinedBeyondOne = false;
    for (int seat = 2; seat <= kMaxSeats; ++seat) anyJoinedBeyondOne = anyJoinedBeyondOne || joined_[static_cast<size_t>(seat)];
    if (anyJoinedBeyondOne)
      go(JOIN);
    else
      go(MAIN, PLAY);
    return;
  }
  bool allReady = true;
  for (int seat = 1; seat <= kMaxSeats; ++seat) {
    const auto s = static_cast<size_t>(seat);
    if (!joined_[s]) continue;
    // Seat 1 uses the menu's keys (arrows, Enter, its pad); every seat its own game keys.
    int step = 0;
    bool confirm = seatKeyDown(seat, HGEK_J);
    if (seat == 1) {
      step = w.right - w.left;
      confirm = confirm || w.choose || w.start;
    } else {
      step = (seatKeyDown(seat, HGEK_D) ? 1 : 0) - (seatKeyDown(seat, HGEK_A) ? 1 : 0);
    }
    if (!ready_[s]) {
      heroPick_[s] = ((heroPick_[s] + step) % n + n) % n;
      if (confirm) ready_[s] = true;
    } else if (seatKeyDown(seat, HGEK_K)) {
      ready_[s] = false;  // changed their mind
    }
    allReady = allReady && ready_[s];
  }
  if (allReady) wish = Wish::START;
}

void TitleMenu::updateName(const MenuWish& w) {
  char& letter = name_[static_cast<size_t>(namePos_)];
  const int steps = w.up - w.down;
  if (steps != 0) letter = static_cast<char>('A' + ((letter - 'A' + steps) % 26 + 26) % 26);
  namePos_ = std::clamp(namePos_ + w.right - w.left, 0, 2);
  if (w.back && namePos_ > 0) --namePos_;
  if (!(w.choose || w.start)) return;
  if (namePos_ < 2) {
    ++namePos_;
    return;
  }
  pending_.name = name_;
  newPlace_ = table_.add(pending_);
  std::string why;
  if (scoresFile_.empty()) {
    message_ = "No home folder: the table is kept for this run only";
  } else if (!saveHighScores(scoresFile_, table_, why)) {
    message_ = "The table could not be kept";
    engine_->System_Log("High scores not written: %s", why.c_str());
  } else {
    message_.clear();
  }
  go(SCORES);
}

void TitleMenu::runEnded(const RunSummary& run, const std::string& date) {
  message_.clear();
  newPlace_ = -1;
  if (table_.placeFor(run.score) < 0 || run.score <= 0) {
    go(MAIN, PLAY);
    return;
  }
  pending_ = HighScore{run.score, "", run.heroes, difficultyName(run.difficulty), date, run.seconds};
  name_ = "AAA";
  namePos_ = 0;
  go(NAME);
}

void TitleMenu::backFromDemo() { go(MAIN, line_); }
