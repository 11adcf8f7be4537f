// The modder's keys in the game: F1 the overlay, F2 pause, F3 one step, F4
// slow motion (a quarter of the speed), F5 reload, F6 one step back (held:
// rewinding, through the last ten seconds); and --watch, which reloads
// when a file under data/ or the pack changes. They are read once per frame
// in the engine's clock callback, before the frame's keys reach the game: the
// game never sees them, and a recording never holds them (they are no game
// keys). None of them changes what the world does in a step; pausing and
// stepping go through the flow's clock, so replays count only the steps.
#pragma once

#include <memory>
#include <string>

#include "app/FileWatch.h"
#include "app/Rewind.h"
#include "app/ScreenFlow.h"
#include "app/WorldReload.h"
#include "engine/hge.h"
#include "render/DebugOverlay.h"

class ModderKeys {
 public:
  // --watch looks at the files once in this many frames (about once a second).
  static constexpr int kWatchEvery = 100;
  // A message stays on the screen this many frames (an error a while longer).
  static constexpr int kMessageFrames = 250, kErrorFrames = 500;

  ModderKeys(HGE* engine, ScreenFlow& flow, WorldReload reload, bool watch, bool overlayShown);
  // --watch looks at these mod folders too.
  void watchModFolders(std::vector<std::string> folders) { files_.addModFolders(std::move(folders)); }
  // F6 takes steps back through `rewind` (which watches the flow's steps).
  void setRewind(Rewind* rewind) { rewind_ = rewind; }
  // Held this many frames, F6 rewinds a step every frame.
  static constexpr int kRewindHoldFrames = 30;
  ModderKeys(const ModderKeys&) = delete;
  ModderKeys& operator=(const ModderKeys&) = delete;

  // Once per frame, before the flow's clock answers (HGE_CLOCKFUNC).
  void beforeClock();
  // Over the picture, last (ScreenFlow::setModderLayer).
  void draw();

  // The reload F5 does; said on the screen and in the log.
  void reload(const std::string& why);

  bool overlayShown() const { return overlayShown_; }
  const std::string& message() const { return message_; }
  bool messageIsError() const { return messageIsError_; }

 private:
  void show(const std::string& message, bool error);
  void stepBack();
  DebugOverlay& overlay();

  HGE* engine_;
  ScreenFlow& flow_;
  WorldReload reload_;
  bool watch_;
  bool overlayShown_;
  FileWatch files_;
  bool looked_ = false;
  int frames_ = 0;
  std::unique_ptr<DebugOverlay> overlay_;  // made at the first picture (the font needs the engine running)
  std::string message_;
  bool messageIsError_ = false;
  int messageFrames_ = 0;
  Rewind* rewind_ = nullptr;
  int rewindHeld_ = 0;
};
