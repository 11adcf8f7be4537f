// Random text as a replay file: parsed or refused with a message, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<ReplayEvent> events;
  std::string error;
  if (parseReplay(text, "fuzz.rep", events, error)) {
    int last = 1;
    for (const ReplayEvent& e : events) {
      if (e.frame < last || e.key == 0) __builtin_trap();  // what the parser promises
      last = e.frame;
      formatReplayEvent(e);
    }
  } else if (error.rfind("fuzz.rep:", 0) != 0) {
    __builtin_trap();  // every refusal names the file and line
  }
  return 0;
}
