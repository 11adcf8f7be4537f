#include "engine/ModZip.h"

std::unique_ptr<ModZip> ModZip::open(const std::string& path, std::string& error) {
  std::string why;
  std::unique_ptr<PackReader> pack = PackReader::open(path, nullptr, why);
  if (!pack) {
    error = path + ": not a zip file that can be read (" + why + ")";
    return nullptr;
  }
  std::vector<PackReader::RawEntry> entries;
  if (!pack->rawEntries(entries, error)) return nullptr;
  std::unique_ptr<ModZip> mod(new ModZip(path, std::move(pack)));
  for (const PackReader::RawEntry& e : entries) {
    if (e.link) {
      error = path + ": \"" + e.name + "\" is a link: a mod's files are read only from inside it";
      return nullptr;
    }
    if (e.folder) {
      if (std::string bad = modPathProblem(e.name.substr(0, e.name.size() - 1)); !bad.empty()) {
        error = path + ": \"" + e.name + "\": " + bad;
        return nullptr;
      }
      continue;
    }
    // The sizes the archive declares bound what is ever inflated (each read
    // stops there and checks the rest): a bomb is refused here, unread.
    if (!mod->add(e.name, e.size, error)) return nullptr;
  }
  return mod;
}

Expected<std::vector<uint8_t>> ModZip::read(const std::string& relative, uint64_t limit) const {
  const std::string shown = where() + ": " + relative;
  if (!has(relative)) return LoadError{shown, 0, "not in the mod"};
  std::vector<uint8_t> bytes;
  std::string error;
  if (!pack_->read(relative, bytes, error)) return LoadError{shown, 0, error};
  if (bytes.size() > limit) return LoadError{shown, 0, "larger than " + std::to_string(limit) + " bytes"};
  return bytes;
}
