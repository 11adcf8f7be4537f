#include "engine/Replay.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "engine/hge.h"

namespace {

const char* const kLetters[26] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                                  "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};

// Splits a line at runs of spaces and tabs.
std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

}  // namespace

const char* replayKeyName(int key) {
  if (key >= HGEK_A && key <= HGEK_Z) return kLetters[key - HGEK_A];
  if (key == HGEK_ESCAPE) return "ESC";
  return nullptr;
}

int replayKeyCode(const std::string& name) {
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') return HGEK_A + (name[0] - 'A');
  if (name == "ESC") return HGEK_ESCAPE;
  return 0;
}

bool parseReplay(const std::string& text, const std::string& sourceName, std::vector<ReplayEvent>& out,
                 std::string& error) {
  out.clear();
  int lineNumber = 0;
  int lastFrame = 1;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto bad = [&](const std::string& what) {
      error = sourceName + ":" + std::to_string(lineNumber) + ": " + what + " (expected \"FRAME down|up KEY\")";
      return false;
    };
    std::vector<std::string> f = fields(line);
    if (f.empty() || f[0][0] == '#') continue;
    if (f.size() != 3) return bad("expected 3 fields, found " + std::to_string(f.size()));
    errno = 0;
    char* endp = nullptr;
    long frame = std::strtol(f[0].c_str(), &endp, 10);
    if (*endp != '\0' || errno == ERANGE || f[0][0] == '+' || f[0][0] == '-' || frame < 1 || frame > 0x7FFFFFFF)
      return bad("frame \"" + f[0] + "\" is not a whole number from 1 up");
    if (frame < lastFrame)
      return bad("frame " + f[0] + " comes after frame " + std::to_string(lastFrame) + "; frames must not go back");
    ReplayEvent event;
    event.frame = static_cast<int>(frame);
    if (f[1] == "down")
      event.down = true;
    else if (f[1] == "up")
      event.down = false;
    else
      return bad("\"" + f[1] + "\" is neither down nor up");
    event.key = replayKeyCode(f[2]);
    if (event.key == 0) return bad("unknown key \"" + f[2] + "\" (A..Z or ESC)");
    lastFrame = event.frame;
    out.push_back(event);
  }
  return true;
}

bool loadReplay(const std::string& path, std::vector<ReplayEvent>& out, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot open the replay: " + std::strerror(errno);
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return parseReplay(text.str(), path, out, error);
}

std::string formatReplayEvent(const ReplayEvent& event) {
  const char* name = replayKeyName(event.key);
  return std::to_string(event.frame) + (event.down ? " down " : " up ") + (name ? name : "?");
}

ReplayRecorder::ReplayRecorder(const std::string& path) : file_(std::fopen(path.c_str(), "w")) {}

ReplayRecorder::~ReplayRecorder() {
  if (file_) std::fclose(file_);
}

void ReplayRecorder::write(const ReplayEvent& event) {
  if (!file_ || !replayKeyName(event.key)) return;
  std::fprintf(file_, "%s\n", formatReplayEvent(event).c_str());
  std::fflush(file_);
}
