// The character viewer (tervalen --view ID): one character on a plain floor,
// playing one action at a time at the game's speed, or stepped a frame (1/100
// s) or a picture at a time, with its boxes, its picture number and the
// instruction at its pc, and every action of the file listed by number and
// name. The character moves as its script says but is kept in the middle of
// the floor; when the action ends or leaves for another one, it starts again.
//
// Keys: W/S or Up/Down the action, P or Space (F2) pause, N (F3) one frame,
// D or Right on to the next picture, L (F4) slow motion, M mirror, R restart,
// B (F1) boxes, F5 reload the files, Esc quit. The letters can come from a
// replay file, so a headless run can be driven and photographed.
#pragma once

#include <memory>
#include <string>

#include "app/FileWatch.h"
#include "app/Options.h"
#include "app/PlayClock.h"
#include "engine/hge.h"
#include "render/DebugOverlay.h"
#include "render/WorldRenderer.h"
#include "world/World.h"

class CharacterViewer {
 public:
  // The floor's place: the character's feet stand at (kStageX, 0, kStageZ).
  static constexpr int32_t kStageX = 400, kStageZ = 400;
  // D runs at most this many frames looking for the next picture (a held picture never changes).
  static constexpr int kMaxFramesToNextPicture = 1000;

  // `id` is the character id as typed (UTF-8); `watch`: reload when a file changes.
  // `files`: the game folder with its mods (nullptr: the game folder alone).
  CharacterViewer(HGE* engine, const std::string& id, bool watch, const DataLayers* files = nullptr);
  ~CharacterViewer();
  CharacterViewer(const CharacterViewer&) = delete;
  CharacterViewer& operator=(const CharacterViewer&) = delete;

  // Reads the files and puts the character on the floor. False with the
  // reason when it cannot be shown; a viewer that already shows it keeps
  // showing the old one.
  bool load(std::string& error);

  // The frame callback: the keys, then a frame of the character unless paused. True: quit.
  bool frame();
  // The render callback.
  bool render();

  // The controls the keys work.
  void selectAction(int direction);  // the next (1) or previous (-1) action that has instructions
  void select(int32_t action);       // this action, when it has instructions
  void togglePause() { clock_.modderPaused = !clock_.modderPaused; }
  void stepFrame();                  // pauses, and runs one frame
  void stepPicture();                // pauses, and runs until the next frame instruction
  void toggleSlow() { clock_.slowEvery = clock_.slowEvery == 4 ? 1 : 4; }
  void toggleMirror();
  void restart();                    // the selected action from its start

  const Chara* character() const { return chara_; }
  const World* world() const { return world_.get(); }
  int32_t selected() const { return selected_; }
  bool paused() const { return clock_.modderPaused; }
  int framesRun() const { return framesRun_; }
  const std::string& message() const { return message_; }

 private:
  void runFrame();
  void readKeys();
  void show(const std::string& message, bool error);
  void drawFloor();
  void drawPanel();
  void drawActionList();

  HGE* engine_;
  std::string idText_;  // as typed
  std::string id_;      // GBK
  bool watch_;
  const DataLayers* layers_ = nullptr;
  FileWatch files_;
  std::unique_ptr<World> world_;
  std::unique_ptr<WorldRenderer> renderer_;
  std::unique_ptr<DebugOverlay> overlay_;
  Chara* chara_ = nullptr;
  int32_t selected_ = 0;
  bool mirrored_ = false;
  bool boxes_ = true;
  PlayClock clock_;
  int frames_ = 0;      // frames of the loop
  int framesRun_ = 0;   // frames the character ran
  int actionFrames_ = 0;  // frames since the selected action (re)started
  std::string message_;
  bool messageIsError_ = false;
  int messageFrames_ = 0;
};

// tervalen --view ID: runs the viewer in the game folder (the current folder)
// with the options' window, frames, replay and screenshots; the exit code.
int runViewer(const Options& options, const std::string& logFile, const DataLayers* files = nullptr);
