#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/ReplaceFile.h"

namespace {

// Closes the descriptor unless release() took it back.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and says whether the close succeeded (a late write error shows here).
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// Every byte, through short writes and interruptions. False with errno set.
bool writeAll(int fd, const uint8_t* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string failure(const std::string& path, const std::string& why) { return "cannot write " + path + ": " + why; }
std::string failure(const std::string& path) { return failure(path, std::strerror(errno)); }

const char* kindOf(mode_t mode) { return fileKindOf(mode); }

// Writes into an existing character device or FIFO, as a shell redirection would.
bool writeIntoDevice(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  Descriptor fd(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
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
