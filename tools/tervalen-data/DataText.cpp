#include "DataText.h"

#include "CharaText.h"
#include "ResText.h"
#include "SceneText.h"
#include "SystemText.h"
#include "TextStatements.h"

const char* textKindName(DataKind kind) {
  switch (kind) {
    case DataKind::Chara: return "chara";
    case DataKind::Scene: return "scene";
    case DataKind::Res: return "res";
    case DataKind::System: return "system";
    case DataKind::Font: return "font";
  }
  return "?";
}

namespace {

DataKind kindOfSource(const std::vector<TextStatement>& file) {
  if (file.empty()) failAt(TextPos{}, "the source is empty; it starts with chara, scene, resources or system");
  const std::string& kw = file[0].keyword;
  if (kw == "chara") return DataKind::Chara;
  if (kw == "scene") return DataKind::Scene;
  if (kw == "resources") return DataKind::Res;
  if (kw == "system") return DataKind::System;
  failAt(file[0].pos, "unknown kind of source '" + kw + "': it starts with chara, scene, resources or system");
}

}  // namespace

bool compileDataText(const std::string& source, std::optional<DataKind> expected, std::vector<uint8_t>& out,
                     TextError& error, DataKind* compiledKind) {
  try {
    std::vector<TextStatement> file = parseStatements(tokenizeText(source));
    DataKind kind = kindOfSource(file);
    if (expected && *expected != kind)
      failAt(file[0].pos, std::string("this is a ") + textKindName(kind) + " source, not " + textKindName(*expected));
    if (compiledKind) *compiledKind = kind;
    CountLog counts;
    switch (kind) {
      case DataKind::Chara: {
        CharaData data;
        readCharaText(file, data, counts);
        out = writeCharaFile(data, &counts);
        break;
      }
      case DataKind::Scene: {
        SceneFile scene;
        readSceneText(file, scene, counts);
        out = writeSceneFile(scene, &counts);
        break;
      }
      case DataKind::Res: {
        ResourceCatalog catalog;
        readResText(file, catalog, counts);
        out = writeResourceCatalog(catalog, &counts);
        break;
      }
      case DataKind::System: {
        SystemData data;
        readSystemText(file, data, counts);
        out = writeSystemData(data, &counts);
        break;
      }
      case DataKind::Font:
        failAt(file[0].pos, "font descriptions are text already; there is nothing to compile");
    }
    return true;
  } catch (const TextError& e) {
    error = e;
    out.clear();
    return false;
  }
}

Expected<std::string> decompileData(std::span<const uint8_t> bytes, const std::string& file, DataKind kind) {
  CountLog counts;
  switch (kind) {
    case DataKind::Chara: {
      Expected<CharaData> data = parseCharaFile(bytes, file, &counts);
      if (!data) return data.error();
      return printCharaText(*data, &counts);
    }
    case DataKind::Scene: {
      Expected<SceneFile> scene = parseSceneFile(bytes, file, &counts);
      if (!scene) return scene.error();
      return printSceneText(*scene, &counts);
    }
    case DataKind::Res: {
      Expected<ResourceCatalog> catalog = parseResourceCatalog(bytes, file, &counts);
      if (!catalog) return catalog.error();
      return printResText(*catalog, &counts);
    }
    case DataKind::System: {
      Expected<SystemData> data = parseSystemData(bytes, file, &counts);
      if (!data) return data.error();
      return printSystemText(*data, &counts);
    }
    case DataKind::Font:
      break;
  }
  return LoadError{file, 0, "font descriptions are text already; there is nothing to decompile"};
}

bool canonicalText(const std::string& source, std::optional<DataKind> expected, std::string& out, TextError& error) {
  std::vector<uint8_t> bytes;
  DataKind kind = DataKind::Chara;
  if (!compileDataText(source, expected, bytes, error, &kind)) return false;
  Expected<std::string> text = decompileData(bytes, "<compiled>", kind);
  if (!text) {
    error = TextError{TextPos{}, "the compiled file does not read back: " + text.error().message()};
    return false;
  }
  out = *text;
  return true;
}
