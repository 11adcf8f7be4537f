// Character files: any bytes either fail with an error inside the file, or
// read into a record that writes back to exactly the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "format/CharaData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CountLog log;
  Expected<CharaData> parsed = parseCharaFile({data, size}, "fuzz.dat", &log);
  if (!parsed) {
    if (parsed.error().offset > size) std::abort();
    return 0;
  }
  if (writeCharaFile(*parsed, &log) != std::vector<uint8_t>(data, data + size)) std::abort();
  return 0;
}
