// Whether the game runs in a frame of the loop (a step) or stands still. The
// player's pause (the pause menu, a lost window focus, an unplugged pad) and
// the modder's controls (pause, one step at a time, slow motion) each hold it
// in their own way; a frame is a step when nothing holds it. The engine asks
// once per frame, before the frame's keys reach the game (HGE_CLOCKFUNC):
// replays and recordings count steps, so a pause changes nothing in them.
#pragma once

class PlayClock {
 public:
  // The player's pause: nothing runs while it is on.
  bool playerPaused = false;
  // The modder's pause: nothing runs while it is on but the steps asked for.
  bool modderPaused = false;
  // Runs one step per `slowEvery` frames (1: every frame; 4: quarter speed).
  int slowEvery = 1;

  // While the modder's pause is on, lets exactly one more step run.
  void stepOnce() { ++stepsAsked_; }

  // Called once per frame: true when the game runs in it.
  bool runsThisFrame() {
    if (playerPaused) return false;
    if (modderPaused) {
      if (stepsAsked_ == 0) return false;
      --stepsAsked_;
      return true;
    }
    if (slowEvery > 1) {
      slowPhase_ = (slowPhase_ + 1) % slowEvery;
      return slowPhase_ == 0;
    }
    return true;
  }

 private:
  int stepsAsked_ = 0;
  int slowPhase_ = 0;
};
