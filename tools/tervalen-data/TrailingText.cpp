#include "TrailingText.h"

#include "GbkText.h"

std::string printTrailingBytes(const std::string& bytes) {
  if (bytes.empty()) return {};
  const std::string count = std::to_string(bytes.size()) + (bytes.size() == 1 ? " byte" : " bytes");
  return "\n# " + count +
         " after the last record: the game ignores them; kept so the file compiles back byte for byte\n"
         "trailing " + quoteGbk(bytes) + "\n";
}

void readTrailingBytes(const TextStatement& st, bool& seen, std::string& out) {
  requireNoBlock(st);
  if (seen) failAt(st.pos, "trailing given twice");
  seen = true;
  StatementItems items(st);
  const TextValue* v = items.positional(0);
  if (!v || v->kind != TextValue::String) failAt(st.pos, "trailing needs a \"string\" of bytes");
  out = v->text;  // any length: these bytes are not a short string
  items.finish("one \"string\"");
}
