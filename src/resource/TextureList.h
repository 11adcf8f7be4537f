// One picture set loaded into engine handles: a texture per picture and a
// sound effect per sound, in the catalog's order. Loaded once, never changed;
// its textures are freed with it.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/hge.h"
#include "resource/ResourceCatalog.h"

class TextureList {
 public:
  TextureList(HGE* engine, const ResourceCatalog* catalog);
  ~TextureList();
  TextureList(const TextureList&) = delete;
  TextureList& operator=(const TextureList&) = delete;

  // Loads set `number`: "pak/<name>/hta/<picture>" for each picture, then
  // "pak/<name>/hte/<sound>" for each sound. A file that fails gives handle 0
  // at its index. A number outside the catalog gives an empty list and a log line.
  // Each file is loaded once however often the set names it (names that lead
  // to the same file, in any letter case, count as one): later indices share
  // its handle, or its failure.
  void load(int32_t number);

  // The handle at `index`, or 0 when the index (taken as unsigned) is out of range.
  HTEXTURE texture(uint32_t index) const { return index < textures.size() ? textures[index] : 0; }
  HEFFECT sound(uint32_t index) const { return index < sounds.size() ? sounds[index] : 0; }
  int32_t getId() const { return id; }

  HGE* engine;
  const ResourceCatalog* catalog;
  int32_t id = -1;
  std::vector<HTEXTURE> textures;
  std::vector<HEFFECT> sounds;
};
