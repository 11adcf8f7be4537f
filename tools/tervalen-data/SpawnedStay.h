// Spawned effects that never leave: a plain object is removed when its
// script runs out, so one whose every way loops back (or holds a frame for
// ever) stays in the scene for good, and each spawn adds one more.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "format/CharaData.h"

struct ScriptPlace {
  size_t action = 0;
  size_t instruction = 0;
};

// Where an object started at instruction `pc` of `action` keeps itself alive
// (the goto that loops back, or the frame that holds for ever), when no way
// through its script, including its landing and hit jumps, runs out; nothing
// when it can leave. An action outside the file or a pc past its end leaves at
// once.
std::optional<ScriptPlace> placeThatNeverEnds(const std::vector<Action>& actions, int32_t action, int32_t pc);
