// Random bytes as a resource pack: opening it and reading every entry must
// fail cleanly or succeed, never crash or allocate without bound.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/PackReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  auto pack = PackReader::openMemory(data, size, "tervalen", error);
  if (!pack) return 0;
  std::vector<uint8_t> out;
  size_t n = pack->entryCount();
  for (size_t i = 0; i < n && i < 64; ++i) {
    pack->readIndex(i, out, error);
    pack->contains(pack->entryName(i));
  }
  return 0;
}
