#include "render/PictureSets.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>

#include "base/TextCodec.h"
#include "engine/PackReader.h"

namespace {

// The file a name leads to, as the engine finds it: '\' read as '/', "." and
// ".." steps and doubled slashes resolved, letter case ignored (pack names are).
std::string fileKey(const std::string& name) {
  std::string key = std::filesystem::path(packKey(name)).lexically_normal().generic_string();
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

}  // namespace

PictureSets::PictureSets(HGE* engine, ResourceCatalog catalog) : engine_(engine), catalog_(std::move(catalog)) {}

// The pictures live as long as the sets: a new game in the same process loads its own.
PictureSets::~PictureSets() {
  for (auto& [number, set] : sets_) {
    // Indices that name the same file share its texture: free each once.
    std::vector<HTEXTURE> owned = set->textures;
    std::sort(owned.begin(), owned.end());
    owned.erase(std::unique(owned.begin(), owned.end()), owned.end());
    for (HTEXTURE t : owned)
      if (t) engine_->Texture_Free(t);
  }
}

const PictureSet& PictureSets::set(int32_t number) {
  auto it = sets_.find(number);
  if (it != sets_.end()) return *it->second;
  auto set = std::make_unique<PictureSet>();
  set->number = number;
  load(*set);
  return *sets_.emplace(number, std::move(set)).first->second;
}

void PictureSets::load(PictureSet& set) {
  const ResourceEntry* entry = catalog_.entry(set.number);
  if (!entry) {
    engine_->System_Log("Picture set %d is not in the resource list (%zu sets): it has no pictures or sounds",
                        set.number, catalog_.entries.size());
    return;
  }
  // Plain concatenation: a file name may itself hold a subfolder. Each file is
  // loaded once, however many names of the set lead to it (hits and failures alike).
  const std::string folder = "pak/" + entry->name + "/";
  std::unordered_map<std::string, HTEXTURE> loadedPictures;
  set.textures.reserve(entry->pictures.size());
  for (const std::string& picture : entry->pictures) {
    const std::string path = folder + "hta/" + picture;
    auto [known, isNew] = loadedPictures.try_emplace(fileKey(path), 0);
    if (isNew) {
      known->second = engine_->Texture_Load(path.c_str(), 0, false);
      if (!known->second)
        engine_->System_Log("Picture set %d: cannot load picture %s", set.number, gbkToUtf8(path).c_str());
    }
    set.textures.push_back(known->second);
  }
  std::unordered_map<std::string, HEFFECT> loadedSounds;
  set.sounds.reserve(entry->sounds.size());
  for (const std::string& sound : entry->sounds) {
    const std::string path = folder + "hte/" + sound;
    auto [known, isNew] = loadedSounds.try_emplace(fileKey(path), 0);
    if (isNew) {
      known->second = engine_->Effect_Load(path.c_str(), 0);
      if (!known->second)
        engine_->System_Log("Picture set %d: cannot load sound %s", set.number, gbkToUtf8(path).c_str());
    }
    set.sounds.push_back(known->second);
  }
}
