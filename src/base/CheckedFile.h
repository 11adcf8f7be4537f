// Files the game writes as it runs (the trace, a recording, screenshots):
// every write, flush and close is checked, and the first failure is kept with
// the file's name and the system's reason, so it can be reported once.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class CheckedFile {
 public:
  CheckedFile() = default;
  ~CheckedFile();
  CheckedFile(const CheckedFile&) = delete;
  CheckedFile& operator=(const CheckedFile&) = delete;

  // Creates or empties `path` for writing. False with the reason in error().
  bool open(const std::string& path);
  bool isOpen() const { return file_ != nullptr; }
  // Writes the bytes and hands them to the system at once, so a full disk is
  // known at the line that did not fit. After the first failure nothing more
  // is written and every call returns false.
  bool write(const void* data, size_t size);
  bool write(const std::string& bytes) { return write(bytes.data(), bytes.size()); }
  // Closes the file; false (with the reason) when a write or the close failed.
  bool close();
  bool failed() const { return failed_; }
  // "PATH: REASON" for the first failure, e.g. "/dev/full: No space left on
  // device" ("" when there was none).
  const std::string& error() const { return error_; }
  const std::string& path() const { return path_; }

 private:
  bool fail(const char* when, int errorNumber);

  std::string path_;
  FILE* file_ = nullptr;
  bool failed_ = false;
  std::string error_;
};

// Writes a whole file at once through CheckedFile. False with "PATH: REASON" in `error`.
bool writeCheckedFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
