#include "app/PauseMenu.h"

#include <algorithm>

#include "app/PlayerSettings.h"
#include "app/SeatControls.h"

namespace {

constexpr const char* kFontFile = "font1.fnt";

// The controls page's lines from top to bottom.
constexpr int kControlsOrder[PauseMenu::kControlsLines] = {
    PauseMenu::kSeatLine, KEY_W, KEY_S, KEY_A, KEY_D, KEY_J, KEY_K, KEY_U, KEY_I, PauseMenu::kResetLine,
    PauseMenu::kBackLine};

// The next volume step of ten up or down (a volume between steps goes to the next one).
// A line `by` rows on (negative: back), round the `lines`.
int stepLine(int line, int by, int lines) { return ((line + by) % lines + lines) % lines; }

int stepVolume(int volume, bool up) {
  if (up) return std::min(100, volume / 10 * 10 + 10);
  return std::max(0, (volume - 1) / 10 * 10);
}

}  // namespace

PauseMenu::PauseMenu(HGE* engine, PlayClock& clock, PlayerSettings& settings)
    : engine_(engine), clock_(clock), settings_(settings), directions_(engine) {}

PauseMenu::~PauseMenu() = default;

void PauseMenu::loadFont() { font_ = std::make_unique<BitmapFont>(engine_, kFontFile, false); }

bool PauseMenu::anyDown(std::initializer_list<int> keys) const {
  return std::any_of(keys.begin(), keys.end(), [this](int k) { return engine_->Input_RawKeyDown(k); });
}

PauseMenu::Wish PauseMenu::readKeys() {
  Wish w;
  const MenuWish d = directions_.readDirections();
  w.up = d.up;
  w.down = d.down;
  w.left = d.left;
  w.right = d.right;
  w.choose = anyDown({HGEK_ENTER, HGEK_SPACE, HGEK_PAD_A});
  w.back = anyDown({HGEK_ESCAPE, HGEK_BACKSPACE, HGEK_PAD_B});
  w.resume = anyDown({HGEK_P, HGEK_PAD_START});
  w.clear = anyDown({HGEK_DELETE, HGEK_PAD_X});
  return w;
}

void PauseMenu::open() {
  open_ = true;
  closingKeys_.clear();
  clock_.playerPaused = stopsTheGame_;
  page_ = MAIN;
  line_ = RESUME;
  column_ = 0;
  waiting_ = false;
  message_.clear();
  frames_ = 0;
  directions_.reset();
}

void PauseMenu::close() {
  open_ = false;
  fromTitle_ = false;
  waiting_ = false;
  closingKeys_.clear();
  for (int key = 1; key < HGEK_COUNT; ++key)
    if (engine_->Input_RawKeyDown(key)) closingKeys_.push_back(key);
  settings_.saveNow();
}

int PauseMenu::leavingSeat() const {
  if (!seats_) return 0;
  const std::vector<int>& seats = seats_->seatsThatMayLeave();
  return seats.empty() ? 0 : seats[leaveAt_ % seats.size()];
}

int PauseMenu::nextLine(int line, int step) const {
  if (page_ == MAIN) {
    do line = (line + MAIN_LINES + step) % MAIN_LINES;
    while (line == LEAVE && leavingSeat() == 0);
    return line;
  }
  int at = 0;
  while (at < kControlsLines && kControlsOrder[at] != line) ++at;
  return kControlsOrder[(at + kControlsLines + step) % kControlsLines];
}

std::string PauseMenu::otherSeatHolding(int key, BindingSlot slot) const {
  if (slot == SLOT_PAD) return "";
  const Settings& s = settings_.settings();
  for (int other = 1; other <= HGE_SEATS; ++other) {
    if (other == seat_) continue;
    size_t gameKey = 0;
    BindingSlot otherSlot = SLOT_KEY1;
    if (!s.keysOf(other).find(key, gameKey, otherSlot) || otherSlot == SLOT_PAD) continue;
    // Seat 1's second keys may be seat 2's keys too (seat 1 has them while seat 2 is away).
    const bool lent = (seat_ == 1 && slot == SLOT_KEY2 && other == 2) || (seat_ == 2 && other == 1 && otherSlot == SLOT_KEY2);
    if (!lent) return "seat " + std::to_string(other) + "'s " + kGameKeys[gameKey].label;
  }
  return "";
}

void PauseMenu::update(bool playing, bool startJoined) {
  const int events = engine_->Input_GetEvents();
  const bool lostSomething = (events & (HGEINPUT_FOCUSLOST | HGEINPUT_PADREMOVED)) != 0;
  if (!playing && !fromTitle_) {
    if (open_) close();
    closingKeys_.clear();
    clock_.playerPaused = false;
    return;
  }
  if (!open_) {
    const bool pauseKey =
        anyDown({HGEK_ESCAPE, HGEK_P}) || (!startJoined && engine_->Input_RawKeyDown(HGEK_PAD_START));
    if (lostSomething || pauseKey) {
      open();
      return;
    }
    if (clock_.playerPaused || !closingKeys_.empty()) {
      // The keys that closed the menu are let go before the game goes on.
      const bool stillHeld = std::any_of(closingKeys_.begin(), closingKeys_.end(),
                                         [this](int k) { return engine_->Input_RawKeyState(k); });
      if (stillHeld) return;
      closingKeys_.clear();
      clock_.playerPaused = false;
    }
    return;
  }
  ++frames_;
  if (waiting_) {
    takeKey();
    return;
  }
  const Wish w = readKeys();
  if (page_ == MAIN)
    updateMain(w);
  else
    updateControls(w);
}

