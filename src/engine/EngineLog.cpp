#include "engine/EngineLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/TextCodec.h"
#include "engine/UserFolders.h"

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
  if (fd_ >= 0) return;
  fileName_ = name;
  triedOpen_ = false;
}

void EngineLog::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

namespace {

// Opens `path` for the log as described in EngineLog.h: -1 with the reason in
// `why` when it is not a file the log may write.
int openLogFile(const std::string& path, std::string& why) {
  // O_NONBLOCK: a pipe with no reader fails at once instead of hanging the game.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) {
    why = errno == ELOOP ? "it is a symbolic link" : std::strerror(errno);
    return -1;
  }
  struct stat st;
  if (fstat(fd, &st) != 0) {
    why = std::strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    why = "it is not a regular file";
  } else if (st.st_uid != geteuid()) {
    why = "it belongs to another user";
  } else if (st.st_nlink != 1) {
    why = "it has other names (hard links)";
  } else if (fcntl(fd, F_SETFL, 0) != 0 || ftruncate(fd, 0) != 0) {
    why = std::strerror(errno);
  } else {
    return fd;
  }
  ::close(fd);
  return -1;
}

}  // namespace

bool EngineLog::openFile() {
  triedOpen_ = true;
  if (fileName_.empty()) return false;
  std::string why;
  fd_ = openLogFile(fileName_, why);
  if (fd_ >= 0) {
    path_ = fileName_;
    return true;
  }
  std::filesystem::path dir = userStateFolder();
  if (dir.empty()) {
    std::fprintf(stderr, "tervalen: cannot write the log to %s (%s), and there is no home folder for it\n",
                 fileName_.c_str(), why.c_str());
    return false;
  }
  std::filesystem::path full = dir / std::filesystem::path(fileName_).filename();
  std::string fallbackWhy;
  if (makeUserFolder(dir, fallbackWhy)) fd_ = openLogFile(full.string(), fallbackWhy);
  if (fd_ < 0) {
    std::fprintf(stderr, "tervalen: cannot write the log to %s (%s) or %s (%s)\n", fileName_.c_str(), why.c_str(),
                 full.c_str(), fallbackWhy.c_str());
    return false;
  }
  path_ = full.string();
  return true;
}

void EngineLog::writeAll(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // A full disk or a file size limit: say so once and stop logging.
      std::fprintf(stderr, "tervalen: writing the log %s failed (%s); the rest of this run is not logged\n",
                   path_.c_str(), n < 0 ? std::strerror(errno) : "nothing written");
      close();
      return;
    }
    done += static_cast<size_t>(n);
  }
}

void EngineLog::write(const std::string& text) {
  std::string line = isValidUtf8(text) ? text : gbkToUtf8(text);
  // One message is one line.
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  if (mirror_) std::fprintf(stderr, "%s\n", line.c_str());
  if (fd_ < 0 && !triedOpen_) openFile();
  if (fd_ < 0) return;
  writeAll(line + "\n");
}
