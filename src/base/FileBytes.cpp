#include "base/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/FileDescriptor.h"

namespace {

std::string sizeText(uint64_t bytes) {
  if (bytes % (1ull << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

Expected<std::vector<uint8_t>> readFileBytes(const std::string& path, uint64_t limit) {
  // Non-blocking, so opening a FIFO returns at once instead of waiting for a writer.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.get() < 0) return LoadError{path, 0, std::string("cannot open: ") + std::strerror(errno)};
  struct stat st {};
  if (::fstat(file.get(), &st) != 0) return LoadError{path, 0, std::string("cannot open: ") + std::strerror(errno)};
  if (!S_ISREG(st.st_mode)) return LoadError{path, 0, "not a regular file"};
  if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > limit)
    return LoadError{path, 0, "larger than " + sizeText(limit) + " (" + std::to_string(st.st_size) + " bytes)"};

  std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(file.get(), bytes.data() + got, bytes.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return LoadError{path, got, std::string("cannot read: ") + std::strerror(errno)};
    }
    if (n == 0) break;  // the file shrank while we read it: keep what is there
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  // A file that grows while it is read is taken as it was when opened.
  return bytes;
}
