// The settings of this run: read from the settings file at start, handed to
// the engine (the window, the volumes, the keys), changed by the pause menu
// and by the player's own handling of the window (resizing it, F11), and
// written back once they have stopped changing for a moment (and at exit).
// The command line's --fullscreen, --windowed and --mute count for one run
// and are never written.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/Settings.h"
#include "engine/hge.h"

class PlayerSettings {
 public:
  struct RunOptions {
    std::optional<bool> fullscreen;  // --fullscreen / --windowed
    bool mute = false;               // --mute: no sound at all this run
  };

  // Reads `file` ("" keeps nothing). Logs through the engine.
  PlayerSettings(HGE* engine, std::filesystem::path file, RunOptions run);

  // Gives the engine the window (before System_Initiate), the volumes and the keys.
  void applyToEngine();

  const Settings& settings() const { return settings_; }
  bool muted() const { return run_.mute; }
  bool fullscreen() const;

  void setMusicVolume(int volume);
  void setEffectsVolume(int volume);
  void setFullscreen(bool on);
  // The keys of seat `seat` (1-4).
  void setBindings(const KeyBindings& bindings, int seat = 1);
  // Who hands the keys to the engine: without one, seat 1's keys are given
  // as they are (a game for one); the seats' controls give every seat's.
  void setKeysListener(std::function<void()> listener) { keysChanged_ = std::move(listener); }
  void setDifficulty(Difficulty difficulty);

  // Once a frame: takes in what the player did to the window, and writes the
  // settings once nothing has changed for kSettleFrames frames.
  void everyFrame();
  // Writes what has not been written yet (at exit, when the menu closes).
  void saveNow();

  // Frames without a change before the settings are written.
  static constexpr int kSettleFrames = 50;

 private:
  void changed() { settleFrames_ = kSettleFrames; }
  void giveKeysToEngine();

  HGE* engine_;
  std::filesystem::path file_;
  RunOptions run_;
  Settings settings_;
  std::function<void()> keysChanged_;
  int settleFrames_ = -1;  // frames until a write; -1: nothing to write
  bool windowSeen_ = false;  // the window's size as opened is known (it may have been fitted to the desktop)
  int seenWidth_ = 0, seenHeight_ = 0;
  bool seenFullscreen_ = false;
  bool saveFailed_ = false;  // said once, until a write succeeds again
};
