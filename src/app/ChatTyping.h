// The chat line of a game over the network, typed in a window: T opens it
// (no seat's keys use T), letters, digits, space and a few marks go in
// (Shift for capitals), Backspace takes the last one back, Enter sends and
// Esc puts it away. While it is open this machine's seats press nothing, so
// the letters typed never move a fighter, and the pause menu and the lobby's
// start keys stay shut.
#pragma once

#include <optional>
#include <string>

#include "engine/hge.h"

class ChatTyping {
 public:
  static constexpr int kOpenKey = HGEK_A + ('T' - 'A');

  explicit ChatTyping(HGE *engine) : engine_(engine) {}
  // Once a frame, before the pause menu: the line to send when Enter was
  // pressed. `mayOpen`: T opens the line now (the pause menu is shut).
  std::optional<std::string> update(bool mayOpen);
  bool open() const { return open_; }
  // Open, or closed in this frame: the keyboard was the chat's this frame.
  bool busy() const { return open_ || closedNow_; }
  const std::string &text() const { return text_; }

 private:
  HGE *engine_;
  bool open_ = false;
  bool closedNow_ = false;
  std::string text_;
};

// The character a raw key types (0: none), with Shift held or not.
char chatCharacterOf(int key, bool shift);
