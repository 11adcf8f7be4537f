#include "format/ByteWriter.h"

#include <cstring>

void ByteWriter::writeInt32(int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) bytes_.push_back(uint8_t(u >> (8 * i)));
}

void ByteWriter::writeDouble(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  for (int i = 0; i < 8; ++i) bytes_.push_back(uint8_t(bits >> (8 * i)));
}

void ByteWriter::writeShortString(const std::string& s) {
  const size_t n = s.size() < 127 ? s.size() : 127;
  bytes_.push_back(uint8_t(n));
  bytes_.insert(bytes_.end(), s.begin(), s.begin() + ptrdiff_t(n));
}

void ByteWriter::writeRaw(const std::string& raw) { bytes_.insert(bytes_.end(), raw.begin(), raw.end()); }

void ByteWriter::writeCount(size_t entries, bool lastIndex) {
  const int64_t canonical = lastIndex ? int64_t(entries) - 1 : int64_t(entries);
  int32_t value = static_cast<int32_t>(canonical);
  if (counts_ && nextCount_ < counts_->values.size()) {
    const int32_t logged = counts_->values[nextCount_];
    const bool loggedEmpty = lastIndex ? logged <= -1 : logged <= 0;
    if (entries == 0 && loggedEmpty) value = logged;
  }
  ++nextCount_;
  writeInt32(value);
}
