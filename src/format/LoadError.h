// How a data-file reader reports a file it cannot read: which file, where in it,
// and what was expected there. Readers return Expected<T>: the value or the error.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

struct LoadError {
  std::string file;    // the path as the game asked for it (UTF-8)
  size_t offset = 0;   // byte offset (or, for text files, the line number) where reading failed
  std::string what;    // what was expected, e.g. "action count: 4 bytes, 2 left"

  // "data/chara/guai01.dat: offset 1234: action count: 4 bytes, 2 left"
  std::string message() const {
    return file + ": offset " + std::to_string(offset) + ": " + what;
  }
};

// The warning for bytes after a file's last record. The game reads nothing
// there, so it ignores them; the tools keep them so files round-trip.
// "data/scene/Test.dat: offset 512: 3 bytes after the last record are ignored"
inline std::string trailingBytesWarning(const std::string& file, size_t fileSize, size_t trailing) {
  return file + ": offset " + std::to_string(fileSize - trailing) + ": " + std::to_string(trailing) +
         (trailing == 1 ? " byte" : " bytes") + " after the last record " + (trailing == 1 ? "is" : "are") +
         " ignored";
}

template <class T>
class Expected {
 public:
  Expected(T value) : value_(std::move(value)) {}
  Expected(LoadError error) : error_(std::move(error)) {}

  explicit operator bool() const { return value_.has_value(); }
  bool ok() const { return value_.has_value(); }
  T& value() { return *value_; }
  const T& value() const { return *value_; }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  const LoadError& error() const { return error_; }

 private:
  std::optional<T> value_;
  LoadError error_;
};
