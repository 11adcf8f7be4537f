// Tokens of the data text form: words, numbers, strings (already converted to
// GBK bytes), punctuation and line ends. Comments run from '#' to the line end.
#pragma once

#include <string>
#include <vector>

struct TextPos {
  int line = 1;
  int column = 1;  // counted in characters (UTF-8 sequences), from 1
};

// A malformed source: where and what. Text readers throw it; the compiler turns
// it into "file:line:column: message".
struct TextError {
  TextPos pos;
  std::string message;
};

struct Token {
  enum Kind { Word, Number, String, Punct, LineEnd, End };
  Kind kind = End;
  std::string text;  // the word, the number as written, the string's GBK bytes, the punctuation
  TextPos pos;
};

// The whole source as tokens, ending with one End token. Throws TextError.
std::vector<Token> tokenizeText(const std::string& source);

const char* tokenKindName(Token::Kind kind);
