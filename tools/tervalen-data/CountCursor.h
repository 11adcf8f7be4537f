// Walks a CountLog in read order while a printer visits the lists of a parsed
// file, so that an empty list whose file held an unusual count (-5 where 0
// would do) can be written down and rebuilt byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/CountLog.h"

class CountCursor {
 public:
  explicit CountCursor(const CountLog* log) : log_(log) {}
  // The raw count of the next list, or `canonical` when the log has none.
  int32_t next(int32_t canonical) {
    if (!log_ || at_ >= log_->values.size()) return canonical;
    return log_->values[at_++];
  }

 private:
  const CountLog* log_;
  size_t at_ = 0;
};
