// The engine log: one UTF-8 line per message, written at once. The file is
// opened on the first line of a run, under its name (relative to the working
// directory, the game folder) or, when that cannot be written, in the user's
// state folder ($XDG_STATE_HOME/tervalen, by default ~/.local/state/tervalen).
//
// The log never writes through a link and never empties a file it did not make:
// a log file is opened without following a symbolic link and without
// truncating, and kept only when it is a regular file of ours with no other
// name; only then is the last run's log emptied. Anything else (a link, a
// hard-linked file, someone else's file, a pipe) sends the log to the state
// folder, with the same checks there.
#pragma once

#include <string>

class EngineLog {
 public:
  EngineLog() = default;
  ~EngineLog();
  // Owns the open file: not copied.
  EngineLog(const EngineLog&) = delete;
  EngineLog& operator=(const EngineLog&) = delete;

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
  void writeAll(const std::string& bytes);

  std::string fileName_;
  std::string path_;
  int fd_ = -1;
  bool triedOpen_ = false;
  bool mirror_ = false;
};

// True when `text` is well-formed UTF-8.
bool isValidUtf8(const std::string& text);
