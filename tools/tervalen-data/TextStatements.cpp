#include "TextStatements.h"

#include <optional>

#include "TextNumbers.h"

namespace {

class StatementParser {
 public:
  explicit StatementParser(const std::vector<Token>& t) : t_(t) {}

  std::vector<TextStatement> file() {
    std::vector<TextStatement> out = statements(false);
    return out;
  }

 private:
  const Token& peek() const { return t_[i_]; }
  const Token& take() { return t_[i_ < t_.size() - 1 ? i_++ : i_]; }
  bool isPunct(const char* p) const { return peek().kind == Token::Punct && peek().text == p; }

  // Statements up to '}' (inside a block) or the end of the file.
  std::vector<TextStatement> statements(bool inBlock) {
    std::vector<TextStatement> out;
    for (;;) {
      const Token& tok = peek();
      if (tok.kind == Token::LineEnd) {
        take();
        continue;
      }
      if (tok.kind == Token::End) {
        if (inBlock) failAt(tok.pos, "'}' missing: the block is not closed");
        return out;
      }
      if (tok.kind == Token::Punct && tok.text == "}") {
        if (!inBlock) failAt(tok.pos, "'}' without a block to close");
        return out;
      }
      out.push_back(statement());
    }
  }

  TextStatement statement() {
    const Token& kw = take();
    if (kw.kind != Token::Word) failAt(kw.pos, std::string("expected a keyword, found ") + describe(kw));
    TextStatement st;
    st.keyword = kw.text;
    st.pos = kw.pos;
    for (;;) {
      const Token& tok = peek();
      if (tok.kind == Token::LineEnd || tok.kind == Token::End) break;
      if (tok.kind == Token::Punct && tok.text == "}") break;  // "action 3 {}" closes on the same line
      if (tok.kind == Token::Punct && tok.text == "{") {
        enter(take());
        st.hasBlock = true;
        st.block = statements(true);
        take();  // '}'
        leave();
        const Token& after = peek();
        if (after.kind != Token::LineEnd && after.kind != Token::End && !(after.kind == Token::Punct && after.text == "}"))
          failAt(after.pos, "expected the end of the line after '}'");
        break;
      }
      TextItem item;
      item.pos = tok.pos;
      if (tok.kind == Token::Word && t_[i_ + 1].kind == Token::Punct && t_[i_ + 1].text == "=") {
        item.name = tok.text;
        take();
        take();
        item.value = value();
      } else {
        item.value = value();
      }
      st.items.push_back(std::move(item));
    }
    return st;
  }

  TextValue value() {
    const Token& tok = take();
    TextValue v;
    v.pos = tok.pos;
    switch (tok.kind) {
      case Token::Number:
        v.kind = TextValue::Number;
        v.text = tok.text;
        if (isPunct("..")) {
          take();
          const Token& hi = take();
          if (hi.kind != Token::Number) failAt(hi.pos, std::string("expected a number after '..', found ") + describe(hi));
          v.kind = TextValue::Range;
          v.high = hi.text;
          v.highPos = hi.pos;
        }
        return v;
      case Token::String:
        v.kind = TextValue::String;
        v.text = tok.text;
        return v;
      case Token::Word:
        v.text = tok.text;
        if (isPunct("(")) {
          v.kind = TextValue::Call;
          enter(take());
          v.items = listRest();
          leave();
        } else {
          v.kind = TextValue::Word;
        }
        return v;
      case Token::Punct:
        if (tok.text == "(") {
          v.kind = TextValue::List;
          enter(tok);
          v.items = listRest();
          leave();
          return v;
        }
        break;
      default:
        break;
    }
    failAt(tok.pos, std::string("expected a value, found ") + describe(tok));
  }

  // After '(': values separated by ',' up to ')'.
  std::vector<TextValue> listRest() {
    std::vector<TextValue> items;
    if (isPunct(")")) {
      take();
      return items;
    }
    for (;;) {
      items.push_back(value());
      const Token& sep = take();
      if (sep.kind == Token::Punct && sep.text == ")") return items;
      if (!(sep.kind == Token::Punct && sep.text == ","))
        failAt(sep.pos, std::string("expected ',' or ')' in the list, found ") + describe(sep));
    }
  }

  static std::string describe(const Token& t) {
    if (t.kind == Token::Punct) return "'" + t.text + "'";
    if (t.kind == Token::Word || t.kind == Token::Number) return "'" + t.text + "'";
    return tokenKindName(t.kind);
  }

