// Running the built game program on a private copy of the default game folder,
// as a player or a script would: exit status, output, errors and the log.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine_support.h"

namespace gameprogram {

struct Run {
  int exitCode = -1;
  std::string out, err, log;
  // The "result=..." line of the output ("" when there is none).
  std::string result() const {
    const size_t at = out.find("result=");
    return at == std::string::npos ? "" : out.substr(at, out.find('\n', at) - at);
  }
};

inline bool haveGame() {
  return std::filesystem::exists(TERVALEN_BINARY_DIR "/tervalen") &&
         std::filesystem::exists(TERVALEN_BINARY_DIR "/game/data");
}

// A scratch folder holding a copy of the default game in "game/"; the
// program runs in the scratch folder, so relative file options land there.
class GameCopy {
 public:
  GameCopy() {
    std::filesystem::copy(TERVALEN_BINARY_DIR "/game", dir_.path() / "game",
                          std::filesystem::copy_options::recursive);
    std::filesystem::remove(dir_.path() / "game" / "log.txt");
  }
  std::string file(const std::string& name) const { return dir_.file(name); }
  std::string read(const std::string& name) const { return readFile(dir_.file(name)); }
  // A trace file's step lines: all but its first line, the header that says
  // how the run was made (and so differs between a recording and its replay).
  std::string steps(const std::string& name) const {
    const std::string text = read(name);
    const size_t end = text.find('\n');
    return end == std::string::npos ? "" : text.substr(end + 1);
  }

  // Runs `tervalen --root game --headless ARGS`; `stdoutTo` replaces the file the output goes to.
  Run run(const std::string& args, const std::string& stdoutTo = "") const {
    const std::string out = stdoutTo.empty() ? dir_.file("stdout.txt") : stdoutTo;
    const std::string cmd = "cd '" + dir_.path().string() + "' && " TERVALEN_BINARY_DIR "/tervalen --root game --headless " +
                            args + " >'" + out + "' 2>'" + dir_.file("stderr.txt") + "'";
    const int status = std::system(cmd.c_str());
    Run run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = stdoutTo.empty() ? readFile(out) : "";
    run.err = readFile(dir_.file("stderr.txt"));
    run.log = readFile(dir_.file("game/log.txt"));
    return run;
  }

 private:
  ScratchDir dir_;
};

// The lines of a text.
inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

}  // namespace gameprogram
