#include "TextLexer.h"

#include <cstdio>

#include "GbkText.h"

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int hexValue(char c) { return isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

class Lexer {
 public:
  explicit Lexer(const std::string& s) : s_(s) {}

  std::vector<Token> run() {
    std::vector<Token> out;
    if (s_.compare(0, 3, "\xEF\xBB\xBF") == 0) i_ = 3;  // a byte-order mark some editors write
    while (i_ < s_.size()) {
      char c = s_[i_];
      TextPos start = pos_;
      if (c == ' ' || c == '\t' || c == '\r') {
        advance(1);
      } else if (c == '#') {
        while (i_ < s_.size() && s_[i_] != '\n') advance(1);
      } else if (c == '\n') {
        out.push_back({Token::LineEnd, "", start});
        ++i_;
        ++pos_.line;
        pos_.column = 1;
      } else if (c == '"') {
        out.push_back({Token::String, readString(), start});
      } else if (isDigit(c) || ((c == '-' || c == '+') && i_ + 1 < s_.size() && isDigit(s_[i_ + 1]))) {
        out.push_back({Token::Number, readNumber(), start});
      } else if (isLetter(c) || (c == '-' && i_ + 1 < s_.size() && isLetter(s_[i_ + 1]))) {
        size_t from = i_;
        advance(1);
        while (i_ < s_.size() && (isLetter(s_[i_]) || isDigit(s_[i_]) || s_[i_] == '-')) advance(1);
        out.push_back({Token::Word, s_.substr(from, i_ - from), start});
      } else if (c == '.' && i_ + 1 < s_.size() && s_[i_ + 1] == '.') {
        advance(2);
        out.push_back({Token::Punct, "..", start});
      } else if (c == '{' || c == '}' || c == '(' || c == ')' || c == '=' || c == ',') {
        advance(1);
        out.push_back({Token::Punct, std::string(1, c), start});
      } else {
        size_t used = 0;
        uint32_t cp = decodeUtf8Char(s_, i_, used);
        if (used == 0) throw TextError{start, "the source is not valid UTF-8 here"};
        throw TextError{start, "unexpected character '" + s_.substr(i_, used) + "'" +
                                   (cp == ';' ? " (statements end at the line end)" : "")};
      }
    }
    out.push_back({Token::End, "", pos_});
    return out;
  }

 private:
  void advance(size_t bytes) {
    i_ += bytes;
    pos_.column += 1;
  }

  std::string readNumber() {
    size_t from = i_;
    if (s_[i_] == '-' || s_[i_] == '+') advance(1);
    if (s_[i_] == '0' && i_ + 1 < s_.size() && (s_[i_ + 1] == 'x' || s_[i_ + 1] == 'X')) {
      advance(2);
      while (i_ < s_.size() && isHex(s_[i_])) advance(1);
    } else {
      while (i_ < s_.size() && isDigit(s_[i_])) advance(1);
      // A '.' belongs to the number only when a digit follows: 0..80 is a range.
      if (i_ + 1 < s_.size() && s_[i_] == '.' && isDigit(s_[i_ + 1])) {
        advance(1);
        while (i_ < s_.size() && isDigit(s_[i_])) advance(1);
      }
      if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
        size_t k = i_ + 1;
        if (k < s_.size() && (s_[k] == '+' || s_[k] == '-')) ++k;
        if (k < s_.size() && isDigit(s_[k])) {
          while (i_ < k) advance(1);
          while (i_ < s_.size() && isDigit(s_[i_])) advance(1);
        }
      }
    }
    bool rangeDots = i_ + 1 < s_.size() && s_[i_] == '.' && s_[i_ + 1] == '.';
    if (i_ < s_.size() && (isLetter(s_[i_]) || isDigit(s_[i_]) || (s_[i_] == '.' && !rangeDots)))
      throw TextError{pos_, "malformed number '" + s_.substr(from, i_ - from + 1) + "'"};
    return s_.substr(from, i_ - from);
  }

  std::string readString() {
    TextPos open = pos_;
    advance(1);
    std::string bytes;
    for (;;) {
      if (i_ >= s_.size() || s_[i_] == '\n') throw TextError{open, "string not closed before the end of the line"};
      char c = s_[i_];
      if (c == '"') {
        advance(1);
        return bytes;
      }
      if (c == '\\') {
        TextPos at = pos_;
        if (i_ + 1 >= s_.size()) throw TextError{at, "unfinished escape"};
        char e = s_[i_ + 1];
        if (e == '"' || e == '\\') {
          bytes += e;
          advance(2);
        } else if (e == 'n' || e == 't' || e == 'r') {
          bytes += e == 'n' ? '\n' : e == 't' ? '\t' : '\r';
          advance(2);
        } else if (e == 'x') {
          if (i_ + 3 >= s_.size() || !isHex(s_[i_ + 2]) || !isHex(s_[i_ + 3]))
            throw TextError{at, "\\x needs two hex digits, e.g. \\xA3"};
          bytes += static_cast<char>(hexValue(s_[i_ + 2]) * 16 + hexValue(s_[i_ + 3]));
          advance(4);
        } else {
          throw TextError{at, std::string("unknown escape '\\") + e + "' (use \\\" \\\\ \\n \\t \\r or \\xNN)"};
        }
        continue;
      }
      size_t used = 0;
      uint32_t cp = decodeUtf8Char(s_, i_, used);
      if (used == 0) throw TextError{pos_, "the source is not valid UTF-8 here"};
      if (!appendCodepointAsGbk(cp, bytes)) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(cp));
        throw TextError{pos_, std::string("character ") + hex + " has no GBK form; write its bytes as \\xNN escapes"};
      }
      i_ += used;
      pos_.column += 1;
    }
  }

  const std::string& s_;
  size_t i_ = 0;
  TextPos pos_;
};

}  // namespace

std::vector<Token> tokenizeText(const std::string& source) { return Lexer(source).run(); }

const char* tokenKindName(Token::Kind kind) {
  switch (kind) {
    case Token::Word: return "a word";
    case Token::Number: return "a number";
    case Token::String: return "a string";
    case Token::Punct: return "punctuation";
    case Token::LineEnd: return "the end of the line";
    case Token::End: return "the end of the file";
  }
  return "?";
}
