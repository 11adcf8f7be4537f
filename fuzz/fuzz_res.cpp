// Resource lists: any bytes either fail with an error inside the file, or read
// into a catalog that writes back to exactly the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "format/ResourceCatalog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CountLog log;
  Expected<ResourceCatalog> parsed = parseResourceCatalog({data, size}, "fuzz.dat", &log);
  if (!parsed) {
    if (parsed.error().offset > size) std::abort();
    return 0;
  }
  if (writeResourceCatalog(*parsed, &log) != std::vector<uint8_t>(data, data + size)) std::abort();
  // Lookups by number stay inside the catalog.
  for (int32_t n : {-1, 0, 1, int32_t(parsed->entries.size())}) {
    const ResourceEntry* e = parsed->entry(n);
    if ((e != nullptr) != (n >= 0 && size_t(n) < parsed->entries.size())) std::abort();
  }
  return 0;
}
