#include "world/Difficulty.h"

namespace {
const char* const kNames[kDifficultyCount] = {"easy", "normal", "hard"};
}  // namespace

const char* difficultyName(Difficulty d) { return kNames[static_cast<int>(d)]; }

bool difficultyFromName(const std::string& name, Difficulty& out) {
  for (int i = 0; i < kDifficultyCount; ++i) {
    if (name == kNames[i]) {
      out = static_cast<Difficulty>(i);
      return true;
    }
  }
  return false;
}
