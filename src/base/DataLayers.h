// The game's files as the game sees them: the game folder with its mods laid
// over it, the later mod on top. A data file, a picture or a sound is the
// top-most layer's; the resource list is merged by set number (a mod's set
// replaces the set of that number, the empty places a mod leaves keep what is
// below), and the rules by key (readGameRules).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/DataFile.h"
#include "base/FileBytes.h"
#include "base/LayerSource.h"
#include "format/LoadError.h"
#include "format/ResourceCatalog.h"

class DataLayers {
 public:
  struct Layer {
    std::string name;  // "" for the game folder, the mod's name for a mod
    std::unique_ptr<LayerSource> source;
    // Where its files are named in messages: "" for the game folder (its paths
    // read as they always did), "mod \"alley\": " for a mod.
    std::string label() const { return name.empty() ? std::string() : "mod \"" + name + "\": "; }
  };

  explicit DataLayers(std::unique_ptr<LayerSource> gameFolder);
  DataLayers(const DataLayers&) = delete;
  DataLayers& operator=(const DataLayers&) = delete;

  // Lays a mod over the layers so far.
  void add(std::string name, std::unique_ptr<LayerSource> mod);
  const std::vector<Layer>& layers() const { return layers_; }  // the game folder first
  bool modded() const { return layers_.size() > 1; }

  // The top-most layer that holds `relative`, or nullptr.
  const Layer* layerOf(const std::string& relative) const;
  // The file as the game uses it (data/res.dat merged); errors name the layer.
  Expected<std::vector<uint8_t>> read(const std::string& relative, uint64_t limit = kMaxFileBytes) const;
  // The path as messages name it: the layer's label before it ("mod \"alley\": data/chara/guai03.dat").
  std::string shownPath(const std::string& relative) const;
  // The names of the files directly in `folder` in any layer, sorted, once each.
  std::vector<std::string> list(const std::string& folder) const;

 private:
  std::vector<Layer> layers_;
};

// The bytes of the game's file `relative`: through the layers, or (without
// them) from the game folder as the game has always read it.
Expected<std::vector<uint8_t>> readGameFile(const DataLayers* layers, const std::string& relative,
                                            uint64_t limit = kMaxFileBytes);

// readDataFile through the layers (nullptr: the game folder); what the parse
// and the warning say name the layer the file came from.
template <class Parse, class Warn>
auto readLayeredDataFile(const DataLayers* layers, const std::string& path, Parse&& parse, Warn&& warn)
    -> decltype(parse(std::vector<uint8_t>{}, path)) {
  if (!layers) return readDataFile(path, parse, warn);
  auto bytes = layers->read(path);
  if (!bytes) return bytes.error();
  const std::string shown = layers->shownPath(path);
  auto parsed = parse(*bytes, shown);
  if (parsed && !parsed->trailing.empty()) warn(trailingBytesWarning(shown, bytes->size(), parsed->trailing.size()));
  return parsed;
}

// The resource list of `layers` merged by set number: `upper` over `lower`.
// An entry of `upper` with no name, pictures or sounds leaves the one below.
ResourceCatalog mergeCatalogs(ResourceCatalog lower, const ResourceCatalog& upper);
