// Packets from anyone on the network, of keys and of a session's set-up:
// each reader refuses what is not its packet and never reads past the bytes;
// what it accepts writes back the same.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/ChatMessage.h"
#include "net/InputPacket.h"
#include "net/SessionHello.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string why;
  const std::optional<InputPacket> packet = readInputPacket(std::span<const uint8_t>(data, size), why);
  if (packet) {
    const std::vector<uint8_t> again = writeInputPacket(*packet);
    if (again.size() != size || !std::equal(again.begin(), again.end(), data)) abort();
  }
  const std::optional<SessionHello> hello = readSessionHello(std::span<const uint8_t>(data, size), why);
  if (hello) {
    const std::vector<uint8_t> again = writeSessionHello(*hello);
    if (again.size() != size || !std::equal(again.begin(), again.end(), data)) abort();
  }
  const std::span<const uint8_t> bytes(data, size);
  if (const std::optional<int> seats = readSeatRequest(bytes)) {
    const std::vector<uint8_t> again = writeSeatRequest(*seats);
    if (again.size() != size || !std::equal(again.begin(), again.end(), data)) abort();
  }
  if (const std::optional<std::string> refusal = readSessionRefusal(bytes)) {
    if (refusal->size() + 2 != size) abort();
    for (char c : *refusal)
      if (c < 0x20 || c == 0x7F) abort();
  }
  // Chat that gets through is as written, and holds nothing a screen or a
  // console would take for a control: what is fit to send stays the same.
  if (const std::optional<ChatMessage> chat = readChat(bytes, why)) {
    const std::vector<uint8_t> again = writeChat(*chat);
    if (again.size() != size || !std::equal(again.begin(), again.end(), data)) abort();
    if (plainChatText(chat->text) != chat->text) abort();
    for (char c : chatTextForScreen(chat->text))
      if (c < 0x20 || c == 0x7F) abort();
  }
  // Whatever is typed, what goes out reads back as chat (or nothing goes).
  const std::string typed = plainChatText(std::string_view(reinterpret_cast<const char *>(data), size));
  if (!typed.empty() && !readChat(writeChat(ChatMessage{1, typed}), why)) abort();
  return 0;
}
