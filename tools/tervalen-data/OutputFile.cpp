#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/FileDescriptor.h"

namespace {


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

const char* kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder";
  if (S_ISLNK(mode)) return "it is a symbolic link (name the file it points to instead)";
  if (S_ISSOCK(mode)) return "it is a socket";
  if (S_ISBLK(mode)) return "it is a block device";
  return "it is not a regular file";
}

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

// The folder part of `path` ("." when there is none) and the file name.
void splitPath(const std::string& path, std::string& folder, std::string& name) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    folder = ".";
    name = path;
  } else {
    folder = slash == 0 ? "/" : path.substr(0, slash);
    name = path.substr(slash + 1);
  }
}

// Writes a new regular file, or replaces one whose mode (`existingMode`, when
// not 0) the new file takes over.
bool replaceRegularFile(const std::string& path, const std::vector<uint8_t>& bytes, mode_t existingMode,
                        std::string& error) {
  std::string folder, name;
  splitPath(path, folder, name);
  if (name.empty()) {
    error = failure(path, "the name ends with '/'");
    return false;
  }
  std::string temp = (folder == "/" ? "" : folder) + "/." + name + ".XXXXXX";
  FileDescriptor fd(::mkstemp(temp.data()));
  if (fd.get() < 0) {
    error = failure(path, std::string("cannot make a temporary file beside it: ") + std::strerror(errno));
    return false;
  }
  struct TempFile {
    const std::string& path;
    bool keep = false;
    ~TempFile() {
      if (!keep) ::unlink(path.c_str());
    }
  } cleanup{temp};

  // mkstemp makes the file private; give it the mode a new file gets (or the old one's).
  mode_t mode = existingMode & 0777;  // never carry set-id bits over
  if (!existingMode) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd.get(), mode) != 0 || !writeAll(fd.get(), bytes.data(), bytes.size()) || ::fsync(fd.get()) != 0) {
    error = failure(path);
    return false;
  }
  if (!fd.close()) {
    error = failure(path);
    return false;
  }
  // Only a regular file or nothing may be replaced: look again right before
  // the rename, in case something else appeared at the path meanwhile.
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    error = failure(path, kindOf(st.st_mode));
    return false;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    error = failure(path);
    return false;
  }
  cleanup.keep = true;
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
    return replaceRegularFile(path, bytes, 0, error);
  }
  if (S_ISREG(st.st_mode)) return replaceRegularFile(path, bytes, st.st_mode, error);
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
