#include "render/PictureSets.h"

#include "base/TextCodec.h"

PictureSets::PictureSets(HGE* engine, ResourceCatalog catalog) : engine_(engine), catalog_(std::move(catalog)) {}

// The pictures live as long as the sets: a new game in the same process loads its own.
PictureSets::~PictureSets() {
  for (auto& [number, set] : sets_)
    for (HTEXTURE t : set->textures)
      if (t) engine_->Texture_Free(t);
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
  // Plain concatenation: a file name may itself hold a subfolder.
  const std::string folder = "pak/" + entry->name + "/";
  set.textures.reserve(entry->pictures.size());
  for (const std::string& picture : entry->pictures) {
    const std::string path = folder + "hta/" + picture;
    const HTEXTURE handle = engine_->Texture_Load(path.c_str(), 0, false);
    if (!handle)
      engine_->System_Log("Picture set %d: cannot load picture %s", set.number, gbkToUtf8(path).c_str());
    set.textures.push_back(handle);
  }
  set.sounds.reserve(entry->sounds.size());
  for (const std::string& sound : entry->sounds) {
    const std::string path = folder + "hte/" + sound;
    const HEFFECT handle = engine_->Effect_Load(path.c_str(), 0);
    if (!handle) engine_->System_Log("Picture set %d: cannot load sound %s", set.number, gbkToUtf8(path).c_str());
    set.sounds.push_back(handle);
  }
}
