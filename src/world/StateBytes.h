// The bytes of a saved world: a little-endian writer that appends without
// checks, and a reader that checks every read against what is left (the first
// read that does not fit fails the reader; later reads give zero), so a
// damaged or hostile state file costs an error, never a read out of bounds.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "object/Box.h"

class StateWriter {
 public:
  explicit StateWriter(std::vector<uint8_t>& out) : out_(out) {}

  void u8(uint8_t v) { out_.push_back(v); }
  void flag(bool v) { u8(v ? 1 : 0); }
  void i32(int32_t v) { raw(&v, sizeof v); }
  void u32(uint32_t v) { raw(&v, sizeof v); }
  void u64(uint64_t v) { raw(&v, sizeof v); }
  void f64(double v) { raw(&v, sizeof v); }
  void text(const std::string& s) {
    u32(static_cast<uint32_t>(s.size()));
    raw(s.data(), s.size());
  }
  void box(const Box& b) {
    f64(b.x);
    f64(b.y);
    f64(b.z);
    f64(b.width);
    f64(b.height);
    f64(b.depth);
  }

 private:
  void raw(const void* p, size_t n) {
    const size_t at = out_.size();
    out_.resize(at + n);
    if (n) std::memcpy(out_.data() + at, p, n);
  }
  std::vector<uint8_t>& out_;
};

class StateReader {
 public:
  explicit StateReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool failed() const { return failed_; }
  size_t offset() const { return pos_; }
  size_t remaining() const { return bytes_.size() - pos_; }
  // What did not fit, with its offset.
  const std::string& error() const { return error_; }
  size_t errorOffset() const { return errorAt_; }
  void fail(const std::string& what) {
    if (failed_) return;
    failed_ = true;
    errorAt_ = pos_;
    error_ = what;
  }

  uint8_t u8(const char* what) {
    uint8_t v = 0;
    raw(&v, sizeof v, what);
    return v;
  }
  bool flag(const char* what) {
    const uint8_t v = u8(what);
    if (v > 1) fail(std::string(what) + ": " + std::to_string(v) + " is neither 0 nor 1");
    return v == 1;
  }
  int32_t i32(const char* what) {
    int32_t v = 0;
    raw(&v, sizeof v, what);
    return v;
  }
  uint32_t u32(const char* what) {
    uint32_t v = 0;
    raw(&v, sizeof v, what);
    return v;
  }
  uint64_t u64(const char* what) {
    uint64_t v = 0;
    raw(&v, sizeof v, what);
    return v;
  }
  double f64(const char* what) {
    double v = 0;
    raw(&v, sizeof v, what);
    return v;
  }
  // A text of at most `most` bytes.
  std::string text(const char* what, size_t most) {
    const uint32_t n = u32(what);
    if (failed_) return {};
    if (n > most || n > remaining()) {
      fail(std::string(what) + ": " + std::to_string(n) + " bytes (at most " + std::to_string(most) + ", " +
           std::to_string(remaining()) + " left)");
      return {};
    }
    std::string s(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
    pos_ += n;
    return s;
  }
  // A count of entries of at least `entrySize` bytes each, at most `most`.
  size_t count(const char* what, size_t entrySize, size_t most) {
    const uint32_t n = u32(what);
    if (failed_) return 0;
    if (n > most || static_cast<uint64_t>(n) * entrySize > remaining()) {
      fail(std::string(what) + ": " + std::to_string(n) + " entries (at most " + std::to_string(most) +
           ", and the bytes left hold " + std::to_string(entrySize ? remaining() / entrySize : 0) + ")");
      return 0;
    }
    return n;
  }
  Box box(const char* what) {
    Box b;
    b.x = f64(what);
    b.y = f64(what);
    b.z = f64(what);
    b.width = f64(what);
    b.height = f64(what);
    b.depth = f64(what);
    return b;
  }

 private:
  void raw(void* p, size_t n, const char* what) {
    if (failed_) return;
    if (n > remaining()) {
      fail(std::string(what) + ": " + std::to_string(n) + " bytes, " + std::to_string(remaining()) + " left");
      return;
    }
    std::memcpy(p, bytes_.data() + pos_, n);
    pos_ += n;
  }

  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  bool failed_ = false;
  size_t errorAt_ = 0;
  std::string error_;
};