void PauseMenu::updateMain(const Wish& w) {
  if (w.resume || w.back) {
    close();
    return;
  }
  if (line_ == LEAVE && leavingSeat() == 0) line_ = RESUME;
  for (int by = w.down - w.up; by != 0; by += by > 0 ? -1 : 1) line_ = nextLine(line_, by > 0 ? 1 : -1);
  const Settings& s = settings_.settings();
  switch (line_) {
    case RESUME:
      if (w.choose) close();
      break;
    case MUSIC:
      for (int i = 0; i < w.left + w.right; ++i)
        settings_.setMusicVolume(stepVolume(settings_.settings().musicVolume, i >= w.left));
      if (w.choose) settings_.setMusicVolume(s.musicVolume >= 100 ? 0 : stepVolume(s.musicVolume, true));
      break;
    case EFFECTS:
      for (int i = 0; i < w.left + w.right; ++i)
        settings_.setEffectsVolume(stepVolume(settings_.settings().effectsVolume, i >= w.left));
      if (w.choose) settings_.setEffectsVolume(s.effectsVolume >= 100 ? 0 : stepVolume(s.effectsVolume, true));
      break;
    case CONTROLS_LINE:
      if (w.choose) {
        page_ = CONTROLS;
        line_ = 0;
        column_ = 0;
        seat_ = 1;
        message_.clear();
      }
      break;
    case FULLSCREEN:
      if ((w.choose + w.left + w.right) % 2) settings_.setFullscreen(!settings_.fullscreen());
      break;
    case LEAVE:
      if (w.left || w.right) {
        const size_t n = seats_->seatsThatMayLeave().size();
        leaveAt_ = (leaveAt_ + (w.right ? 1 : n - 1)) % n;
      }
      if (w.choose) {
        seats_->leave(leavingSeat());
        leaveAt_ = 0;
        close();
      }
      break;
    case QUIT:
      if (w.choose) {
        quit_ = true;
        close();
      }
      break;
    default: break;
  }
}

void PauseMenu::updateControls(const Wish& w) {
  if (w.resume) {
    close();
    return;
  }
  if (w.back) {
    page_ = MAIN;
    line_ = CONTROLS_LINE;
    message_.clear();
    return;
  }
  for (int by = w.down - w.up; by != 0; by += by > 0 ? -1 : 1) line_ = nextLine(line_, by > 0 ? 1 : -1);
  if (line_ < GAME_KEY_COUNT) {
    column_ = stepLine(column_, w.right - w.left, SLOT_COUNT);
  } else if (line_ == kSeatLine) {
    seat_ = stepLine(seat_ - 1, w.right - w.left + (w.choose ? 1 : 0), HGE_SEATS) + 1;
  }
  if (w.up || w.down || w.left || w.right) message_.clear();
  if (line_ < GAME_KEY_COUNT) {
    if (w.choose) {
      waiting_ = true;
      message_.clear();
    } else if (w.clear) {
      KeyBindings b = settings_.settings().keysOf(seat_);
      const auto slot = static_cast<BindingSlot>(column_);
      // Seat 1 always plays at the keyboard; the others may play on a pad alone.
      if (seat_ == 1 && slot == SLOT_KEY1 && b.keys[static_cast<size_t>(line_)].slots[SLOT_KEY2] == 0) {
        message_ = "Each key needs a keyboard key: choose another instead";
      } else {
        b.clear(static_cast<size_t>(line_), slot);
        settings_.setBindings(b, seat_);
      }
    }
  } else if (w.choose && line_ == kResetLine) {
    settings_.setBindings(KeyBindings::defaultsFor(seat_), seat_);
    message_ = "The keys are as they were at first";
  } else if (w.choose && line_ == kBackLine) {
    page_ = MAIN;
    line_ = CONTROLS_LINE;
    message_.clear();
  }
}

void PauseMenu::takeKey() {
  const auto slot = static_cast<BindingSlot>(column_);
  for (int key = 1; key < HGEK_COUNT; ++key) {
    if (!engine_->Input_RawKeyDown(key)) continue;
    if (key == HGEK_ESCAPE || key == HGEK_PAD_START) {  // changed their mind
      waiting_ = false;
      message_.clear();
      return;
    }
    if (!isReservedKey(key)) {
      const std::string other = otherSeatHolding(key, slot);
      if (!other.empty()) {
        message_ = keyLabel(key) + " is " + other + ": choose another";
        continue;
      }
    }
    KeyBindings b = settings_.settings().keysOf(seat_);
    if (b.bind(static_cast<size_t>(line_), slot, key)) {
      settings_.setBindings(b, seat_);
      waiting_ = false;
      message_.clear();
      return;
    }
    if (isReservedKey(key))
      message_ = keyLabel(key) + " is kept for the game: choose another";
    else if (slot == SLOT_PAD)
      message_ = "Press a button on the pad (Esc: keep it as it is)";
    else
      message_ = "Press a key on the keyboard (Esc: keep it as it is)";
  }
}
