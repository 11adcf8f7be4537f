#include "format/ResourceCatalog.h"

#include "format/ByteReader.h"
#include "format/ByteWriter.h"

const ResourceEntry* ResourceCatalog::entry(int32_t number) const {
  if (number < 0 || size_t(number) >= entries.size()) return nullptr;
  return &entries[size_t(number)];
}

// Smallest entry: a name length byte and two counts.
constexpr size_t kMinEntryBytes = 1 + 4 + 4;
// Smallest file name: its length byte.
constexpr size_t kMinNameBytes = 1;

Expected<ResourceCatalog> parseResourceCatalog(std::span<const uint8_t> bytes, const std::string& file,
                                               CountLog* counts) {
  ByteReader in(bytes, file);
  ResourceCatalog catalog;
  const size_t entryCount = in.readCount("entry count (last index)", kMinEntryBytes, counts, true);
  catalog.entries.reserve(entryCount);
  for (size_t i = 0; i < entryCount && !in.failed(); ++i) {
    ResourceEntry entry;
    entry.name = in.readShortString("set name");
    const size_t pictures = in.readCount("picture count (last index)", kMinNameBytes, counts, true);
    entry.pictures.reserve(pictures);
    for (size_t j = 0; j < pictures && !in.failed(); ++j) entry.pictures.push_back(in.readShortString("picture name"));
    const size_t sounds = in.readCount("sound count (last index)", kMinNameBytes, counts, true);
    entry.sounds.reserve(sounds);
    for (size_t j = 0; j < sounds && !in.failed(); ++j) entry.sounds.push_back(in.readShortString("sound name"));
    catalog.entries.push_back(std::move(entry));
  }
  catalog.trailing = in.readRest();
  if (in.failed()) return in.error();
  return catalog;
}

std::vector<uint8_t> writeResourceCatalog(const ResourceCatalog& catalog, const CountLog* counts) {
  ByteWriter out(counts);
  out.writeCount(catalog.entries.size(), true);
  for (const ResourceEntry& entry : catalog.entries) {
    out.writeShortString(entry.name);
    out.writeCount(entry.pictures.size(), true);
    for (const std::string& p : entry.pictures) out.writeShortString(p);
    out.writeCount(entry.sounds.size(), true);
    for (const std::string& s : entry.sounds) out.writeShortString(s);
  }
  out.writeRaw(catalog.trailing);
  return out.take();
}
