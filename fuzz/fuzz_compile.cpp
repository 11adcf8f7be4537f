// Fuzzes the data text compiler: any input must either compile or give a
// line:column error, never crash; whatever compiles must decompile to a text
// that compiles back to the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DataText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string source(reinterpret_cast<const char*>(data), size);
  std::vector<uint8_t> bytes;
  TextError error;
  DataKind kind = DataKind::Chara;
  if (!compileDataText(source, std::nullopt, bytes, error, &kind)) {
    if (error.pos.line < 1 || error.pos.column < 1 || error.message.empty()) std::abort();
    return 0;
  }
  Expected<std::string> text = decompileData(bytes, "fuzz", kind);
  if (!text) {
    std::fprintf(stderr, "compiled file does not read back: %s\n", text.error().message().c_str());
    std::abort();
  }
  std::vector<uint8_t> back;
  if (!compileDataText(*text, kind, back, error) || back != bytes) {
    std::fprintf(stderr, "decompiled text does not compile to the same bytes:\n%s\n", text->c_str());
    std::abort();
  }
  return 0;
}
