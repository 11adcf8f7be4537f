#include "resource/TextureList.h"

#include "base/TextCodec.h"

TextureList::TextureList(HGE* engine, const ResourceCatalog* catalog) : engine(engine), catalog(catalog) {}

// Handles stay loaded for the whole run: the engine frees them when it shuts down.
// The list's pictures live as long as the world that loaded them: a new world
// (a new game in the same process) loads its own.
TextureList::~TextureList() {
  for (HTEXTURE t : textures)
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
  textures.reserve(entry->pictures.size());
  for (const std::string& picture : entry->pictures) {
    const std::string path = folder + "hta/" + picture;
    const HTEXTURE handle = engine->Texture_Load(path.c_str(), 0, false);
    if (!handle)
      engine->System_Log("Picture set %d: cannot load picture %s", number, gbkToUtf8(path).c_str());
    textures.push_back(handle);
  }
  sounds.reserve(entry->sounds.size());
  for (const std::string& sound : entry->sounds) {
    const std::string path = folder + "hte/" + sound;
    const HEFFECT handle = engine->Effect_Load(path.c_str(), 0);
    if (!handle) engine->System_Log("Picture set %d: cannot load sound %s", number, gbkToUtf8(path).c_str());
    sounds.push_back(handle);
  }
}
