#include "object/Library.h"

#include <algorithm>

#include "base/DataFile.h"
#include "base/DataPath.h"

Library::Library(HGE* engine, const ResourceCatalog* catalog) : engine(engine), catalog(catalog) {}

Library::~Library() = default;

CharaData* Library::findOrLoad(const std::string& id) {
  for (const std::unique_ptr<CharaData>& data : charaData) {
    if (data->id == id) return data.get();
  }
  // A file that failed once is not read (nor logged) again.
  if (std::find(failedIds.begin(), failedIds.end(), id) != failedIds.end()) return nullptr;
  auto record = std::make_unique<CharaData>();
  if (!loadCharaFile(*record, id)) {
    failedIds.push_back(id);
    return nullptr;
  }
  charaData.push_back(std::move(record));
  return charaData.back().get();
}

bool Library::loadCharaFile(CharaData& record, const std::string& id) {
  // Ids come from data files in GBK; names on disk are UTF-8.
  Expected<std::string> path = dataFilePath(DataFileKind::Chara, id);
  if (!path) {
    engine->System_Log("character id %s: %s", path.error().file.c_str(), path.error().what.c_str());
    return false;
  }
  Expected<CharaData> parsed = readDataFile(
      *path, [](const std::vector<uint8_t>& bytes, const std::string& file) { return parseCharaFile(bytes, file); },
      [this](const std::string& warning) { engine->System_Log("%s", warning.c_str()); });
  if (!parsed) {
    engine->System_Log("%s", parsed.error().message().c_str());
    return false;
  }
  record = std::move(*parsed);
  record.textureList = findOrLoadTextureList(record.pictureSet);
  record.id = id;
  record.standAction = 0;
  record.airAction = 4;
  return true;
}

TextureList* Library::findOrLoadTextureList(int32_t number) {
  for (const std::unique_ptr<TextureList>& list : textureLists) {
    if (list->id == number) return list.get();
  }
  auto list = std::make_unique<TextureList>(engine, catalog);
  list->load(number);
  textureLists.push_back(std::move(list));
  return textureLists.back().get();
}
