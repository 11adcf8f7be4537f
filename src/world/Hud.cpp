// The player's key-command buffer.
#include "world/Hud.h"

#include <cstddef>

namespace {
constexpr int32_t kCommandForgetFrames = 30;  // empty after 31 frames without a key
}  // namespace

void Hud::pushCommand(int32_t code) {
  for (size_t k = 0; k + 1 < commands.size(); ++k) {
    commands[k] = commands[k + 1];
    commandGaps[k] = commandGaps[k + 1];
  }
  commands[9] = code;
  commandGaps[9] = commandTimer;
  commandTimer = 0;
}

void Hud::updateCommands(const FrameInput& input) {
  commandTimer += 1;
  if (commandTimer > kCommandForgetFrames) clearCommands();
  for (int32_t code = 0; code < GAME_KEY_COUNT; ++code) {
    if (input.pressed[static_cast<size_t>(code)]) pushCommand(code);
  }
}

void Hud::clearCommands() {
  commands.fill(CMD_EMPTY);
  commandGaps.fill(0);
  commandTimer = 0;
}
