// The world's cache of parsed character files and loaded picture sets. Nothing
// in it is ever removed; each id and each set number is loaded at most once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/hge.h"
#include "format/CharaData.h"
#include "object/ReportOnce.h"
#include "format/ResourceCatalog.h"
#include "resource/TextureList.h"

class Library {
 public:
  Library(HGE* engine, const ResourceCatalog* catalog);
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // The cached record for `id`, loading "data/chara/<id>.dat" on first use.
  // A file that cannot be read is logged once (file, offset, what) and gives
  // nullptr now and on every later call, without reading it again.
  CharaData* findOrLoad(const std::string& id);
  // Parses the file into `record` and attaches its texture list.
  bool loadCharaFile(CharaData& record, const std::string& id);
  // The list of picture set `number`, built on first use; never null.
  TextureList* findOrLoadTextureList(int32_t number);

  HGE* engine;
  const ResourceCatalog* catalog;
  std::vector<std::unique_ptr<CharaData>> charaData;      // load order
  std::vector<std::string> failedIds;                     // ids whose file could not be read
  std::vector<std::unique_ptr<TextureList>> textureLists; // first-request order
  // Data problems the objects already logged (one line per file and action).
  ReportOnce reported;
};
