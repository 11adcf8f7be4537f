#include "ResText.h"

#include "CountCursor.h"
#include "GbkText.h"
#include "TextNumbers.h"
#include "TrailingText.h"

namespace {

// res.dat stores "last index" counts: -1 for an empty list.
int32_t lastIndex(size_t n) { return static_cast<int32_t>(n) - 1; }

// "picture 3 \"a.png\"" or "picture \"a.png\"": the number, when given, must be the position.
// The highest set number a list may skip ahead to: far beyond any game.
constexpr int32_t kMaxSkippedSet = 10000;

std::string readNumberedName(StatementItems& items, size_t expected, const char* what) {
  const TextValue* first = items.positional(0);
  if (!first) failAt(items.statement().pos, std::string(what) + " needs a \"name\"");
  const TextValue* name = first;
  if (first->kind == TextValue::Number) {
    int32_t n = valueInt32(*first, std::string(what) + " number");
    if (n < 0 || static_cast<size_t>(n) != expected)
      failAt(first->pos, std::string(what) + " " + std::to_string(n) + " is out of order: the next one is number " +
                             std::to_string(expected) + " (they are numbered by position from 0)");
    name = items.positional(1);
    if (!name) failAt(items.statement().pos, std::string(what) + " needs a \"name\"");
  }
  std::string s = valueString(*name, std::string(what) + " name");
  items.finish("an optional number and a \"name\"");
  return s;
}

int32_t readEmptyCount(const TextValue& v, const std::string& what) {
  int32_t n = valueInt32(v, what);
  if (n > -1) failAt(v.pos, "only a last index of -1 or less can stand for an empty list");
  return n;
}

}  // namespace

std::string printResText(const ResourceCatalog& catalog, const CountLog* counts) {
  CountCursor cursor(counts);
  int32_t rawSets = cursor.next(lastIndex(catalog.entries.size()));
  std::string out = "resources\n";
  if (catalog.entries.empty() && rawSets != -1) out += "count sets=" + formatInt(rawSets) + "\n";
  for (size_t i = 0; i < catalog.entries.size(); ++i) {
    const ResourceEntry& e = catalog.entries[i];
    int32_t rawPictures = cursor.next(lastIndex(e.pictures.size()));
    int32_t rawSounds = cursor.next(lastIndex(e.sounds.size()));
    std::string countLine;
    if (e.pictures.empty() && rawPictures != -1) countLine += " pictures=" + formatInt(rawPictures);
    if (e.sounds.empty() && rawSounds != -1) countLine += " sounds=" + formatInt(rawSounds);
    out += "\nset " + formatInt(static_cast<int64_t>(i)) + " " + quoteGbk(e.name);
    if (e.pictures.empty() && e.sounds.empty() && countLine.empty()) {
      out += " {}\n";
      continue;
    }
    out += " {\n";
    if (!countLine.empty()) out += "  count" + countLine + "\n";
    for (size_t k = 0; k < e.pictures.size(); ++k)
      out += "  picture " + formatInt(static_cast<int64_t>(k)) + " " + quoteGbk(e.pictures[k]) + "\n";
    for (size_t k = 0; k < e.sounds.size(); ++k)
      out += "  sound " + formatInt(static_cast<int64_t>(k)) + " " + quoteGbk(e.sounds[k]) + "\n";
    out += "}\n";
  }
  out += printTrailingBytes(catalog.trailing);
  return out;
}

void readResText(const std::vector<TextStatement>& file, ResourceCatalog& catalog, CountLog& counts) {
  catalog = ResourceCatalog{};
  counts.values.clear();
  if (file.empty() || file[0].keyword != "resources")
    failAt(file.empty() ? TextPos{} : file[0].pos, "a resource list starts with: resources");
  int32_t rawSets = -1;
  bool haveCount = false, haveTrailing = false;
  std::vector<std::pair<int32_t, int32_t>> rawLists;  // per set: pictures, sounds
  for (size_t i = 0; i < file.size(); ++i) {
    const TextStatement& st = file[i];
    StatementItems items(st);
    if (st.keyword == "trailing") {
      readTrailingBytes(st, haveTrailing, catalog.trailing);
    } else if (st.keyword == "resources") {
      requireNoBlock(st);
      if (i != 0) failAt(st.pos, "resources appears twice");
      items.finish("nothing");
    } else if (st.keyword == "count") {
      requireNoBlock(st);
      if (haveCount) failAt(st.pos, "count given twice");
      haveCount = true;
      if (const TextValue* v = items.named("sets")) rawSets = readEmptyCount(*v, "count sets");
      items.finish("sets=N");
    } else if (st.keyword == "set") {
      // A set may skip ahead ("set 20" first, in a mod's list): the places it
      // skips are empty sets, which leave the sets of the layers below as they are.
      if (const TextValue* first = items.positional(0); first && first->kind == TextValue::Number) {
        const int32_t n = valueInt32(*first, "set number");
        if (n > static_cast<int32_t>(catalog.entries.size()) && n <= kMaxSkippedSet) {
          catalog.entries.resize(static_cast<size_t>(n));
          rawLists.resize(static_cast<size_t>(n), {-1, -1});  // empty lists, as an empty set writes them
        }
      }
      ResourceEntry entry;
      entry.name = readNumberedName(items, catalog.entries.size(), "set");
      if (!st.hasBlock) failAt(st.pos, "set needs a { ... } block with its pictures and sounds (it may be empty: {})");
      int32_t rawPictures = -1, rawSounds = -1;
      bool setCount = false;
      for (const TextStatement& inner : st.block) {
        requireNoBlock(inner);
        StatementItems in(inner);
        if (inner.keyword == "picture") {
          entry.pictures.push_back(readNumberedName(in, entry.pictures.size(), "picture"));
        } else if (inner.keyword == "sound") {
          entry.sounds.push_back(readNumberedName(in, entry.sounds.size(), "sound"));
        } else if (inner.keyword == "count") {
          if (setCount) failAt(inner.pos, "count given twice");
          setCount = true;
          if (const TextValue* v = in.named("pictures")) rawPictures = readEmptyCount(*v, "count pictures");
          if (const TextValue* v = in.named("sounds")) rawSounds = readEmptyCount(*v, "count sounds");
          in.finish("pictures=N, sounds=N");
        } else {
          failAt(inner.pos, "unknown statement '" + inner.keyword + "' in a set (picture, sound, count)");
        }
      }
      if (rawPictures != -1 && !entry.pictures.empty()) failAt(st.pos, "count pictures= is only for a set without pictures");
      if (rawSounds != -1 && !entry.sounds.empty()) failAt(st.pos, "count sounds= is only for a set without sounds");
      rawLists.emplace_back(rawPictures, rawSounds);
      catalog.entries.push_back(std::move(entry));
    } else {
      failAt(st.pos, "unknown statement '" + st.keyword + "' in a resource list (resources, set, count, trailing)");
    }
  }
  if (rawSets != -1 && !catalog.entries.empty()) failAt(file[0].pos, "count sets= is only for a list without sets");
  counts.values.push_back(catalog.entries.empty() ? rawSets : lastIndex(catalog.entries.size()));
  for (size_t i = 0; i < catalog.entries.size(); ++i) {
    const ResourceEntry& e = catalog.entries[i];
    counts.values.push_back(e.pictures.empty() ? rawLists[i].first : lastIndex(e.pictures.size()));
    counts.values.push_back(e.sounds.empty() ? rawLists[i].second : lastIndex(e.sounds.size()));
  }
}
