// The engine log: one UTF-8 line per message, flushed at once. The file is
// opened (and emptied) on the first line of a run, in the working directory
// (the game folder) or, when that is not writable, in
// $XDG_DATA_HOME/tervalen (by default ~/.local/share/tervalen).
#pragma once

#include <cstdio>
#include <string>

class EngineLog {
 public:
  ~EngineLog();

  // The file name; takes effect for the next line when the log is not open yet.
  void setFileName(const std::string& name);
  // Copies every line to stderr as well.
  void setMirrorToStderr(bool on) { mirror_ = on; }
  // Writes one line. Text that is not valid UTF-8 is taken as GBK and converted.
  void write(const std::string& line);
  // Where the log went ("" before the first line or when nothing could be opened).
  const std::string& path() const { return path_; }
  void close();

 private:
  bool openFile();

  std::string fileName_;
  std::string path_;
  FILE* file_ = nullptr;
  bool triedOpen_ = false;
  bool mirror_ = false;
};

// True when `text` is well-formed UTF-8.
bool isValidUtf8(const std::string& text);
