// Font descriptions: any text parses without reading out of bounds, and every
// glyph it defines has a code from 0 to 255.
#include <cstdint>
#include <cstdlib>

#include "format/FontDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so reading one byte past the text is caught.
  char* text = static_cast<char*>(std::malloc(size ? size : 1));
  if (size) __builtin_memcpy(text, data, size);
  FontDescription description;
  const bool ok = parseFontDescription(text, size, description);
  std::free(text);
  if (!ok && !description.events.empty()) std::abort();
  for (const FontDescription::Event& e : description.events) {
    if (e.isBitmap) {
      if (e.bitmap.empty()) std::abort();
    } else if (e.glyph.code < 0 || e.glyph.code > 255) {
      std::abort();
    }
  }
  return 0;
}
