// A line of chat between the machines of a game, on the reliable channel of
// the set-up (in the lobby and during play). It never reaches the world.
//
// Bytes: "TC" u8 seat (1-4: the sender's first seat, as the host numbers
// them) then the text: 1-80 bytes of UTF-8 without control characters.
// Nothing else is read as chat; anything else that starts with "TC" is
// refused whole with the reason.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct ChatMessage {
  static constexpr size_t kMaxBytes = 80;
  int seat = 1;
  std::string text;
};

// Whether `bytes` claim to be chat (they may still be refused).
bool isChat(std::span<const uint8_t> bytes);
std::vector<uint8_t> writeChat(const ChatMessage &message);
std::optional<ChatMessage> readChat(std::span<const uint8_t> bytes, std::string &why);

// What a player typed (or gave to --say), fit to send: valid UTF-8 only,
// control characters and broken sequences dropped, cut to kMaxBytes on a
// character's boundary. Empty when nothing was left.
std::string plainChatText(std::string_view typed);
// The text as the game's font draws it: every character outside printable
// ASCII is a '?'.
std::string chatTextForScreen(std::string_view text);
