#include "net/ChatMessage.h"

namespace {

// The length of the UTF-8 character at `at` (1-4), or 0 when the bytes there
// are no character: a stray continuation byte, a sequence cut short, an
// overlong form, a surrogate or past U+10FFFF.
size_t characterLength(std::string_view s, size_t at, uint32_t &code) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
  const uint8_t lead = byte(at);
  size_t n = 0;
  uint32_t min = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    n = 2, min = 0x80, code = lead & 0x1Fu;
  } else if ((lead & 0xF0) == 0xE0) {
    n = 3, min = 0x800, code = lead & 0x0Fu;
  } else if ((lead & 0xF8) == 0xF0) {
    n = 4, min = 0x10000, code = lead & 0x07u;
  } else {
    return 0;
  }
  if (at + n > s.size()) return 0;
  for (size_t i = 1; i < n; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + i) & 0x3Fu);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return n;
}

// C0 controls, DEL and the C1 controls: none of them is ever shown.
bool control(uint32_t code) { return code < 0x20 || (code >= 0x7F && code < 0xA0); }

}  // namespace

bool isChat(std::span<const uint8_t> bytes) { return bytes.size() >= 2 && bytes[0] == 'T' && bytes[1] == 'C'; }

std::vector<uint8_t> writeChat(const ChatMessage &message) {
  std::vector<uint8_t> out{'T', 'C', static_cast<uint8_t>(message.seat)};
  out.insert(out.end(), message.text.begin(), message.text.end());
  return out;
}

std::optional<ChatMessage> readChat(std::span<const uint8_t> bytes, std::string &why) {
  auto fail = [&why](const char *reason) -> std::optional<ChatMessage> {
    why = reason;
    return std::nullopt;
  };
  if (!isChat(bytes)) return fail("not chat");
  if (bytes.size() < 3 || bytes[2] < 1 || bytes[2] > 4) return fail("chat from a seat outside 1-4");
  const std::string_view text(reinterpret_cast<const char *>(bytes.data()) + 3, bytes.size() - 3);
  if (text.empty()) return fail("chat with no text");
  if (text.size() > ChatMessage::kMaxBytes) return fail("chat longer than 80 bytes");
  for (size_t at = 0; at < text.size();) {
    uint32_t code = 0;
    const size_t n = characterLength(text, at, code);
    if (n == 0) return fail("chat that is not UTF-8");
    if (control(code)) return fail("chat with a control character");
    at += n;
  }
  return ChatMessage{bytes[2], std::string(text)};
}

std::string plainChatText(std::string_view typed) {
  std::string out;
  for (size_t at = 0; at < typed.size();) {
    uint32_t code = 0;
    const size_t n = characterLength(typed, at, code);
    if (n == 0) {
      ++at;
      continue;
    }
    if (!control(code)) {
      if (out.size() + n > ChatMessage::kMaxBytes) break;
      out.append(typed.substr(at, n));
    }
    at += n;
  }
  return out;
}

std::string chatTextForScreen(std::string_view text) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    uint32_t code = 0;
    const size_t n = characterLength(text, at, code);
    out.push_back(n == 1 && !control(code) ? static_cast<char>(code) : '?');
    at += n == 0 ? 1 : n;
  }
  return out;
}
