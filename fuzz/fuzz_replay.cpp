// Random text as a replay file: parsed or refused with a message, never a
// crash; what is parsed writes back to text that parses to the same replay.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  ReplayFile file;
  std::string error;
  if (!parseReplay(text, "fuzz.rep", file, error)) {
    if (error.rfind("fuzz.rep:", 0) != 0) __builtin_trap();  // every refusal names the file and line
    if (error.size() > 400) __builtin_trap();                 // and quotes the file's words cut short
    return 0;
  }
  // What the parser promises: frames from 1 up, in order; known keys; one check per frame.
  std::string written = file.seed ? formatReplaySeed(*file.seed) + "\n" : "";
  int last = 1;
  size_t check = 0;
  for (const ReplayEvent& e : file.events) {
    if (e.frame < last || e.key == 0) __builtin_trap();
    while (check < file.checks.size() && file.checks[check].frame <= e.frame)
      written += formatReplayCheck(file.checks[check++]) + "\n";
    last = e.frame;
    written += formatReplayEvent(e) + "\n";
  }
  for (; check < file.checks.size(); ++check) written += formatReplayCheck(file.checks[check]) + "\n";
  for (size_t i = 1; i < file.checks.size(); ++i)
    if (file.checks[i].frame <= file.checks[i - 1].frame) __builtin_trap();

  ReplayFile again;
  if (!parseReplay(written, "again.rep", again, error)) __builtin_trap();
  if (again.seed != file.seed || again.events.size() != file.events.size() || again.checks.size() != file.checks.size())
    __builtin_trap();
  for (size_t i = 0; i < file.events.size(); ++i)
    if (again.events[i].frame != file.events[i].frame || again.events[i].down != file.events[i].down ||
        again.events[i].key != file.events[i].key)
      __builtin_trap();
  for (size_t i = 0; i < file.checks.size(); ++i)
    if (again.checks[i].frame != file.checks[i].frame || again.checks[i].checksum != file.checks[i].checksum)
      __builtin_trap();
  return 0;
}
