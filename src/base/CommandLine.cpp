#include "base/CommandLine.h"

#include <cerrno>
#include <cstdlib>

bool CommandLine::next() {
  if (at_ + 1 >= argc_) return false;
  argument_ = argv_[++at_];
  name_ = argument_;
  attached_.clear();
  hasAttached_ = false;
  if (const size_t eq = argument_.find('='); argument_.rfind("--", 0) == 0 && eq != std::string::npos) {
    name_ = argument_.substr(0, eq);
    attached_ = argument_.substr(eq + 1);
    hasAttached_ = true;
  }
  return true;
}

bool CommandLine::value(std::string& out, std::string& error) {
  if (hasAttached_) {
    out = attached_;
    return true;
  }
  if (at_ + 1 >= argc_) {
    error = name_ + " needs a value";
    return false;
  }
  out = argv_[++at_];
  return true;
}

bool CommandLine::hasValue() const {
  if (hasAttached_) return true;
  return at_ + 1 < argc_ && argv_[at_ + 1][0] != '-';
}

bool CommandLine::noValue(std::string& error) const {
  if (!hasAttached_) return true;
  error = name_ + " takes no value";
  return false;
}

bool parseWholeNumber(const std::string& text, long min, long max, int& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || v < min || v > max) return false;
  out = static_cast<int>(v);
  return true;
}
