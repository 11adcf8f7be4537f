#include "base/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/FileDescriptor.h"

namespace {

std::string failure(const std::string& path, const std::string& why) { return "cannot write " + path + ": " + why; }

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

// The temporary file's name: removed unless it was renamed into place.
struct TempName {
  std::string path;
  bool renamed = false;
  ~TempName() {
    if (!renamed) ::unlink(path.c_str());
  }
};

}  // namespace

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

const char* fileKindOf(unsigned mode) {
  if (S_ISDIR(mode)) return "it is a folder";
  if (S_ISLNK(mode)) return "it is a symbolic link (name the file it points to instead)";
  if (S_ISSOCK(mode)) return "it is a socket";
  if (S_ISBLK(mode)) return "it is a block device";
  return "it is not a regular file";
}

bool replaceRegularFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  std::string folder, name;
  splitPath(path, folder, name);
  if (name.empty()) {
    error = failure(path, "the name ends with '/'");
    return false;
  }
  mode_t existingMode = 0;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) {
      error = failure(path, fileKindOf(st.st_mode));
      return false;
    }
    existingMode = st.st_mode;
  } else if (errno != ENOENT) {
    error = failure(path, std::strerror(errno));
    return false;
  }
  TempName temp;
  temp.path = (folder == "/" ? "" : folder) + "/." + name + ".XXXXXX";
  FileDescriptor fd(::mkstemp(temp.path.data()));
  if (fd.get() < 0) {
    temp.renamed = true;  // nothing was made
    error = failure(path, std::string("cannot make a temporary file beside it: ") + std::strerror(errno));
    return false;
  }
  // mkstemp makes the file private; give it the mode a new file gets (or the old one's).
  mode_t mode = existingMode & 0777;  // never carry set-id bits over
  if (!existingMode) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd.get(), mode) != 0 || !writeAll(fd.get(), bytes.data(), bytes.size()) || ::fsync(fd.get()) != 0 ||
      !fd.close()) {  // a late write error shows in the close
    error = failure(path, std::strerror(errno));
    return false;
  }
  // Only a regular file or nothing may be replaced: look again right before
  // the rename, in case something else appeared at the path meanwhile.
  if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    error = failure(path, fileKindOf(st.st_mode));
    return false;
  }
  if (::rename(temp.path.c_str(), path.c_str()) != 0) {
    error = failure(path, std::strerror(errno));
    return false;
  }
  temp.renamed = true;
  return true;
}
