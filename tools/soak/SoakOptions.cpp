#include "SoakOptions.h"

#include <climits>

#include "base/CommandLine.h"

std::string soakUsageText() {
  return "Usage: tervalen-soak [options]   (run it in a game folder)\n"
         "Plays the game headless with random keys, starting a new game whenever one ends,\n"
         "and reports the memory the process holds.\n"
         "  --frames N   frames to play (default 1000000)\n"
         "  --seed N     seed of the game and of the keys (default 1)\n"
         "  --every N    report the memory every N frames, from frame N on (default 100000)\n"
         "  --help       show this text\n";
}

SoakParse parseSoakOptions(int argc, const char* const* argv, SoakOptions& out, std::string& error) {
  out = SoakOptions{};
  CommandLine line(argc, argv);
  while (line.next()) {
    const std::string& name = line.name();
    std::string value;
    auto takeValue = [&]() -> bool { return line.value(value, error); };
    auto whole = [&](long min, int& target, const char* wants) -> bool {
      if (!takeValue()) return false;
      if (!parseWholeNumber(value, min, INT_MAX, target)) {
        error = name + " wants " + wants + ", not \"" + value + "\"";
        return false;
      }
      return true;
    };
    if (name == "--help" || name == "-h") {
      if (!line.noValue(error)) return SoakParse::UsageError;
      out.help = true;
    } else if (name == "--frames") {
      if (!whole(1, out.frames, "a whole number from 1 up")) return SoakParse::UsageError;
    } else if (name == "--every") {
      if (!whole(1, out.every, "a whole number from 1 up")) return SoakParse::UsageError;
    } else if (name == "--seed") {
      if (!whole(INT_MIN, out.seed, "a whole number")) return SoakParse::UsageError;
    } else {
      error = "unknown option \"" + line.argument() + "\"";
      return SoakParse::UsageError;
    }
  }
  return out.help ? SoakParse::Help : SoakParse::Run;
}
