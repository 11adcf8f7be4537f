#include "engine/EngineLog.h"

#include <cstdlib>
#include <filesystem>

#include "base/TextCodec.h"

bool isValidUtf8(const std::string& text) {
  size_t i = 0, n = text.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    int extra;
    uint32_t min;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      min = 0x10000;
    } else {
      return false;
    }
    if (i + static_cast<size_t>(extra) >= n) return false;
    uint32_t cp = c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      unsigned char d = static_cast<unsigned char>(text[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

EngineLog::~EngineLog() { close(); }

void EngineLog::setFileName(const std::string& name) {
  if (file_) return;
  fileName_ = name;
  triedOpen_ = false;
}

void EngineLog::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

bool EngineLog::openFile() {
  triedOpen_ = true;
  if (fileName_.empty()) return false;
  file_ = std::fopen(fileName_.c_str(), "w");
  if (file_) {
    path_ = fileName_;
    return true;
  }
  namespace fs = std::filesystem;
  fs::path dir;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
    dir = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home)
    dir = fs::path(home) / ".local" / "share";
  else
    return false;
  dir /= "tervalen";
  std::error_code ec;
  fs::create_directories(dir, ec);
  fs::path full = dir / fs::path(fileName_).filename();
  file_ = std::fopen(full.c_str(), "w");
  if (!file_) {
    std::fprintf(stderr, "tervalen: cannot write the log to %s or %s\n", fileName_.c_str(), full.c_str());
    return false;
  }
  path_ = full.string();
  return true;
}

void EngineLog::write(const std::string& text) {
  std::string line = isValidUtf8(text) ? text : gbkToUtf8(text);
  // One message is one line.
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  if (mirror_) std::fprintf(stderr, "%s\n", line.c_str());
  if (!file_ && !triedOpen_) openFile();
  if (!file_) return;
  std::fprintf(file_, "%s\n", line.c_str());
  std::fflush(file_);
}
