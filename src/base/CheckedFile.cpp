#include "base/CheckedFile.h"

#include <cerrno>
#include <cstring>

CheckedFile::~CheckedFile() {
  if (file_) std::fclose(file_);
}

bool CheckedFile::fail(const char* when, int errorNumber) {
  if (!failed_) {
    failed_ = true;
    error_ = path_ + ": " + (errorNumber ? std::strerror(errorNumber) : "unknown error") + when;
  }
  return false;
}

bool CheckedFile::open(const std::string& path) {
  if (file_) std::fclose(file_);
  path_ = path;
  failed_ = false;
  error_.clear();
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return fail("", errno);
  return true;
}

bool CheckedFile::write(const void* data, size_t size) {
  if (failed_ || !file_) return false;
  errno = 0;
  if (size > 0 && std::fwrite(data, 1, size, file_) != size)
    return fail("", errno);
  if (std::fflush(file_) != 0) return fail("", errno);
  return true;
}

bool CheckedFile::close() {
  if (!file_) return !failed_;
  errno = 0;
  const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
  const int flushError = errno;
  const bool closed = std::fclose(file_) == 0;
  const int closeError = errno;
  file_ = nullptr;
  if (!flushed) return fail("", flushError);
  if (!closed) return fail(" (on closing)", closeError);
  return !failed_;
}

bool writeCheckedFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  CheckedFile file;
  const bool ok = file.open(path) && file.write(bytes.data(), bytes.size()) && file.close();
  if (!ok) error = file.error();
  return ok;
}
