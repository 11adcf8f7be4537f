#include "SystemText.h"

#include "CountCursor.h"
#include "GbkText.h"
#include "TextNumbers.h"
#include "TrailingText.h"

std::string printSystemText(const SystemData& data, const CountLog* counts) {
  CountCursor cursor(counts);
  int32_t raw = cursor.next(static_cast<int32_t>(data.strings.size()));
  std::string out = "system\n";
  if (data.strings.empty() && raw != 0) out += "count strings=" + formatInt(raw) + "\n";
  for (const std::string& s : data.strings) out += "string " + quoteGbk(s) + "\n";
  out += printTrailingBytes(data.trailing);
  return out;
}

void readSystemText(const std::vector<TextStatement>& file, SystemData& data, CountLog& counts) {
  data = SystemData{};
  counts.values.clear();
  if (file.empty() || file[0].keyword != "system")
    failAt(file.empty() ? TextPos{} : file[0].pos, "a system data source starts with: system");
  int32_t raw = 0;
  bool haveCount = false, haveTrailing = false;
  TextPos countPos;
  for (size_t i = 0; i < file.size(); ++i) {
    const TextStatement& st = file[i];
    requireNoBlock(st);
    StatementItems items(st);
    if (st.keyword == "system") {
      if (i != 0) failAt(st.pos, "system appears twice");
      items.finish("nothing");
    } else if (st.keyword == "string") {
      const TextValue* v = items.positional(0);
      if (!v) failAt(st.pos, "string needs a \"text\"");
      data.strings.push_back(valueString(*v, "string"));
      items.finish("one \"text\"");
    } else if (st.keyword == "trailing") {
      readTrailingBytes(st, haveTrailing, data.trailing);
    } else if (st.keyword == "count") {
      if (haveCount) failAt(st.pos, "count given twice");
      haveCount = true;
      countPos = st.pos;
      if (const TextValue* v = items.named("strings")) {
        raw = valueInt32(*v, "count strings");
        if (raw > 0) failAt(v->pos, "only a count of 0 or less can stand for an empty list");
      }
      items.finish("strings=N");
    } else {
      failAt(st.pos, "unknown statement '" + st.keyword + "' in a system data source (system, string, trailing, count)");
    }
  }
  if (raw != 0 && !data.strings.empty()) failAt(countPos, "count strings= is only for a file without strings");
  counts.values.push_back(data.strings.empty() ? raw : static_cast<int32_t>(data.strings.size()));
}
