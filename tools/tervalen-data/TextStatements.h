// The shape shared by every data text file: one statement per line, a keyword
// followed by values (positional, or name=value), optionally followed by a
// { ... } block of further statements. Values are numbers, "strings", words,
// ranges lo..hi, lists (a, b, c) and calls such as bits(0x7FF8000000000001).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "TextLexer.h"

struct TextValue {
  enum Kind { Number, String, Word, Range, List, Call };
  Kind kind = Number;
  TextPos pos;
  std::string text;               // number as written, string bytes (GBK), word, call name, range low end
  std::string high;               // range high end
  TextPos highPos;                // where the high end is
  std::vector<TextValue> items;   // list or call arguments
};

struct TextItem {
  std::string name;  // empty for a positional value
  TextPos pos;       // of the name, or of the value when positional
  TextValue value;
};

struct TextStatement {
  std::string keyword;
  TextPos pos;
  std::vector<TextItem> items;
  bool hasBlock = false;
  std::vector<TextStatement> block;
};

// How deep blocks { } and lists ( ) may nest inside each other.
constexpr int kMaxTextNesting = 64;

// Parses the tokens into statements. Throws TextError, also for nesting
// deeper than kMaxTextNesting.
std::vector<TextStatement> parseStatements(const std::vector<Token>& tokens);

// Conversions of one value; each throws TextError naming `what` on a mismatch.
int32_t valueInt32(const TextValue& v, const std::string& what);
double valueDouble(const TextValue& v, const std::string& what);
std::string valueString(const TextValue& v, const std::string& what);

// The items of one statement, taken by name or position. finish() rejects
// anything not taken, listing what the statement accepts.
class StatementItems {
 public:
  explicit StatementItems(const TextStatement& st);

  size_t positionalCount() const { return positional_.size(); }
  const TextValue* positional(size_t i);  // nullptr past the end
  const TextValue* named(const std::string& name);  // nullptr when absent
  bool has(const std::string& name) const;
  // Throws on an item not taken. `accepted` lists the names for the message.
  void finish(const std::string& accepted);
  const TextStatement& statement() const { return st_; }

 private:
  const TextStatement& st_;
  std::vector<const TextValue*> positional_;
  std::vector<bool> positionalUsed_;
  std::vector<const TextItem*> named_;
  std::vector<bool> namedUsed_;
};

// Helpers for the common checks.
[[noreturn]] void failAt(TextPos pos, const std::string& message);
void requireNoBlock(const TextStatement& st);
