#include "OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  std::string temp = path + ".tmp";
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

bool writeWholeFile(const std::string& path, const std::string& text, std::string& error) {
  return writeWholeFile(path, std::vector<uint8_t>(text.begin(), text.end()), error);
}
