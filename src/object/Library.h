// The world's cache of parsed character files. Nothing in it is ever
// removed; each id is read at most once (a file that failed is not read again).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "format/CharaData.h"
#include "object/ReportOnce.h"

class DataLayers;

class Library {
 public:
  // `log` receives one line per problem (a file that cannot be read, bytes it ignores).
  // `files`: the game folder with its mods (nullptr: the game folder alone).
  explicit Library(std::function<void(const std::string&)> log, const DataLayers* files = nullptr);
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // The cached record for `id`, reading "data/chara/<id>.dat" on first use.
  // An id that is not a plain name, or a file that cannot be read, is logged
  // once (file, offset, what) and gives nullptr now and on every later call.
  const CharaData* findOrLoad(const std::string& id);
  std::vector<std::unique_ptr<CharaData>> charaData;  // load order
  std::vector<std::string> failedIds;                 // ids whose file could not be read
  // Data problems the objects already logged (one line per file and action).
  ReportOnce reported;

 private:
  // Parses the file of `id` into `record`; false (and logged) when it cannot.
  bool loadCharaFile(CharaData& record, const std::string& id);

  std::function<void(const std::string&)> log_;
  const DataLayers* files_ = nullptr;
};
