#include "Dump.h"

#include <cstdio>
#include <map>

#include "Command.h"
#include "Json.h"
#include "OutputFile.h"
#include "base/FileBytes.h"
#include "base/TextCodec.h"

TERVALEN_DATA_COMMAND(dumpCommand, "dump", "dump [--kind chara|scene|res|system|font] FILE", runDump);

std::optional<DataKind> dataKindFromName(const std::string& name) {
  if (name == "chara") return DataKind::Chara;
  if (name == "scene") return DataKind::Scene;
  if (name == "res") return DataKind::Res;
  if (name == "system") return DataKind::System;
  if (name == "font") return DataKind::Font;
  return std::nullopt;
}

std::optional<DataKind> dataKindFromPath(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string folder;
  if (slash != std::string::npos) {
    const std::string dir = path.substr(0, slash);
    const size_t up = dir.find_last_of("/\\");
    folder = up == std::string::npos ? dir : dir.substr(up + 1);
  }
  auto endsWith = [](const std::string& s, const char* suffix) {
    const std::string t = suffix;
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
  };
  if (endsWith(base, ".fnt")) return DataKind::Font;
  if (!endsWith(base, ".dat")) return std::nullopt;
  // data/chara/system.dat is a character file (the shared effects), not the system list.
  if (folder == "chara") return DataKind::Chara;
  if (folder == "scene") return DataKind::Scene;
  if (base == "res.dat") return DataKind::Res;
  if (base == "system.dat") return DataKind::System;
  return std::nullopt;
}

namespace {

void text(JsonWriter& j, const char* key, const std::string& gbk) {
  j.key(key);
  j.value(gbkToUtf8(gbk));
}

void number(JsonWriter& j, const char* key, int64_t v) {
  j.key(key);
  j.value(v);
}

void stringList(JsonWriter& j, const char* key, const std::vector<std::string>& list) {
  j.key(key);
  j.beginArray();
  for (const std::string& s : list) j.value(gbkToUtf8(s));
  j.endArray();
}

void reservedList(JsonWriter& j, const int32_t* values, size_t n) {
  j.key("reserved");
  j.beginArray(true);
  for (size_t i = 0; i < n; ++i) j.value(values[i]);
  j.endArray();
}

void layer(JsonWriter& j, const char* key, const std::vector<SceneFile::SpriteEntry>& sprites) {
  j.key(key);
  j.beginArray();
  for (const SceneFile::SpriteEntry& s : sprites) {
    j.beginObject();
    number(j, "x", s.x);
    number(j, "y", s.y);
    number(j, "texture", s.texture);
    reservedList(j, s.reserved, 5);
    j.endObject();
  }
  j.endArray();
}

}  // namespace

std::string charaToJson(const CharaData& data) {
  JsonWriter j;
  j.beginObject();
  text(j, "name", data.name);
  number(j, "maxHp", data.maxHp);
  number(j, "pictureSet", data.pictureSet);
  j.key("actions");
  j.beginArray();
  for (const Action& action : data.actions) {
    j.beginObject();
    text(j, "name", action.name);
    j.key("codes");
    j.beginArray();
    for (const Instruction& code : action.codes) {
      j.beginObject();
      number(j, "opcode", code.opcode);
      j.key("args");
      j.beginArray(true);
      for (double a : code.args) j.value(a);
      j.endArray();
      j.endObject();
    }
    j.endArray();
    j.endObject();
  }
  j.endArray();
  j.key("reactions");
  j.beginArray(true);
  for (int32_t r : data.reactions) j.value(r);
  j.endArray();
  j.key("aiRules");
  j.beginArray();
  for (const AiRule& rule : data.aiRules) {
    j.beginObject();
    number(j, "minDx", rule.minDx);
    number(j, "maxDx", rule.maxDx);
    number(j, "minDz", rule.minDz);
    number(j, "maxDz", rule.maxDz);
    number(j, "chance", rule.chance);
    number(j, "flagA", rule.flagA);
    number(j, "flagB", rule.flagB);
    number(j, "action", rule.action);
    j.endObject();
  }
  j.endArray();
  if (!data.trailing.empty()) number(j, "trailingBytes", int64_t(data.trailing.size()));
  j.endObject();
  return j.text();
}

std::string sceneToJson(const SceneFile& scene) {
  JsonWriter j;
  j.beginObject();
  text(j, "name", scene.name);
  number(j, "width", scene.width);
  number(j, "depth", scene.depth);
  number(j, "pictureSet", scene.pictureSet);
  text(j, "propId", scene.propId);
  number(j, "backgroundTexture", scene.backgroundTexture);
  reservedList(j, scene.reserved, 2);
  j.key("layers");
  j.beginObject();
  layer(j, "far", scene.far);
  layer(j, "middle", scene.middle);
  layer(j, "near", scene.near);
  j.endObject();
  j.key("props");
  j.beginArray();
  for (const SceneFile::PropEntry& p : scene.props) {
    j.beginObject();
    number(j, "x", p.x);
    number(j, "z", p.z);
    number(j, "y", p.y);
    number(j, "action", p.action);
    j.endObject();
  }
  j.endArray();
  j.key("charas");
  j.beginArray();
  for (const SceneFile::CharaEntry& c : scene.charas) {
    j.beginObject();
    text(j, "id", c.id);
    number(j, "x", c.x);
    number(j, "z", c.z);
    number(j, "reserved", c.reserved);
    j.endObject();
  }
  j.endArray();
  j.key("walls");
  j.beginArray();
  for (const SceneFile::WallEntry& w : scene.walls) {
    j.beginObject();
    number(j, "x", w.x);
    number(j, "z", w.z);
    number(j, "width", w.width);
    number(j, "depth", w.depth);
    number(j, "height", w.height);
    j.endObject();
  }
  j.endArray();
  j.key("doors");
  j.beginArray();
  for (const SceneFile::DoorEntry& d : scene.doors) {
    j.beginObject();
    text(j, "targetScene", d.targetScene);
    number(j, "x", d.x);
    number(j, "z", d.z);
    number(j, "entryX", d.entryX);
    number(j, "entryZ", d.entryZ);
    j.endObject();
  }
  j.endArray();
  if (!scene.trailing.empty()) number(j, "trailingBytes", int64_t(scene.trailing.size()));
  j.endObject();
  return j.text();
}

