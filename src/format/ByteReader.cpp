#include "format/ByteReader.h"

#include <cstring>

namespace {
std::string bytesText(size_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }
}  // namespace

void ByteReader::fail(size_t at, std::string what) {
  if (failed_) return;
  failed_ = true;
  error_ = LoadError{file_, at, std::move(what)};
}

bool ByteReader::need(size_t n, const char* what) {
  if (failed_) return false;
  if (remaining() >= n) return true;
  fail(pos_, std::string(what) + ": " + bytesText(n) + " expected, " + bytesText(remaining()) + " left");
  return false;
}

int32_t ByteReader::readInt32(const char* what) {
  if (!need(4, what)) return 0;
  const uint8_t* p = bytes_.data() + pos_;
  uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  pos_ += 4;
  return static_cast<int32_t>(v);
}

double ByteReader::readDouble(const char* what) {
  if (!need(8, what)) return 0;
  const uint8_t* p = bytes_.data() + pos_;
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | p[i];
  pos_ += 8;
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

std::string ByteReader::readShortString(const char* what) {
  if (!need(1, what)) return {};
  const size_t at = pos_;
  const int8_t length = static_cast<int8_t>(bytes_[pos_]);
  if (length < 0) {
    fail(at, std::string(what) + ": length byte " + std::to_string(length) + " is negative (0 to 127 expected)");
    return {};
  }
  pos_ += 1;
  if (remaining() < size_t(length)) {
    fail(at, std::string(what) + ": " + bytesText(size_t(length)) + " of text expected, " + bytesText(remaining()) +
                 " left");
    return {};
  }
  std::string s(reinterpret_cast<const char*>(bytes_.data() + pos_), size_t(length));
  pos_ += size_t(length);
  return s;
}

size_t ByteReader::readCount(const char* what, size_t minEntrySize, CountLog* log, bool lastIndex) {
  const size_t at = pos_;
  const int32_t raw = readInt32(what);
  if (failed_) return 0;
  if (log) log->values.push_back(raw);
  const int64_t n = lastIndex ? int64_t(raw) + 1 : int64_t(raw);
  if (n <= 0) return 0;
  // Compare without multiplying: n * minEntrySize could overflow on 32-bit sizes.
  if (minEntrySize > 0 && uint64_t(n) > remaining() / minEntrySize) {
    const std::string stored = lastIndex ? std::to_string(raw) + " means " : std::string();
    fail(at, std::string(what) + ": " + stored + std::to_string(n) + " entries of at least " +
                 bytesText(minEntrySize) + ", but only " + bytesText(remaining()) + " left");
    return 0;
  }
  return size_t(n);
}

std::string ByteReader::readRest() {
  if (failed_) return {};
  std::string s(reinterpret_cast<const char*>(bytes_.data() + pos_), remaining());
  pos_ = bytes_.size();
  return s;
}
