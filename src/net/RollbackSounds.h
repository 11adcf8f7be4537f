// The sounds of frames that a rollback steps again. A sound starts once, for
// the frame that asked for it; stepped again with the same outcome, the frame
// starts nothing more. A frame stepped again that now asks for a sound it did
// not ask for before starts it then (late, but it belongs to what happened),
// and a sound started for a frame that, stepped again, no longer asks for it
// (a blow that did not land after all) is stopped at once.
//
// Channels are the engine's handles, opaque here; 0 is a sound that did not
// play. The same sound asked twice in one frame counts once.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "world/World.h"

class RollbackSounds {
 public:
  // Frames further back than this are forgotten (a rollback goes back 32 at most).
  static constexpr int kFramesKept = 64;

  // Frame `frame` was stepped, asking for `asked`: the sounds to start now
  // (hand each to started()), and in `stop` the channels to stop.
  std::vector<SoundRequest> stepped(int frame, const std::vector<SoundRequest> &asked, std::vector<uint32_t> &stop);
  void started(int frame, const SoundRequest &sound, uint32_t channel);

 private:
  struct Playing {
    SoundRequest sound;
    uint32_t channel = 0;
  };
  struct Frame {
    int frame = -1;
    std::vector<Playing> playing;
  };
  Frame &slot(int frame) { return frames_[static_cast<size_t>(frame % kFramesKept)]; }
  std::array<Frame, kFramesKept> frames_;
};
