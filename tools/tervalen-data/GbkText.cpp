#include "GbkText.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <mutex>
#include <unordered_map>

namespace {

// Decodes one UTF-8 character at the start of s (length n); 0 on failure.
uint32_t decodeUtf8(const unsigned char* s, size_t n, size_t& used) {
  used = 0;
  if (n == 0) return 0;
  unsigned char c = s[0];
  size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0 || len > n) return 0;
  uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
  for (size_t i = 1; i < len; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (s[i] & 0x3F);
  }
  static const uint32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < smallest[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;  // overlong or not a character
  used = len;
  return cp;
}

void appendUtf8(uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The two-byte GBK characters that convert to one Unicode character and back
// to the same two bytes, in both directions. Built once, with the same
// converter the game uses for its text.
struct GbkTable {
  std::array<uint32_t, 65536> toUnicode{};  // 0: not a round-tripping character
  std::unordered_map<uint32_t, uint16_t> fromUnicode;

  GbkTable() {
    iconv_t decode = iconv_open("UTF-8", "GBK");
    iconv_t encode = iconv_open("GBK", "UTF-8");
    if (decode == reinterpret_cast<iconv_t>(-1) || encode == reinterpret_cast<iconv_t>(-1)) {
      if (decode != reinterpret_cast<iconv_t>(-1)) iconv_close(decode);
      if (encode != reinterpret_cast<iconv_t>(-1)) iconv_close(encode);
      return;  // every non-ASCII byte is then written as an escape
    }
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
        if (trail == 0x7F) continue;
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        char utf8[8];
        char* inPtr = in;
        size_t inLeft = 2;
        char* outPtr = utf8;
        size_t outLeft = sizeof utf8;
        iconv(decode, nullptr, nullptr, nullptr, nullptr);
        if (iconv(decode, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) continue;
        size_t utf8Len = static_cast<size_t>(outPtr - utf8);
        size_t used = 0;
        uint32_t cp = decodeUtf8(reinterpret_cast<unsigned char*>(utf8), utf8Len, used);
        if (cp < 0x80 || used != utf8Len) continue;
        char back[8];
        char* backIn = utf8;
        size_t backInLeft = utf8Len;
        char* backOut = back;
        size_t backOutLeft = sizeof back;
        iconv(encode, nullptr, nullptr, nullptr, nullptr);
        if (iconv(encode, &backIn, &backInLeft, &backOut, &backOutLeft) == static_cast<size_t>(-1)) continue;
        if (backOut - back != 2 || back[0] != in[0] || back[1] != in[1]) continue;
        if (fromUnicode.count(cp)) continue;
        uint16_t pair = static_cast<uint16_t>(lead << 8 | trail);
        toUnicode[pair] = cp;
        fromUnicode.emplace(cp, pair);
      }
    }
    iconv_close(decode);
    iconv_close(encode);
  }
};

const GbkTable& table() {
  static const GbkTable t;
  return t;
}

const char* hexDigits = "0123456789ABCDEF";

}  // namespace

std::string quoteGbk(const std::string& gbk) {
  const GbkTable& t = table();
  std::string out = "\"";
  for (size_t i = 0; i < gbk.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(gbk[i]);
    if (c >= 0x20 && c < 0x7F) {
      if (c == '"' || c == '\\') out += '\\';
      out += static_cast<char>(c);
      continue;
    }
    if (c == '\n') { out += "\\n"; continue; }
    if (c == '\t') { out += "\\t"; continue; }
    if (c == '\r') { out += "\\r"; continue; }
    if (c >= 0x81 && i + 1 < gbk.size()) {
      uint16_t pair = static_cast<uint16_t>(c << 8 | static_cast<unsigned char>(gbk[i + 1]));
      if (uint32_t cp = t.toUnicode[pair]) {
        appendUtf8(cp, out);
        ++i;
        continue;
      }
    }
    out += "\\x";
    out += hexDigits[c >> 4];
    out += hexDigits[c & 15];
  }
  out += '"';
  return out;
}

bool appendCodepointAsGbk(uint32_t codepoint, std::string& out) {
  if (codepoint < 0x80) {
    out += static_cast<char>(codepoint);
    return true;
  }
  const GbkTable& t = table();
  auto it = t.fromUnicode.find(codepoint);
  if (it == t.fromUnicode.end()) return false;
  out += static_cast<char>(it->second >> 8);
  out += static_cast<char>(it->second & 0xFF);
  return true;
}

uint32_t decodeUtf8Char(const std::string& s, size_t at, size_t& used) {
  return decodeUtf8(reinterpret_cast<const unsigned char*>(s.data()) + at, s.size() - at, used);
}
