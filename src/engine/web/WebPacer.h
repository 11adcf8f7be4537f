// The browser's frame pacing: the page calls back once per picture it shows
// (about 60 times a second, or whatever the screen refreshes at), and the game
// runs at 100 steps a second. Each callback runs the steps that have come due
// since the last one, drawing only the last of them, so the game keeps its time
// against any refresh rate. After a long stall (a hidden tab, a slow machine)
// the missed time is dropped rather than run in a burst. Times are the page's
// clock in milliseconds; the pacer reads no clock itself.
#pragma once

#include <string>

class WebPacer {
 public:
  // At most this many steps run in one callback; more due is a stall.
  static constexpr int kMaxStepsPerCallback = 5;

  explicit WebPacer(int fps);

  // The steps to run in a callback at `nowMs` (0 when the next is not yet
  // due). Before start() it is 1: the first step runs at once.
  int stepsDue(double nowMs);
  // The first step has run (it starts the renderer and takes long): the next
  // is due one period after `nowMs`.
  void start(double nowMs);
  bool started() const { return started_; }

  // What the pacing was like, for --stats: steps run, how late they ran
  // after their due time, stalls.
  int steps() const { return steps_; }
  int callbacks() const { return callbacks_; }
  // Steps that ran more than two periods after they were due (a refresh of
  // the page was missed).
  int lateSteps() const { return lateSteps_; }
  double worstLateMs() const { return worstLateMs_; }
  int stalls() const { return stalls_; }
  // ", browser pacing: N callbacks, N steps, N later than X ms, latest X ms, N stalls"
  std::string summary() const;

 private:
  double periodMs_;
  bool started_ = false;
  double nextDueMs_ = 0;  // when the next step is due
  int steps_ = 0;
  int callbacks_ = 0;
  int lateSteps_ = 0;
  double worstLateMs_ = 0;
  int stalls_ = 0;
};
