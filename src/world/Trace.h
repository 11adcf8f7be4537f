// The frame trace: one JSON object per line after every frame callback that ran
// the world, for tests and for people who debug content (`tervalen --trace FILE`).
#pragma once

#include <cstdio>
#include <string>

class World;

class TraceWriter {
 public:
  // Opens `path` for writing; ok() is false (and the reason in error()) when it cannot.
  explicit TraceWriter(const std::string& path);
  ~TraceWriter();
  TraceWriter(const TraceWriter&) = delete;
  TraceWriter& operator=(const TraceWriter&) = delete;

  bool ok() const { return file_ != nullptr; }
  const std::string& error() const { return error_; }
  // Writes the line for frame `frame` (frame callbacks counted from 1) in screen state `state`.
  void write(const World& world, int frame, int state);

 private:
  FILE* file_ = nullptr;
  std::string error_;
};

// "result=victory|defeat|quit|running score=N kills=N frames=N"
std::string resultLine(const World* world, bool loopEnded, int frames);
