// The heads-up display's numbers: the score, the kills, the power gauge, the
// enemy whose hit points are shown, and the player's key-command buffer.
// (The renderer draws them; see render/HudDrawer.)
#pragma once

#include <array>
#include <cstdint>

#include "world/FrameInput.h"

class Chara;

// Codes of the command buffer.
constexpr int32_t CMD_W = 0, CMD_S = 1, CMD_A = 2, CMD_D = 3, CMD_J = 4, CMD_K = 5, CMD_U = 6, CMD_I = 7;
constexpr int32_t CMD_EMPTY = 8;
constexpr int32_t MAX_POWER = 90;

class Hud {
 public:
  explicit Hud(Chara* player = nullptr) : player(player) { commands.fill(CMD_EMPTY); }

  void setTarget(Chara* c) { target = c; }
  void gainPower() {
    if (power < MAX_POWER) power += 1;
  }

  // The command buffer: one call per frame, before the player control. Ages the
  // buffer (empty after 31 frames without a key) and pushes the keys that went
  // down this frame in the order W S A D J K U I.
  void updateCommands(const FrameInput& input);
  void clearCommands();
  void consumeJ() { commands[9] = CMD_EMPTY; }
  // Pushes one code as the newest entry (the oldest is lost) and restarts the timer.
  void pushCommand(int32_t code);

  int32_t commandTimer = 0;
  std::array<int32_t, 10> commands;  // oldest first; entry 9 is the newest
  // The frames between each entry and the one before it (0: the same frame).
  std::array<int32_t, 10> commandGaps{};
  Chara* player;                     // whose hit points fill the main bar
  Chara* target = nullptr;           // the enemy shown in the lower bar
  int32_t kills = 0;
  int32_t score = 0;
  int32_t power = MAX_POWER;
};