  // Blocks and lists nest by recursion: a limit keeps a hostile source from
  // exhausting the stack.
  void enter(const Token& opening) {
    if (++depth_ > kMaxTextNesting)
      failAt(opening.pos, "'" + opening.text + "' nests deeper than " + std::to_string(kMaxTextNesting) +
                              " levels of ( and {");
  }
  void leave() { --depth_; }

  const std::vector<Token>& t_;
  size_t i_ = 0;
  int depth_ = 0;
};

const char* kindName(TextValue::Kind k) {
  switch (k) {
    case TextValue::Number: return "a number";
    case TextValue::String: return "a string";
    case TextValue::Word: return "a word";
    case TextValue::Range: return "a range";
    case TextValue::List: return "a list";
    case TextValue::Call: return "a call";
  }
  return "?";
}

}  // namespace

void failAt(TextPos pos, const std::string& message) { throw TextError{pos, message}; }

std::vector<TextStatement> parseStatements(const std::vector<Token>& tokens) {
  return StatementParser(tokens).file();
}

int32_t valueInt32(const TextValue& v, const std::string& what) {
  if (v.kind != TextValue::Number) failAt(v.pos, what + ": expected a whole number, found " + kindName(v.kind));
  std::optional<int32_t> n = parseInt32(v.text);
  if (!n) failAt(v.pos, what + ": '" + v.text + "' is not a whole number from -2147483648 to 2147483647");
  return *n;
}

double valueDouble(const TextValue& v, const std::string& what) {
  if (v.kind == TextValue::Number) {
    std::optional<double> d = parseDecimalDouble(v.text);
    if (!d) failAt(v.pos, what + ": '" + v.text + "' is not a decimal number a double can hold");
    return *d;
  }
  if (v.kind == TextValue::Word) {
    if (v.text == "inf") return __builtin_inf();
    if (v.text == "-inf") return -__builtin_inf();
    if (v.text == "nan") return __builtin_bit_cast(double, 0x7FF8000000000000ull);
  }
  if (v.kind == TextValue::Call && v.text == "bits") {
    if (v.items.size() != 1 || v.items[0].kind != TextValue::Number)
      failAt(v.pos, what + ": bits(...) takes one hex number, e.g. bits(0x7FF8000000000001)");
    std::optional<uint64_t> b = parseHexBits(v.items[0].text);
    if (!b) failAt(v.items[0].pos, what + ": '" + v.items[0].text + "' is not 0x and 1 to 16 hex digits");
    return __builtin_bit_cast(double, *b);
  }
  failAt(v.pos, what + ": expected a number, found " + (v.kind == TextValue::Word ? "'" + v.text + "'" : kindName(v.kind)));
}

std::string valueString(const TextValue& v, const std::string& what) {
  if (v.kind != TextValue::String) failAt(v.pos, what + ": expected a \"string\", found " + kindName(v.kind));
  if (v.text.size() > 127)
    failAt(v.pos, what + ": " + std::to_string(v.text.size()) + " bytes in GBK; a name holds at most 127");
  return v.text;
}

StatementItems::StatementItems(const TextStatement& st) : st_(st) {
  for (const TextItem& item : st.items) {
    if (item.name.empty()) {
      positional_.push_back(&item.value);
      positionalUsed_.push_back(false);
      continue;
    }
    for (const TextItem* other : named_)
      if (other->name == item.name) failAt(item.pos, "'" + item.name + "' given twice");
    named_.push_back(&item);
    namedUsed_.push_back(false);
  }
}

const TextValue* StatementItems::positional(size_t i) {
  if (i >= positional_.size()) return nullptr;
  positionalUsed_[i] = true;
  return positional_[i];
}

const TextValue* StatementItems::named(const std::string& name) {
  for (size_t i = 0; i < named_.size(); ++i) {
    if (named_[i]->name == name) {
      namedUsed_[i] = true;
      return &named_[i]->value;
    }
  }
  return nullptr;
}

bool StatementItems::has(const std::string& name) const {
  for (const TextItem* item : named_)
    if (item->name == name) return true;
  return false;
}

void StatementItems::finish(const std::string& accepted) {
  for (size_t i = 0; i < named_.size(); ++i)
    if (!namedUsed_[i])
      failAt(named_[i]->pos, "'" + st_.keyword + "' has no field '" + named_[i]->name + "' (it takes: " + accepted + ")");
  for (size_t i = 0; i < positional_.size(); ++i)
    if (!positionalUsed_[i]) failAt(positional_[i]->pos, "too many values for '" + st_.keyword + "' (it takes: " + accepted + ")");
}

void requireNoBlock(const TextStatement& st) {
  if (st.hasBlock) failAt(st.pos, "'" + st.keyword + "' takes no { } block");
}
