#include "SoakOptions.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

bool parseWhole(const std::string& text, long min, long max, int& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || v < min || v > max) return false;
  out = static_cast<int>(v);
  return true;
}

}  // namespace

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
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string name = arg, value;
    bool hasValue = false;
    if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      hasValue = true;
    }
    auto takeValue = [&]() -> bool {
      if (hasValue) return true;
      if (i + 1 >= argc) {
        error = name + " needs a value";
        return false;
      }
      value = argv[++i];
      return true;
    };
    auto whole = [&](long min, int& target, const char* wants) -> bool {
      if (!takeValue()) return false;
      if (!parseWhole(value, min, INT_MAX, target)) {
        error = name + " wants " + wants + ", not \"" + value + "\"";
        return false;
      }
      return true;
    };
    if (name == "--help" || name == "-h") {
      if (hasValue) {
        error = name + " takes no value";
        return SoakParse::UsageError;
      }
      out.help = true;
    } else if (name == "--frames") {
      if (!whole(1, out.frames, "a whole number from 1 up")) return SoakParse::UsageError;
    } else if (name == "--every") {
      if (!whole(1, out.every, "a whole number from 1 up")) return SoakParse::UsageError;
    } else if (name == "--seed") {
      if (!whole(INT_MIN, out.seed, "a whole number")) return SoakParse::UsageError;
    } else {
      error = "unknown option \"" + arg + "\"";
      return SoakParse::UsageError;
    }
  }
  return out.help ? SoakParse::Help : SoakParse::Run;
}
