#include "resource/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

Expected<std::vector<uint8_t>> readFileBytes(const std::string& path) {
  // Binary mode: the data files are read byte for byte, with no line-end translation.
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return LoadError{path, 0, std::string("cannot open: ") + std::strerror(errno)};
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  for (;;) {
    const size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (got < sizeof chunk) break;
  }
  if (std::ferror(file.get())) {
    const int err = errno;
    return LoadError{path, bytes.size(), std::string("cannot read: ") + std::strerror(err)};
  }
  return bytes;
}
