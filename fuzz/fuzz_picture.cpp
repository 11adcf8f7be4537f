// Random bytes as a picture file's header: sized or refused with a reason,
// never a crash or a read past the end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/PictureSize.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly `size` bytes, so the sanitizer sees any read beyond them.
  std::vector<uint8_t> bytes(data, data + size);
  std::string error;
  const PictureSize s = readPictureSize(bytes.data(), bytes.size(), error);
  if (s.format == PictureFormat::Unknown) {
    if (error.empty()) __builtin_trap();  // every refusal says why
    if (s.width != 0 || s.height != 0) __builtin_trap();
  } else if (!error.empty()) {
    __builtin_trap();
  }
  pictureFormatName(s.format);
  return 0;
}
