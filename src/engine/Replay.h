// Replay files: every key that goes down or up, one line each,
// "FRAME down|up KEY", where FRAME counts frame callbacks from 1 and KEY is
// A..Z or ESC. Blank lines and lines starting with '#' are ignored.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct ReplayEvent {
  int frame = 0;  // 1 = before the first frame callback
  bool down = false;
  int key = 0;    // virtual-key code
};

// The key's name in a replay file ("A".."Z", "ESC"), or nullptr when replays cannot hold it.
const char* replayKeyName(int key);
// The key code of a name, or 0.
int replayKeyCode(const std::string& name);

// Parses replay text. On a malformed line returns false with an error naming
// `sourceName`, the line number and what is wrong.
bool parseReplay(const std::string& text, const std::string& sourceName, std::vector<ReplayEvent>& out,
                 std::string& error);
// Reads and parses a replay file.
bool loadReplay(const std::string& path, std::vector<ReplayEvent>& out, std::string& error);

// The line for one event, without the line end.
std::string formatReplayEvent(const ReplayEvent& event);

// Hands out a replay's events frame by frame.
class ReplayPlayer {
 public:
  explicit ReplayPlayer(std::vector<ReplayEvent> events) : events_(std::move(events)) {}
  // Calls `apply` for each event of `frame` (and any earlier one not yet given).
  template <class F>
  void play(int frame, F&& apply) {
    while (next_ < events_.size() && events_[next_].frame <= frame) apply(events_[next_++]);
  }
  bool finished() const { return next_ >= events_.size(); }

 private:
  std::vector<ReplayEvent> events_;
  size_t next_ = 0;
};

// Writes key changes to a replay file as they happen.
class ReplayRecorder {
 public:
  explicit ReplayRecorder(const std::string& path);
  ~ReplayRecorder();
  ReplayRecorder(const ReplayRecorder&) = delete;
  ReplayRecorder& operator=(const ReplayRecorder&) = delete;

  bool ok() const { return file_ != nullptr; }
  // Records the event; keys a replay cannot name are skipped.
  void write(const ReplayEvent& event);

 private:
  FILE* file_ = nullptr;
};
