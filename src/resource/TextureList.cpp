#include "resource/TextureList.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>

#include "engine/PackReader.h"
#include "engine/TextCodec.h"

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

TextureList::TextureList(HGE* engine, const ResourceCatalog* catalog) : engine(engine), catalog(catalog) {}

// Handles stay loaded for the whole run: the engine frees them when it shuts down.
// The list's pictures live as long as the world that loaded them: a new world
// (a new game in the same process) loads its own.
TextureList::~TextureList() {
  // Indices that name the same file share its texture: free each once.
  std::vector<HTEXTURE> owned = textures;
  std::sort(owned.begin(), owned.end());
  owned.erase(std::unique(owned.begin(), owned.end()), owned.end());
  for (HTEXTURE t : owned)
    if (t) engine->Texture_Free(t);
}

void TextureList::load(int32_t number) {
  id = number;
  const ResourceEntry* entry = catalog ? catalog->entry(number) : nullptr;
  if (!entry) {
    engine->System_Log("Picture set %d is not in the resource list (%zu sets): it has no pictures or sounds", number,
                       catalog ? catalog->entries.size() : size_t(0));
    return;
  }
  // Plain concatenation: a file name may itself hold a subfolder.
  const std::string folder = "pak/" + entry->name + "/";
  std::unordered_map<std::string, HTEXTURE> loadedPictures;
  textures.reserve(entry->pictures.size());
  for (const std::string& picture : entry->pictures) {
    const std::string path = folder + "hta/" + picture;
    auto [known, isNew] = loadedPictures.try_emplace(fileKey(path), 0);
    if (isNew) {
      known->second = engine->Texture_Load(path.c_str(), 0, false);
      if (!known->second)
        engine->System_Log("Picture set %d: cannot load picture %s", number, gbkToUtf8(path).c_str());
    }
    textures.push_back(known->second);
  }
  std::unordered_map<std::string, HEFFECT> loadedSounds;
  sounds.reserve(entry->sounds.size());
  for (const std::string& sound : entry->sounds) {
    const std::string path = folder + "hte/" + sound;
    auto [known, isNew] = loadedSounds.try_emplace(fileKey(path), 0);
    if (isNew) {
      known->second = engine->Effect_Load(path.c_str(), 0);
      if (!known->second)
        engine->System_Log("Picture set %d: cannot load sound %s", number, gbkToUtf8(path).c_str());
    }
    sounds.push_back(known->second);
  }
}
