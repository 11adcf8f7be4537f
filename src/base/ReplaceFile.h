// Writing a whole file in one step without ever destroying what should not
// be: the bytes go into a fresh temporary file beside the target (made with
// mkstemp, so no other file is touched), are flushed to disk and renamed over
// it. Only a regular file, or nothing, is replaced: a folder, a link, a device
// or anything else at the path is refused and left as it was. A failure
// leaves the target as it was and no temporary file behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// False with `error` set, e.g. "cannot write out/x.dat: No such file or
// directory" or "cannot write settings.ini: it is a symbolic link (name the
// file it points to instead)". A replaced file keeps its permissions.
bool replaceRegularFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

// Writes every byte to `fd`, through short writes and interruptions. False
// with errno set.
bool writeAll(int fd, const uint8_t* data, size_t size);

// What a file of this mode is, for such messages: "it is a folder", ...
const char* fileKindOf(unsigned mode);
