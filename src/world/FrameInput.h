// The keys of one frame as the world sees them: the game's eight keys, in the
// order of the command buffer's codes (W S A D J K U I). Whatever sends them
// (keyboard, replay, the built-in player) is not the world's concern.
#pragma once

#include <array>

enum GameKey { KEY_W = 0, KEY_S, KEY_A, KEY_D, KEY_J, KEY_K, KEY_U, KEY_I, GAME_KEY_COUNT };

struct FrameInput {
  std::array<bool, GAME_KEY_COUNT> pressed{};  // went down in this frame (once per press)
  std::array<bool, GAME_KEY_COUNT> held{};     // held in this frame
  // The seat leaves the game before this frame (its leave key, pressed for
  // one step): a game over the network carries it with the keys, so every
  // machine and the recording have it at the same frame. The world's
  // fighters never read it.
  bool leave = false;
};
