// System data files: any bytes either fail with an error inside the file, or
// read into strings plus unread trailing bytes that write back unchanged.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "format/SystemData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CountLog log;
  Expected<SystemData> parsed = parseSystemData({data, size}, "fuzz.dat", &log);
  if (!parsed) {
    if (parsed.error().offset > size) std::abort();
    return 0;
  }
  if (writeSystemData(*parsed, &log) != std::vector<uint8_t>(data, data + size)) std::abort();
  return 0;
}
