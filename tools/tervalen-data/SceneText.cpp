#include "SceneText.h"

#include "CountCursor.h"
#include "GbkText.h"
#include "TextIds.h"
#include "TextNumbers.h"
#include "TrailingText.h"

namespace {

const char* const kListNames[7] = {"far", "middle", "near", "props", "enemies", "walls", "doors"};

std::string field(const char* name, int32_t v) { return std::string(" ") + name + "=" + formatInt(v); }

int32_t requiredInt(StatementItems& items, const char* name) {
  const TextValue* v = items.named(name);
  if (!v) failAt(items.statement().pos, "'" + items.statement().keyword + "' needs " + name + "=N");
  return valueInt32(*v, items.statement().keyword + " " + name);
}

int32_t optionalInt(StatementItems& items, const char* name) {
  const TextValue* v = items.named(name);
  return v ? valueInt32(*v, items.statement().keyword + " " + name) : 0;
}

int32_t singleInt(StatementItems& items) {
  const TextValue* v = items.positional(0);
  if (!v) failAt(items.statement().pos, "'" + items.statement().keyword + "' needs a whole number");
  int32_t n = valueInt32(*v, items.statement().keyword);
  items.finish("one whole number");
  return n;
}

}  // namespace

std::string printSceneText(const SceneFile& s, const CountLog* counts) {
  CountCursor cursor(counts);
  const size_t sizes[7] = {s.far.size(), s.middle.size(), s.near.size(), s.props.size(),
                           s.charas.size(), s.walls.size(), s.doors.size()};
  std::string countLine;
  for (int i = 0; i < 7; ++i) {
    int32_t raw = cursor.next(static_cast<int32_t>(sizes[i]));
    if (sizes[i] == 0 && raw != 0) countLine += std::string(" ") + kListNames[i] + "=" + formatInt(raw);
  }

  std::string out = "scene " + quoteGbk(s.name) + "\n";
  out += "size" + field("width", s.width) + field("depth", s.depth) + "\n";
  out += "picture-set " + formatInt(s.pictureSet) + "\n";
  if (!s.propId.empty() || !s.props.empty()) out += idNote(s.propId);
  out += "prop-chara " + quoteGbk(s.propId) + "\n";
  out += "background " + formatInt(s.backgroundTexture) + "\n";
  if (s.reserved[0] || s.reserved[1]) out += "reserved " + formatInt(s.reserved[0]) + " " + formatInt(s.reserved[1]) + "\n";
  if (!countLine.empty()) out += "count" + countLine + "\n";

  const std::vector<SceneFile::SpriteEntry>* layers[3] = {&s.far, &s.middle, &s.near};
  if (!s.far.empty() || !s.middle.empty() || !s.near.empty()) out += "\n";
  for (int l = 0; l < 3; ++l) {
    for (const SceneFile::SpriteEntry& e : *layers[l]) {
      out += std::string(kListNames[l]) + field("x", e.x) + field("y", e.y) + field("picture", e.texture);
      bool anyReserved = false;
      for (int32_t r : e.reserved) anyReserved |= r != 0;
      if (anyReserved) {
        out += " reserved=(";
        for (int k = 0; k < 5; ++k) out += (k ? ", " : "") + formatInt(e.reserved[k]);
        out += ")";
      }
      out += "\n";
    }
  }
  if (!s.props.empty()) out += "\n";
  for (const SceneFile::PropEntry& p : s.props)
    out += "prop" + field("x", p.x) + field("z", p.z) + field("y", p.y) + field("action", p.action) + "\n";
  if (!s.charas.empty()) out += "\n";
  for (const SceneFile::CharaEntry& c : s.charas) {
    out += idNote(c.id);
    out += "enemy " + quoteGbk(c.id) + field("x", c.x) + field("z", c.z);
    if (c.reserved) out += field("reserved", c.reserved);
    out += "\n";
  }
  if (!s.walls.empty()) out += "\n";
  for (const SceneFile::WallEntry& w : s.walls)
    out += "wall" + field("x", w.x) + field("z", w.z) + field("width", w.width) + field("depth", w.depth) +
           field("height", w.height) + "\n";
  if (!s.doors.empty()) out += "\n";
  for (const SceneFile::DoorEntry& d : s.doors)
    out += idNote(d.targetScene) + "door " + quoteGbk(d.targetScene) + field("x", d.x) + field("z", d.z) +
           field("entry-x", d.entryX) + field("entry-z", d.entryZ) + "\n";
  out += printTrailingBytes(s.trailing);
  return out;
}

