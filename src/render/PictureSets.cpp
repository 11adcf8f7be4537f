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

PictureSets::PictureSets(HGE* engine, ResourceCatalog catalog, int filesAheadPerCall)
    : engine_(engine), catalog_(std::move(catalog)), filesAheadPerCall_(std::max(filesAheadPerCall, 1)) {}

// The pictures live as long as the sets: a new game in the same process loads its own.
PictureSets::~PictureSets() {
  if (ahead_) sets_.emplace(ahead_->set->number, std::move(ahead_->set));
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
  if (ahead_ && ahead_->set->number == number) {
    // Half loaded ahead: the rest now.
    const ResourceEntry* entry = catalog_.entry(number);
    while (entry && loadNext(*ahead_, *entry, false) != Step::Done) {
    }
    auto loaded = std::move(ahead_->set);
    ahead_.reset();
    return *sets_.emplace(number, std::move(loaded)).first->second;
  }
  auto set = std::make_unique<PictureSet>();
  set->number = number;
  // All its files are read in the background while the first ones load.
  prefetch(number);
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
  Loading loading;
  loading.set = std::make_unique<PictureSet>();
  loading.set->number = set.number;
  while (loadNext(loading, *entry, false) != Step::Done) {
  }
  set = std::move(*loading.set);
}

bool PictureSets::loadAhead() {
  int loaded = 0;
  for (;;) {
    if (!ahead_) {
      while (nextAhead_ < static_cast<int32_t>(catalog_.entries.size()) && sets_.count(nextAhead_)) ++nextAhead_;
      if (nextAhead_ >= static_cast<int32_t>(catalog_.entries.size())) return false;
      ahead_ = std::make_unique<Loading>();
      ahead_->set = std::make_unique<PictureSet>();
      ahead_->set->number = nextAhead_++;
      // This set's files and the next one's are read while this one loads.
      prefetch(ahead_->set->number);
      prefetch(ahead_->set->number + 1);
    }
    const ResourceEntry* entry = catalog_.entry(ahead_->set->number);
    // Headless frames are not paced: they would outrun the loader's thread
    // and leave the next scene's pictures for its first frame. There the next
    // file is waited for here, one file's wait a call.
    const bool onlyReady = !engine_->System_GetState(HGE_HEADLESS);
    const Step step = entry ? loadNext(*ahead_, *entry, onlyReady) : Step::Done;
    if (step == Step::NotReady) return true;
    if (step == Step::Loaded && ++loaded >= filesAheadPerCall_) return true;
    if (step != Step::Done) continue;  // more of this set (a name of a file loaded already costs nothing)
    const int32_t number = ahead_->set->number;
    sets_.emplace(number, std::move(ahead_->set));
    ahead_.reset();
  }
}

void PictureSets::prefetch(int32_t number) {
  if (sets_.count(number)) return;
  const ResourceEntry* entry = catalog_.entry(number);
  if (!entry) return;
  const std::string folder = "pak/" + entry->name + "/";
  for (const std::string& picture : entry->pictures) engine_->Resource_Prefetch((folder + "hta/" + picture).c_str());
  for (const std::string& sound : entry->sounds) engine_->Effect_Prefetch((folder + "hte/" + sound).c_str());
}

PictureSets::Step PictureSets::loadNext(Loading& loading, const ResourceEntry& entry, bool onlyReady) {
  // Plain concatenation: a file name may itself hold a subfolder. Each file is
  // loaded once, however many names of the set lead to it (hits and failures alike).
  PictureSet& set = *loading.set;
  const std::string folder = "pak/" + entry.name + "/";
  if (loading.picture < entry.pictures.size()) {
    const std::string path = folder + "hta/" + entry.pictures[loading.picture];
    if (onlyReady && !engine_->Resource_Prefetch(path.c_str())) return Step::NotReady;
    ++loading.picture;
    auto [known, isNew] = loading.pictures.try_emplace(fileKey(path), 0);
    if (isNew) {
      known->second = engine_->Texture_Load(path.c_str(), 0, false);
      if (!known->second)
        engine_->System_Log("Picture set %d: cannot load picture %s", set.number, gbkToUtf8(path).c_str());
    }
    set.textures.push_back(known->second);
    return isNew ? Step::Loaded : Step::Repeated;
  }
  if (loading.sound < entry.sounds.size()) {
    const std::string path = folder + "hte/" + entry.sounds[loading.sound];
    if (onlyReady && !engine_->Effect_Prefetch(path.c_str())) return Step::NotReady;
    ++loading.sound;
    auto [known, isNew] = loading.sounds.try_emplace(fileKey(path), 0);
    if (isNew) {
      known->second = engine_->Effect_Load(path.c_str(), 0);
      if (!known->second)
        engine_->System_Log("Picture set %d: cannot load sound %s", set.number, gbkToUtf8(path).c_str());
    }
    set.sounds.push_back(known->second);
    return isNew ? Step::Loaded : Step::Repeated;
  }
  return Step::Done;
}
