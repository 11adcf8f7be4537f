#include "app/PauseMenu.h"

#include <algorithm>

#include "app/PlayerSettings.h"

namespace {

constexpr const char* kFontFile = "font1.fnt";
// A direction held down repeats after this many frames, then every kRepeatEvery.
constexpr int kRepeatAfter = 35, kRepeatEvery = 7;

const std::initializer_list<int> kPauseKeys = {HGEK_ESCAPE, HGEK_P, HGEK_PAD_START};

// The next volume step of ten up or down (a volume between steps goes to the next one).
// A line `by` rows on (negative: back), round the `lines`.
int stepLine(int line, int by, int lines) { return ((line + by) % lines + lines) % lines; }

int stepVolume(int volume, bool up) {
  if (up) return std::min(100, volume / 10 * 10 + 10);
  return std::max(0, (volume - 1) / 10 * 10);
}

}  // namespace

PauseMenu::PauseMenu(HGE* engine, PlayClock& clock, PlayerSettings& settings)
    : engine_(engine), clock_(clock), settings_(settings) {}

PauseMenu::~PauseMenu() = default;

void PauseMenu::loadFont() { font_ = std::make_unique<BitmapFont>(engine_, kFontFile, false); }

bool PauseMenu::anyDown(std::initializer_list<int> keys) const {
  return std::any_of(keys.begin(), keys.end(), [this](int k) { return engine_->Input_RawKeyDown(k); });
}

int PauseMenu::presses(std::initializer_list<int> keys) const {
  int n = 0;
  for (int k : keys) n += engine_->Input_RawKeyPresses(k);
  return n;
}

int PauseMenu::pressedOrRepeated(int& heldFrames, std::initializer_list<int> keys) {
  if (const int n = presses(keys)) {
    heldFrames = 0;
    return n;
  }
  if (!std::any_of(keys.begin(), keys.end(), [this](int k) { return engine_->Input_RawKeyState(k); })) {
    heldFrames = 0;
    return 0;
  }
  ++heldFrames;
  return heldFrames >= kRepeatAfter && (heldFrames - kRepeatAfter) % kRepeatEvery == 0 ? 1 : 0;
}

PauseMenu::Wish PauseMenu::readKeys() {
  Wish w;
  w.up = pressedOrRepeated(upHeld_, {HGEK_UP, HGEK_W, HGEK_PAD_UP, HGEK_STICK_UP});
  w.down = pressedOrRepeated(downHeld_, {HGEK_DOWN, HGEK_S, HGEK_PAD_DOWN, HGEK_STICK_DOWN});
  w.left = pressedOrRepeated(leftHeld_, {HGEK_LEFT, HGEK_A, HGEK_PAD_LEFT, HGEK_STICK_LEFT});
  w.right = pressedOrRepeated(rightHeld_, {HGEK_RIGHT, HGEK_D, HGEK_PAD_RIGHT, HGEK_STICK_RIGHT});
  w.choose = anyDown({HGEK_ENTER, HGEK_SPACE, HGEK_PAD_A});
  w.back = anyDown({HGEK_ESCAPE, HGEK_BACKSPACE, HGEK_PAD_B});
  w.resume = anyDown({HGEK_P, HGEK_PAD_START});
  w.clear = anyDown({HGEK_DELETE, HGEK_PAD_X});
  return w;
}

void PauseMenu::open() {
  open_ = true;
  closingKeys_.clear();
  clock_.playerPaused = true;
  page_ = MAIN;
  line_ = RESUME;
  column_ = 0;
  waiting_ = false;
  message_.clear();
  frames_ = 0;
  upHeld_ = downHeld_ = leftHeld_ = rightHeld_ = 0;
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

void PauseMenu::update(bool playing) {
  const int events = engine_->Input_GetEvents();
  const bool lostSomething = (events & (HGEINPUT_FOCUSLOST | HGEINPUT_PADREMOVED)) != 0;
  if (!playing && !fromTitle_) {
    if (open_) close();
    closingKeys_.clear();
    clock_.playerPaused = false;
    return;
  }
  if (!open_) {
    if (lostSomething || anyDown(kPauseKeys)) {
      open();
      return;
    }
    if (clock_.playerPaused) {
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
  line_ = stepLine(line_, w.down - w.up, MAIN_LINES);
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
        message_.clear();
      }
      break;
    case FULLSCREEN:
      if ((w.choose + w.left + w.right) % 2) settings_.setFullscreen(!settings_.fullscreen());
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
  line_ = stepLine(line_, w.down - w.up, kControlsLines);
  if (line_ < GAME_KEY_COUNT) column_ = stepLine(column_, w.right - w.left, SLOT_COUNT);
  if (w.up || w.down || w.left || w.right) message_.clear();
  if (line_ < GAME_KEY_COUNT) {
    if (w.choose) {
      waiting_ = true;
      message_.clear();
    } else if (w.clear) {
      KeyBindings b = settings_.settings().bindings;
      const auto slot = static_cast<BindingSlot>(column_);
      if (slot == SLOT_KEY1 && b.keys[static_cast<size_t>(line_)].slots[SLOT_KEY2] == 0) {
        message_ = "Each key needs a keyboard key: choose another instead";
      } else {
        b.clear(static_cast<size_t>(line_), slot);
        settings_.setBindings(b);
      }
    }
  } else if (w.choose && line_ == kResetLine) {
    settings_.setBindings(KeyBindings::defaults());
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
    KeyBindings b = settings_.settings().bindings;
    if (b.bind(static_cast<size_t>(line_), slot, key)) {
      settings_.setBindings(b);
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