void readSceneText(const std::vector<TextStatement>& file, SceneFile& s, CountLog& counts) {
  s = SceneFile{};
  counts.values.clear();
  if (file.empty() || file[0].keyword != "scene")
    failAt(file.empty() ? TextPos{} : file[0].pos, "a scene source starts with: scene \"name\"");
  int32_t raw[7] = {0, 0, 0, 0, 0, 0, 0};
  bool seen[6] = {false, false, false, false, false, false};  // size, picture-set, prop-chara, background, reserved, count
  bool seenTrailing = false;
  TextPos countPos, propCharaPos;
  auto once = [&](int k, const TextStatement& st) {
    if (seen[k]) failAt(st.pos, st.keyword + " given twice");
    seen[k] = true;
  };
  for (size_t i = 0; i < file.size(); ++i) {
    const TextStatement& st = file[i];
    const std::string& kw = st.keyword;
    if (kw == "trailing") {
      readTrailingBytes(st, seenTrailing, s.trailing);
      continue;
    }
    requireNoBlock(st);
    StatementItems items(st);
    if (kw == "scene") {
      if (i != 0) failAt(st.pos, "scene appears twice");
      const TextValue* name = items.positional(0);
      if (!name) failAt(st.pos, "scene needs the scene's name: scene \"Test\"");
      s.name = valueString(*name, "scene name");
      items.finish("the scene's \"name\"");
    } else if (kw == "size") {
      once(0, st);
      s.width = requiredInt(items, "width");
      s.depth = requiredInt(items, "depth");
      items.finish("width, depth");
    } else if (kw == "picture-set") {
      once(1, st);
      s.pictureSet = singleInt(items);
    } else if (kw == "prop-chara") {
      once(2, st);
      propCharaPos = st.pos;
      const TextValue* id = items.positional(0);
      if (!id) failAt(st.pos, "prop-chara needs a character id: prop-chara \"crate\"");
      // Empty only stands for "no props": a scene with props is checked below.
      s.propId = id->kind == TextValue::String && id->text.empty() ? std::string()
                                                                     : readPlainId(*id, "prop character id");
      items.finish("a character \"id\"");
    } else if (kw == "background") {
      once(3, st);
      s.backgroundTexture = singleInt(items);
    } else if (kw == "reserved") {
      once(4, st);
      for (int k = 0; k < 2; ++k) {
        const TextValue* v = items.positional(static_cast<size_t>(k));
        if (!v) failAt(st.pos, "reserved takes two whole numbers");
        s.reserved[k] = valueInt32(*v, "reserved");
      }
      items.finish("two whole numbers");
    } else if (kw == "count") {
      once(5, st);
      countPos = st.pos;
      for (int k = 0; k < 7; ++k) {
        if (const TextValue* v = items.named(kListNames[k])) {
          raw[k] = valueInt32(*v, std::string("count ") + kListNames[k]);
          if (raw[k] > 0) failAt(v->pos, "only a count of 0 or less can stand for an empty list");
        }
      }
      items.finish("far, middle, near, props, enemies, walls, doors");
    } else if (kw == "far" || kw == "middle" || kw == "near") {
      SceneFile::SpriteEntry e;
      e.x = requiredInt(items, "x");
      e.y = requiredInt(items, "y");
      e.texture = requiredInt(items, "picture");
      if (const TextValue* r = items.named("reserved")) {
        if (r->kind != TextValue::List || r->items.size() != 5)
          failAt(r->pos, "reserved takes a list of five whole numbers: reserved=(0, 0, 0, 0, 0)");
        for (int k = 0; k < 5; ++k) e.reserved[k] = valueInt32(r->items[static_cast<size_t>(k)], "reserved");
      }
      items.finish("x, y, picture, reserved=(5 numbers)");
      (kw == "far" ? s.far : kw == "middle" ? s.middle : s.near).push_back(e);
    } else if (kw == "prop") {
      SceneFile::PropEntry p;
      p.x = requiredInt(items, "x");
      p.z = requiredInt(items, "z");
      p.y = optionalInt(items, "y");
      p.action = optionalInt(items, "action");
      items.finish("x, z, y, action");
      s.props.push_back(p);
    } else if (kw == "enemy") {
      SceneFile::CharaEntry c;
      const TextValue* id = items.positional(0);
      if (!id) failAt(st.pos, "enemy needs a character id: enemy \"guai01\" x=600 z=120");
      c.id = readPlainId(*id, "enemy id");
      c.x = requiredInt(items, "x");
      c.z = requiredInt(items, "z");
      c.reserved = optionalInt(items, "reserved");
      items.finish("an \"id\", x, z, reserved");
      s.charas.push_back(c);
    } else if (kw == "wall") {
      SceneFile::WallEntry w;
      w.x = requiredInt(items, "x");
      w.z = requiredInt(items, "z");
      w.width = requiredInt(items, "width");
      w.depth = requiredInt(items, "depth");
      w.height = optionalInt(items, "height");
      items.finish("x, z, width, depth, height");
      s.walls.push_back(w);
    } else if (kw == "door") {
      SceneFile::DoorEntry d;
      const TextValue* target = items.positional(0);
      if (!target) failAt(st.pos, "door needs the target scene: door \"Stage2\" x=1550 z=100 entry-x=100 entry-z=100");
      d.targetScene = readPlainId(*target, "door target");
      d.x = requiredInt(items, "x");
      d.z = requiredInt(items, "z");
      d.entryX = requiredInt(items, "entry-x");
      d.entryZ = requiredInt(items, "entry-z");
      items.finish("a target \"scene\", x, z, entry-x, entry-z");
      s.doors.push_back(d);
    } else {
      failAt(st.pos, "unknown statement '" + kw +
                         "' in a scene source (scene, size, picture-set, prop-chara, background, reserved, count, far, "
                         "middle, near, prop, enemy, wall, door, trailing)");
    }
  }
  if (!seen[0]) failAt(file[0].pos, "the scene has no size line");
  if (!seen[1]) failAt(file[0].pos, "the scene has no picture-set line");
  if (!s.props.empty() && s.propId.empty())
    failAt(seen[2] ? propCharaPos : file[0].pos,
           "the scene has props, so it needs the character they are made from: prop-chara \"crate\"");
  const size_t sizes[7] = {s.far.size(), s.middle.size(), s.near.size(), s.props.size(),
                           s.charas.size(), s.walls.size(), s.doors.size()};
  for (int k = 0; k < 7; ++k) {
    if (raw[k] != 0 && sizes[k] != 0)
      failAt(countPos, std::string("count ") + kListNames[k] + "= is only for an empty list");
    counts.values.push_back(sizes[k] ? static_cast<int32_t>(sizes[k]) : raw[k]);
  }
}
