// Reading a test world's engine log.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

// The whole of `dir`/log.txt ("" when there is none).
inline std::string readLogFile(const std::string& dir) {
  std::ifstream in(dir + "/log.txt");
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// How many times `text` occurs in `all`, not overlapping.
inline size_t countOccurrences(const std::string& all, const std::string& text) {
  size_t n = 0;
  for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + text.size())) ++n;
  return n;
}
