// Bounds-checked reading of the little-endian binary data files. Every reader
// of the game goes through this one class, so every read is checked the same
// way: the first read that does not fit records one LoadError (file, offset,
// what was expected) and every later read yields zero without touching memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "format/CountLog.h"
#include "format/LoadError.h"

class ByteReader {
 public:
  ByteReader(std::span<const uint8_t> bytes, const std::string& file) : bytes_(bytes), file_(file) {}

  bool failed() const { return failed_; }
  size_t offset() const { return pos_; }
  size_t remaining() const { return bytes_.size() - pos_; }
  const LoadError& error() const { return error_; }

  int32_t readInt32(const char* what);
  double readDouble(const char* what);
  // A short string: one signed length byte (0..127), then that many bytes.
  std::string readShortString(const char* what);
  // A count field: the number of entries that follow, each at least
  // `minEntrySize` bytes. `lastIndex` counts store the last index (entries - 1).
  // Zero or less entries (the stored value -1 or below for last-index counts)
  // mean none. A count that cannot fit in the bytes left is an error, so no
  // caller ever sizes a list from a count the file cannot back.
  // The raw value goes to `log` when there is one.
  size_t readCount(const char* what, size_t minEntrySize, CountLog* log, bool lastIndex = false);
  // The bytes from here to the end; the reader is then at the end.
  std::string readRest();
  // Records `what` as the error at `at` (the first error wins).
  void fail(size_t at, std::string what);

 private:
  bool need(size_t n, const char* what);

  std::span<const uint8_t> bytes_;
  std::string file_;
  size_t pos_ = 0;
  bool failed_ = false;
  LoadError error_;
};
