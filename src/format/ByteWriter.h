// Writing the little-endian binary data files: the mirror of ByteReader, used
// by every writer. Count fields can reproduce the raw value a reader logged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "format/CountLog.h"

class ByteWriter {
 public:
  // `counts`: the log of a parse of the file being written back, or nullptr.
  explicit ByteWriter(const CountLog* counts = nullptr) : counts_(counts) {}

  void writeInt32(int32_t v);
  void writeDouble(double v);  // bit for bit, NaN payloads included
  // One length byte and the text. Text longer than the 127 bytes the format
  // can hold is cut to its first 127 bytes.
  void writeShortString(const std::string& s);
  void writeRaw(const std::string& bytes);
  // A count field for a list of `entries` items. The canonical value is the
  // number of entries (or the last index, entries - 1, for `lastIndex`
  // counts). When the list is empty and the logged raw value of this field
  // also means "empty", the logged value is written instead, so a file read
  // with a log writes back byte for byte.
  void writeCount(size_t entries, bool lastIndex = false);

  std::vector<uint8_t> take() { return std::move(bytes_); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  const CountLog* counts_;
  size_t nextCount_ = 0;
};