std::string catalogToJson(const ResourceCatalog& catalog) {
  JsonWriter j;
  j.beginObject();
  j.key("entries");
  j.beginArray();
  for (const ResourceEntry& e : catalog.entries) {
    j.beginObject();
    text(j, "name", e.name);
    stringList(j, "pictures", e.pictures);
    stringList(j, "sounds", e.sounds);
    j.endObject();
  }
  j.endArray();
  if (!catalog.trailing.empty()) number(j, "trailingBytes", int64_t(catalog.trailing.size()));
  j.endObject();
  return j.text();
}

std::string systemToJson(const SystemData& data) {
  JsonWriter j;
  j.beginObject();
  stringList(j, "strings", data.strings);
  if (!data.trailing.empty()) number(j, "trailingBytes", int64_t(data.trailing.size()));
  j.endObject();
  return j.text();
}

std::string fontToJson(const FontDescription& font) {
  // What the font ends up with: a later line for the same code replaces the
  // earlier one; the line height is the tallest glyph line read.
  std::map<int, FontDescription::Glyph> glyphs;
  std::vector<std::string> bitmaps;
  int lineHeight = 0;
  for (const FontDescription::Event& e : font.events) {
    if (e.isBitmap) {
      bitmaps.push_back(e.bitmap);
      continue;
    }
    glyphs[e.glyph.code] = e.glyph;
    if (e.glyph.h > lineHeight) lineHeight = e.glyph.h;
  }
  JsonWriter j;
  j.beginObject();
  stringList(j, "bitmaps", bitmaps);
  number(j, "lineHeight", lineHeight);
  j.key("glyphs");
  j.beginObject();
  for (const auto& [code, g] : glyphs) {
    j.key(std::to_string(code));
    j.beginObject();
    number(j, "x", g.x);
    number(j, "y", g.y);
    number(j, "w", g.w);
    number(j, "h", g.h);
    number(j, "pre", g.pre);
    number(j, "post", g.post);
    j.endObject();
  }
  j.endObject();
  j.endObject();
  return j.text();
}

Expected<std::string> dumpFile(const std::string& path, DataKind kind) {
  Expected<std::vector<uint8_t>> bytes = readFileBytes(path);
  if (!bytes) return bytes.error();
  switch (kind) {
    case DataKind::Chara: {
      Expected<CharaData> r = parseCharaFile(*bytes, path);
      if (!r) return r.error();
      return charaToJson(*r);
    }
    case DataKind::Scene: {
      Expected<SceneFile> r = parseSceneFile(*bytes, path);
      if (!r) return r.error();
      return sceneToJson(*r);
    }
    case DataKind::Res: {
      Expected<ResourceCatalog> r = parseResourceCatalog(*bytes, path);
      if (!r) return r.error();
      return catalogToJson(*r);
    }
    case DataKind::System: {
      Expected<SystemData> r = parseSystemData(*bytes, path);
      if (!r) return r.error();
      return systemToJson(*r);
    }
    case DataKind::Font: {
      FontDescription font;
      if (!parseFontDescription(reinterpret_cast<const char*>(bytes->data()), bytes->size(), font))
        return LoadError{path, 1, "the first line is not [HGEFONT]"};
      return fontToJson(font);
    }
  }
  return LoadError{path, 0, "unknown kind"};
}

int runDump(const std::vector<std::string>& args) {
  const char* usage = "usage: tervalen-data dump [--kind chara|scene|res|system|font] FILE\n";
  std::optional<DataKind> kind;
  std::string path;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--kind") {
      if (i + 1 >= args.size() || !(kind = dataKindFromName(args[i + 1]))) {
        std::fprintf(stderr, "tervalen-data dump: --kind takes chara, scene, res, system or font\n");
        return 2;
      }
      ++i;
    } else if (path.empty() && !args[i].empty() && args[i][0] != '-') {
      path = args[i];
    } else if (path.empty()) {
      std::fprintf(stderr, "tervalen-data dump: unknown option '%s'\n", args[i].c_str());
      std::fputs(usage, stderr);
      return 2;
    } else {
      std::fprintf(stderr, "tervalen-data dump: one file at a time (got '%s' and '%s')\n", path.c_str(),
                   args[i].c_str());
      return 2;
    }
  }
  if (path.empty()) {
    std::fputs(usage, stderr);
    return 2;
  }
  if (!kind) kind = dataKindFromPath(path);
  if (!kind) {
    std::fprintf(stderr,
                 "tervalen-data dump: cannot tell what kind of file %s is from its path; "
                 "give --kind chara|scene|res|system|font\n",
                 path.c_str());
    return 2;
  }
  Expected<std::string> json = dumpFile(path, *kind);
  if (!json) {
    std::fprintf(stderr, "%s\n", json.error().message().c_str());
    return 1;
  }
  std::fwrite(json->data(), 1, json->size(), stdout);
  std::string writeError;
  if (!finishStandardOutput(writeError)) {
    std::fprintf(stderr, "tervalen-data dump: %s\n", writeError.c_str());
    return 1;
  }
  return 0;
}
