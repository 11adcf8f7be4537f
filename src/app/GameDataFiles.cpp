#include "app/GameDataFiles.h"

#include <algorithm>
#include <filesystem>

#include "base/DataPath.h"
#include "base/FileBytes.h"
#include "base/TextCodec.h"
#include "format/CharaData.h"
#include "format/ResourceCatalog.h"
#include "format/SceneFile.h"
#include "format/SystemData.h"
#include "world/RulesFile.h"

namespace fs = std::filesystem;

namespace {

// The files of data/<folder>/ that an id names: the name converted to GBK
// must lead back to the same file through the game's own path rule.
void addFolder(std::vector<DataFileRef>& out, DataFileRef::Kind kind, const char* folder) {
  const DataFileKind pathKind = kind == DataFileRef::Chara ? DataFileKind::Chara : DataFileKind::Scene;
  std::vector<DataFileRef> found;
  std::error_code ec;
  for (fs::directory_iterator it(fs::path("data") / folder, ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    if (found.size() >= kMaxDataFilesPerFolder) break;
    if (it->path().extension() != ".dat") continue;
    std::string id;
    if (!utf8ToGbk(it->path().stem().string(), id)) continue;
    Expected<std::string> path = dataFilePath(pathKind, id);
    if (!path || *path != std::string("data/") + folder + "/" + it->path().filename().string()) continue;
    found.push_back({kind, *path, id});
  }
  std::sort(found.begin(), found.end(), [](const DataFileRef& a, const DataFileRef& b) { return a.path < b.path; });
  out.insert(out.end(), found.begin(), found.end());
}

bool exists(const char* path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

template <class Parse>
std::string problemOf(const std::string& path, Parse parse) {
  Expected<std::vector<uint8_t>> bytes = readFileBytes(path);
  if (!bytes) return bytes.error().message();
  auto parsed = parse(*bytes, path);
  return parsed ? std::string() : parsed.error().message();
}

}  // namespace

std::vector<DataFileRef> listDataFiles() {
  std::vector<DataFileRef> out;
  if (exists("data/res.dat")) out.push_back({DataFileRef::Resources, "data/res.dat", ""});
  if (exists("data/system.dat")) out.push_back({DataFileRef::System, "data/system.dat", ""});
  if (exists(kRulesFile)) out.push_back({DataFileRef::Rules, kRulesFile, ""});
  addFolder(out, DataFileRef::Chara, "chara");
  addFolder(out, DataFileRef::Scene, "scene");
  return out;
}

std::string dataFileProblem(const DataFileRef& file) {
  switch (file.kind) {
    case DataFileRef::Resources:
      return problemOf(file.path, [](auto& b, auto& f) { return parseResourceCatalog(b, f); });
    case DataFileRef::System:
      return problemOf(file.path, [](auto& b, auto& f) { return parseSystemData(b, f); });
    case DataFileRef::Chara:
      return problemOf(file.path, [](auto& b, auto& f) { return parseCharaFile(b, f); });
    case DataFileRef::Scene:
      return problemOf(file.path, [](auto& b, auto& f) { return parseSceneFile(b, f); });
    case DataFileRef::Rules: {
      Expected<GameRules> rules = readGameRules(file.path);
      return rules ? std::string() : textLineMessage(rules.error());
    }
  }
  return {};
}
