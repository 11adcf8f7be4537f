// The picture sets of the resource list in engine handles: a texture per
// picture and a sound effect per sound of each set, in the list's order.
// A set is loaded the first time it is asked for and kept until the
// PictureSets goes, which frees its textures.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/hge.h"
#include "format/ResourceCatalog.h"

// One loaded set. An index out of range (taken as unsigned) gives handle 0.
struct PictureSet {
  int32_t number = -1;
  std::vector<HTEXTURE> textures;
  std::vector<HEFFECT> sounds;

  HTEXTURE texture(uint32_t index) const { return index < textures.size() ? textures[index] : 0; }
  HEFFECT sound(uint32_t index) const { return index < sounds.size() ? sounds[index] : 0; }
};

class PictureSets {
 public:
  // `catalog` is copied: the sets outlive any one world. loadAhead loads at
  // most `filesAheadPerCall` files a call.
  PictureSets(HGE* engine, ResourceCatalog catalog, int filesAheadPerCall = kFilesAheadPerCall);
  ~PictureSets();
  PictureSets(const PictureSets&) = delete;
  PictureSets& operator=(const PictureSets&) = delete;

  // Set `number`, loading "pak/<name>/hta/<picture>" for each picture and
  // "pak/<name>/hte/<sound>" for each sound on first use. A file that fails
  // gives handle 0 at its index; a number outside the list gives an empty set
  // and one log line.
  const PictureSet& set(int32_t number);
  HTEXTURE texture(int32_t set, int32_t index) { return this->set(set).texture(static_cast<uint32_t>(index)); }
  HEFFECT sound(int32_t set, int32_t index) { return this->set(set).sound(static_cast<uint32_t>(index)); }
  // The files loadAhead loads at most in one call, unless told otherwise.
  static constexpr int kFilesAheadPerCall = 4;
  // Loads a few more files of the sets not asked for yet, in the list's order,
  // so that a scene change finds its pictures and sounds loaded (and, in a
  // window, decoded on the engine's decoding thread). The files are read from
  // the pack in the background first: a file not read yet is waited for by
  // the next call, not by this one. False once all are loaded.
  bool loadAhead();

 private:
  // A set being loaded a file at a time: the next picture, then the next
  // sound, and the files of the set already loaded.
  struct Loading {
    std::unique_ptr<PictureSet> set;
    size_t picture = 0, sound = 0;
    std::unordered_map<std::string, HTEXTURE> pictures;
    std::unordered_map<std::string, HEFFECT> sounds;
  };
  void load(PictureSet& set);
  enum class Step { Loaded, Repeated, NotReady, Done };
  // Loads the next file of `loading` (Done when it has none left; Repeated
  // for a name of a file the set has already); with `onlyReady`, only when
  // the engine has read it already (else NotReady).
  Step loadNext(Loading& loading, const ResourceEntry& entry, bool onlyReady);
  // Asks the engine to read every file of set `number` in the background.
  void prefetch(int32_t number);

  HGE* engine_;
  ResourceCatalog catalog_;
  std::map<int32_t, std::unique_ptr<PictureSet>> sets_;
  std::unique_ptr<Loading> ahead_;  // the set loadAhead is working on
  int32_t nextAhead_ = 0;           // the first set loadAhead has not started
  int filesAheadPerCall_;
};
