// Writing a tool's output file whole, without ever destroying what it should not:
//
// - a regular file (or no file yet) is replaced in one step: the bytes go into
//   a fresh temporary file beside it (made with mkstemp, so no other file is
//   touched), are flushed to disk and renamed over the target; a failed run
//   leaves the target as it was and no temporary file behind;
// - a character device or a FIFO is written into directly, so `-o /dev/null`
//   or `-o /dev/stdout` work and the device stays a device;
// - anything else (a folder, a symbolic link, a socket, a block device) is
//   refused with a message that says what it is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// False with `error` set, e.g. "cannot write out/x.dat: No such file or directory"
// or "cannot write out: it is a folder".
bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
bool writeWholeFile(const std::string& path, const std::string& text, std::string& error);

// Flushes standard output; false with `error` set when any of it could not be
// written (a full disk, a closed pipe).
bool finishStandardOutput(std::string& error);
