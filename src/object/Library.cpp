#include "object/Library.h"

#include <algorithm>

#include "base/DataFile.h"
#include "base/DataPath.h"
#include "base/DataLayers.h"

Library::Library(std::function<void(const std::string&)> log, const DataLayers* files)
    : log_(std::move(log)), files_(files) {}

const CharaData* Library::findOrLoad(const std::string& id) {
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
    log_("character id " + path.error().file + ": " + path.error().what);
    return false;
  }
  Expected<CharaData> parsed = readLayeredDataFile(
      files_, *path, [](const std::vector<uint8_t>& bytes, const std::string& file) { return parseCharaFile(bytes, file); },
      [this](const std::string& warning) { log_(warning); });
  if (!parsed) {
    log_(parsed.error().message());
    return false;
  }
  record = std::move(*parsed);
  record.id = id;
  record.standAction = 0;
  record.airAction = 4;
  return true;
}
