#include "app/PlayerSettings.h"

#include <algorithm>
#include <cstdio>

#include "app/SettingsFile.h"

PlayerSettings::PlayerSettings(HGE* engine, std::filesystem::path file, RunOptions run)
    : engine_(engine), file_(std::move(file)), run_(run) {
  settings_ = loadSettings(file_, [engine](const std::string& line) { engine->System_Log("%s", line.c_str()); });
}

bool PlayerSettings::fullscreen() const { return !engine_->System_GetState(HGE_WINDOWED); }

void PlayerSettings::applyToEngine() {
  engine_->System_SetState(HGE_WINDOWWIDTH, settings_.windowWidth);
  engine_->System_SetState(HGE_WINDOWHEIGHT, settings_.windowHeight);
  engine_->System_SetState(HGE_WINDOWED, !run_.fullscreen.value_or(settings_.fullscreen));
  if (run_.mute) engine_->System_SetState(HGE_USESOUND, false);
  engine_->System_SetState(HGE_MUSICVOLUME, settings_.musicVolume);
  engine_->System_SetState(HGE_EFFECTSVOLUME, settings_.effectsVolume);
  giveKeysToEngine();
}

void PlayerSettings::giveKeysToEngine() {
  if (keysChanged_)
    keysChanged_();
  else
    engine_->Input_SetBindings(settings_.bindings.engineTable());
}

void PlayerSettings::setMusicVolume(int volume) {
  volume = std::clamp(volume, 0, 100);
  if (volume == settings_.musicVolume) return;
  settings_.musicVolume = volume;
  engine_->System_SetState(HGE_MUSICVOLUME, volume);
  changed();
}

void PlayerSettings::setDifficulty(Difficulty difficulty) {
  if (difficulty == settings_.difficulty) return;
  settings_.difficulty = difficulty;
  changed();
}

void PlayerSettings::setEffectsVolume(int volume) {
  volume = std::clamp(volume, 0, 100);
  if (volume == settings_.effectsVolume) return;
  settings_.effectsVolume = volume;
  engine_->System_SetState(HGE_EFFECTSVOLUME, volume);
  changed();
}

void PlayerSettings::setFullscreen(bool on) {
  engine_->System_SetState(HGE_WINDOWED, !on);
  seenFullscreen_ = fullscreen();
  if (settings_.fullscreen == seenFullscreen_) return;
  settings_.fullscreen = seenFullscreen_;
  changed();
}

void PlayerSettings::setBindings(const KeyBindings& bindings, int seat) {
  if (seat < 1 || seat > HGE_SEATS || bindings == settings_.keysOf(seat)) return;
  settings_.keysOf(seat) = bindings;
  giveKeysToEngine();
  changed();
}

void PlayerSettings::everyFrame() {
  const int w = engine_->System_GetState(HGE_WINDOWWIDTH), h = engine_->System_GetState(HGE_WINDOWHEIGHT);
  const bool full = fullscreen();
  if (!windowSeen_) {
    windowSeen_ = true;
  } else {
    // What the player did: resized the window, or pressed F11 or Alt+Enter.
    if ((w != seenWidth_ || h != seenHeight_) && w > 0 && h > 0) {
      settings_.windowWidth = std::clamp(w, kMinWindowWidth, kMaxWindowSide);
      settings_.windowHeight = std::clamp(h, kMinWindowHeight, kMaxWindowSide);
      changed();
    }
    if (full != seenFullscreen_) {
      settings_.fullscreen = full;
      changed();
    }
  }
  seenWidth_ = w;
  seenHeight_ = h;
  seenFullscreen_ = full;
  if (settleFrames_ > 0 && --settleFrames_ == 0) saveNow();
}

void PlayerSettings::saveNow() {
  if (settleFrames_ < 0) return;
  settleFrames_ = -1;
  std::string error;
  if (saveSettings(file_, settings_, error)) {
    if (saveFailed_) engine_->System_Log("Settings written to %s again", file_.c_str());
    saveFailed_ = false;
    return;
  }
  if (saveFailed_) return;
  saveFailed_ = true;
  engine_->System_Log("Settings not kept: %s; the game goes on with them", error.c_str());
  std::fprintf(stderr, "tervalen: settings not kept: %s\n", error.c_str());
}
