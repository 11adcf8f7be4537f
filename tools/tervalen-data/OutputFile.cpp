#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/FileDescriptor.h"
#include "base/ReplaceFile.h"

namespace {


std::string failure(const std::string& path, const std::string& why) { return "cannot write " + path + ": " + why; }
std::string failure(const std::string& path) { return failure(path, std::strerror(errno)); }

const char* kindOf(mode_t mode) { return fileKindOf(mode); }

// Writes into an existing character device or FIFO, as a shell redirection would.
bool writeIntoDevice(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) {
    error = failure(path);
    return false;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    error = failure(path);
    return false;
  }
  if (!S_ISCHR(st.st_mode) && !S_ISFIFO(st.st_mode)) {  // it changed under us
    error = failure(path, kindOf(st.st_mode));
    return false;
  }
  if (!writeAll(fd.get(), bytes.data(), bytes.size())) {
    error = failure(path);
    return false;
  }
  if (!fd.close()) {
    error = failure(path);
    return false;
  }
  return true;
}

}  // namespace

bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  if (path.empty()) {
    error = "cannot write a file without a name";
    return false;
  }
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) {
      error = failure(path);
      return false;
    }
    return replaceRegularFile(path, bytes, error);
  }
  if (S_ISREG(st.st_mode)) return replaceRegularFile(path, bytes, error);
  if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) return writeIntoDevice(path, bytes, error);
  error = failure(path, kindOf(st.st_mode));
  return false;
}

bool writeWholeFile(const std::string& path, const std::string& text, std::string& error) {
  return writeWholeFile(path, std::vector<uint8_t>(text.begin(), text.end()), error);
}

bool finishStandardOutput(std::string& error) {
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    error = std::string("cannot write to the standard output: ") + (errno ? std::strerror(errno) : "write error");
    std::clearerr(stdout);
    return false;
  }
  return true;
}
