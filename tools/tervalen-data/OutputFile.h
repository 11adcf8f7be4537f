// Writing a tool's output file whole: into a temporary file beside it, then
// renamed over the target, so a failed run never leaves a half-written file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// False with `error` set ("cannot write out/x.dat: No such file or directory").
bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
bool writeWholeFile(const std::string& path, const std::string& text, std::string& error);
