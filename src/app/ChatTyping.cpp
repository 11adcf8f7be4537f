#include "app/ChatTyping.h"

#include "net/ChatMessage.h"

namespace {
constexpr int kComma = 0xBC, kMinus = 0xBD;
}  // namespace

char chatCharacterOf(int key, bool shift) {
  if (key >= HGEK_A && key <= HGEK_Z) return static_cast<char>((shift ? 'A' : 'a') + (key - HGEK_A));
  if (key >= HGEK_0 && key < HGEK_0 + 10) {
    static const char shifted[] = ")!@#$%^&*(";
    return shift ? shifted[key - HGEK_0] : static_cast<char>('0' + (key - HGEK_0));
  }
  switch (key) {
    case HGEK_SPACE: return ' ';
    case HGEK_PERIOD: return shift ? '>' : '.';
    case kComma: return shift ? '<' : ',';
    case kMinus: return shift ? '_' : '-';
    case HGEK_SLASH: return shift ? '?' : '/';
    case HGEK_SEMICOLON: return shift ? ':' : ';';
    case HGEK_APOSTROPHE: return shift ? '"' : '\'';
    default: return 0;
  }
}

std::optional<std::string> ChatTyping::update(bool mayOpen) {
  closedNow_ = false;
  if (!open_) {
    if (mayOpen && engine_->Input_RawKeyDown(kOpenKey)) {
      open_ = true;
      text_.clear();
    }
    return std::nullopt;
  }
  if (engine_->Input_RawKeyDown(HGEK_ESCAPE)) {
    open_ = false;
    closedNow_ = true;
    return std::nullopt;
  }
  if (engine_->Input_RawKeyDown(HGEK_ENTER)) {
    open_ = false;
    closedNow_ = true;
    std::string line = plainChatText(text_);
    if (line.empty()) return std::nullopt;
    return line;
  }
  if (engine_->Input_RawKeyDown(HGEK_BACKSPACE) && !text_.empty()) text_.pop_back();
  const bool shift = engine_->Input_RawKeyState(HGEK_SHIFT);
  for (int key = 1; key < HGEK_COUNT; ++key) {
    if (text_.size() >= ChatMessage::kMaxBytes) break;
    if (!engine_->Input_RawKeyDown(key)) continue;
    if (const char c = chatCharacterOf(key, shift)) text_.push_back(c);
  }
  return std::nullopt;
}
