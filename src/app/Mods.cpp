#include "app/Mods.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "engine/ModZip.h"
#include "engine/UserFolders.h"
#include "format/RulesText.h"

namespace fs = std::filesystem;

namespace {

// FNV-1a, 64 bits: the same files give the same hash on every machine.
struct Fnv {
  uint64_t h = 1469598103934665603ull;
  void add(const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  }
  void add(const std::string& s) { add(reinterpret_cast<const uint8_t*>(s.data()), s.size() + 1); }
};

std::string hex16(uint64_t v) {
  char text[24];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
  return text;
}

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The installed mod of that name: mods/NAME, else mods/NAME.zip; "" when neither.
fs::path installedPath(const std::string& name) {
  const fs::path folder = installedModsFolder();
  if (folder.empty()) return {};
  std::error_code ec;
  if (fs::exists(folder / name, ec)) return folder / name;
  if (fs::exists(folder / (name + ".zip"), ec)) return folder / (name + ".zip");
  return {};
}

std::string installedNames() {
  std::string names;
  for (const InstalledMod& m : installedMods()) names += (names.empty() ? "" : ", ") + m.entry;
  return names.empty() ? "none is installed in " + installedModsFolder().string() : "installed: " + names;
}

}  // namespace

fs::path installedModsFolder() {
  const fs::path data = userDataFolder();
  return data.empty() ? fs::path() : data / "mods";
}

std::optional<OpenedMod> openMod(const std::string& pathOrName, std::string& error) {
  std::error_code ec;
  fs::path path = pathOrName;
  const fs::file_status st = fs::status(path, ec);
  if (!fs::exists(st)) {
    // Not a path: the name of an installed mod.
    if (!modNameProblem(pathOrName).empty() || (path = installedPath(pathOrName)).empty()) {
      error = "--mod " + pathOrName + ": no mod folder or zip file there, and no installed mod of that name (" +
              installedNames() + ")";
      return std::nullopt;
    }
  }
  // Absolute: it names the same mod after a change of folder.
  if (fs::path whole = fs::absolute(path, ec); !ec) path = whole;
  OpenedMod out;
  out.use.where = path.string();
  if (fs::is_directory(path, ec)) {
    out.files = ModFolder::open(path.string(), error);
  } else if (fs::is_regular_file(path, ec) && endsWith(path.string(), ".zip")) {
    out.files = ModZip::open(path.string(), error);
  } else {
    error = path.string() + ": a mod is a folder or a .zip file, and this is neither";
    return std::nullopt;
  }
  if (!out.files) return std::nullopt;
  const std::string infoFile = out.use.where + "/" + kModInfoFile;
  if (!out.files->has(kModInfoFile)) {
    error = infoFile + ": the mod has no mod.txt (name = ..., description = ..., game = " + "the game version)";
    return std::nullopt;
  }
  Expected<std::vector<uint8_t>> info = out.files->read(kModInfoFile, kMaxModInfoBytes);
  if (!info) {
    error = infoFile + ": " + info.error().what;
    return std::nullopt;
  }
  Expected<ModInfo> parsed = parseModInfo(*info, infoFile);
  if (!parsed) {
    error = textLineMessage(parsed.error());
    return std::nullopt;
  }
  out.use.info = *parsed;
  Fnv hash;
  for (const std::string& file : out.files->files()) {
    Expected<std::vector<uint8_t>> bytes = out.files->read(file, kMaxFileBytes);
    if (!bytes) {
      error = bytes.error().message();
      return std::nullopt;
    }
    hash.add(file);
    hash.add(bytes->data(), bytes->size());
  }
  out.use.hash = hex16(hash.h);
  return out;
}

bool layMods(DataLayers& layers, const std::vector<std::string>& mods, std::vector<ModUse>& used, std::string& error) {
  for (const std::string& arg : mods) {
    std::optional<OpenedMod> mod = openMod(arg, error);
    if (!mod) return false;
    for (const ModUse& u : used)
      if (u.info.name == mod->use.info.name) {
        error = "two mods are named \"" + u.info.name + "\": " + u.where + " and " + mod->use.where;
        return false;
      }
    used.push_back(mod->use);
    layers.add(mod->use.info.name, std::move(mod->files));
  }
  return true;
}

std::vector<ReplayMod> replayMods(const std::vector<ModUse>& used) {
  std::vector<ReplayMod> out;
  for (const ModUse& u : used) out.push_back(ReplayMod{u.info.name, u.hash});
  return out;
}

std::string recordedModLines(const std::vector<ModUse>& used) {
  std::string lines;
  for (const ModUse& u : used) lines += u.info.name + " " + u.hash + "\n";
  return lines;
}

std::string modsDifference(const std::vector<ReplayMod>& recorded, const std::vector<ModUse>& used) {
  const std::vector<ReplayMod> now = replayMods(used);
  if (recorded == now) return {};
  for (const ReplayMod& r : recorded) {
    auto it = std::find_if(now.begin(), now.end(), [&](const ReplayMod& m) { return m.name == r.name; });
    if (it == now.end()) return "the replay was played with mod " + r.name + ", which is not in use (--mod " + r.name + ")";
    if (it->hash != r.hash)
      return "mod " + r.name + " is not the one the replay was played with (its files differ: hash " + it->hash +
             ", the replay's " + r.hash + ")";
  }
  for (const ReplayMod& m : now) {
    auto it = std::find_if(recorded.begin(), recorded.end(), [&](const ReplayMod& r) { return r.name == m.name; });
    if (it == recorded.end()) return "the replay was played without mod " + m.name + ", which is in use";
  }
  std::string order;
  for (const ReplayMod& r : recorded) order += (order.empty() ? "" : ", ") + r.name;
  return "the replay was played with the same mods in another order (" + order + ")";
}

std::vector<InstalledMod> installedMods() {
  std::vector<InstalledMod> out;
  const fs::path folder = installedModsFolder();
  std::error_code ec;
  if (folder.empty() || !fs::is_directory(folder, ec)) return out;
  std::vector<std::string> entries;
  for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator() && entries.size() < kMaxModFiles;
       it.increment(ec))
    entries.push_back(it->path().filename().string());
  std::sort(entries.begin(), entries.end());
  for (const std::string& entry : entries) {
    InstalledMod m;
    m.entry = endsWith(entry, ".zip") ? entry.substr(0, entry.size() - 4) : entry;
    m.mod = openMod((folder / entry).string(), m.error);
    out.push_back(std::move(m));
  }
  return out;
}

hgeFileLookup modFileLookup(const DataLayers& layers) {
  return [&layers](const std::string& name, std::vector<uint8_t>& out, std::string& error) {
    const std::vector<DataLayers::Layer>& all = layers.layers();
    for (auto it = all.rbegin(); it != all.rend() && !it->name.empty(); ++it) {
      if (!it->source->has(name)) continue;
      Expected<std::vector<uint8_t>> bytes = it->source->read(name, kMaxFileBytes);
      if (!bytes) {
        error = it->label() + bytes.error().message();
        return -1;
      }
      out = std::move(*bytes);
      return 1;
    }
    return 0;
  };
}
