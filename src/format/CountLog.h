// The raw value of every count field a reader met, in read order. A count of
// -5 and a count of 0 both mean "no entries", so the parsed record alone cannot
// say which one the file held; tools that must write a file back byte for byte
// keep this log beside the record and hand it to the writer.
#pragma once

#include <cstdint>
#include <vector>

struct CountLog {
  std::vector<int32_t> values;
};
