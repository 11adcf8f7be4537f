#include "base/DataLayers.h"

#include <algorithm>
#include <set>

namespace {

constexpr const char* kResourceList = "data/res.dat";

bool emptyEntry(const ResourceEntry& e) { return e.name.empty() && e.pictures.empty() && e.sounds.empty(); }

}  // namespace

ResourceCatalog mergeCatalogs(ResourceCatalog lower, const ResourceCatalog& upper) {
  for (size_t i = 0; i < upper.entries.size(); ++i) {
    if (emptyEntry(upper.entries[i])) continue;
    if (lower.entries.size() <= i) lower.entries.resize(i + 1);
    lower.entries[i] = upper.entries[i];
  }
  return lower;
}

DataLayers::DataLayers(std::unique_ptr<LayerSource> gameFolder) {
  layers_.push_back(Layer{"", std::move(gameFolder)});
}

void DataLayers::add(std::string name, std::unique_ptr<LayerSource> mod) {
  layers_.push_back(Layer{std::move(name), std::move(mod)});
}

const DataLayers::Layer* DataLayers::layerOf(const std::string& relative) const {
  for (auto it = layers_.rbegin(); it != layers_.rend(); ++it)
    if (it->source->has(relative)) return &*it;
  return nullptr;
}

Expected<std::vector<uint8_t>> DataLayers::read(const std::string& relative, uint64_t limit) const {
  auto readFrom = [&](const Layer& layer) -> Expected<std::vector<uint8_t>> {
    Expected<std::vector<uint8_t>> bytes = layer.source->read(relative, limit);
    if (!bytes && !layer.name.empty()) return LoadError{layer.label() + bytes.error().file, 0, bytes.error().what};
    return bytes;
  };
  std::vector<const Layer*> holding;
  for (const Layer& layer : layers_)
    if (layer.source->has(relative)) holding.push_back(&layer);
  // Without the file anywhere, the game folder's reader says so as it always did.
  if (holding.empty()) return readFrom(layers_.front());
  if (relative != kResourceList || holding.size() == 1) return readFrom(*holding.back());
  ResourceCatalog merged;
  for (const Layer* layer : holding) {
    Expected<std::vector<uint8_t>> bytes = readFrom(*layer);
    if (!bytes) return bytes.error();
    const std::string file = layer->label() + relative;
    Expected<ResourceCatalog> catalog = parseResourceCatalog(*bytes, file);
    if (!catalog) return LoadError{file, catalog.error().offset, catalog.error().what};
    merged = layer == holding.front() ? std::move(*catalog) : mergeCatalogs(std::move(merged), *catalog);
  }
  merged.trailing.clear();
  return writeResourceCatalog(merged);
}

std::string DataLayers::shownPath(const std::string& relative) const {
  const Layer* layer = layerOf(relative);
  return layer ? layer->label() + relative : relative;
}

Expected<std::vector<uint8_t>> readGameFile(const DataLayers* layers, const std::string& relative, uint64_t limit) {
  return layers ? layers->read(relative, limit) : readFileBytes(relative, limit);
}

std::vector<std::string> DataLayers::list(const std::string& folder) const {
  std::set<std::string> names;
  for (const Layer& layer : layers_)
    for (std::string& name : layer.source->list(folder)) names.insert(std::move(name));
  return {names.begin(), names.end()};
}
