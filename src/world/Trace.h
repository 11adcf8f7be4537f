// The frame trace: one JSON object per line after every frame callback that ran
// the world, for tests and for people who debug content (`tervalen --trace FILE`).
// The game's traces begin with a header line saying how the run was made
// (the manual page, under --trace, says what the header holds).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/CheckedFile.h"

class World;

// How a run was made, for the first line of its trace.
struct TraceHeader {
  int seed = 0;
  std::string startScene;  // the scene id the game starts in (GBK)
  bool invincible = false;
  bool autoplay = false;
  std::string replay;      // the replay file played, or ""
  std::string rulesFile;   // the rules file read, or "" when the game's own rules hold
  std::vector<std::string> arguments;  // the command line after the program's name
};

class TraceWriter {
 public:
  // Called once, with a line naming the file and the reason, when the trace
  // cannot be written (at the first line that does not fit, or at the close).
  using FailureReport = std::function<void(const std::string& message)>;

  // Opens `path` for writing; ok() is false (and the reason in error()) when it cannot.
  explicit TraceWriter(const std::string& path, FailureReport report = nullptr);
  TraceWriter(const TraceWriter&) = delete;
  TraceWriter& operator=(const TraceWriter&) = delete;

  // Open, and every line so far written.
  bool ok() const { return file_.isOpen() && !file_.failed(); }
  // "PATH: REASON" for the first failure.
  const std::string& error() const { return file_.error(); }
  // Writes the header line; call it before the first frame's line.
  void writeHeader(const TraceHeader& header);
  // Writes the line for frame `frame` (frame callbacks counted from 1) in screen
  // state `state`. After a failure nothing more is written.
  void write(const World& world, int frame, int state);
  // Closes the file; false when it or any line could not be written.
  bool close();

 private:
  void check(bool written);

  CheckedFile file_;
  FailureReport report_;
  bool reported_ = false;
};

// "result=victory|defeat|quit|running score=N kills=N frames=N"
std::string resultLine(const World* world, bool loopEnded, int frames);
