// Mods laid over the game folder: --mod PATH (a mod folder or a zip file) or
// --mod NAME (a mod installed in the user's data folder, mods/NAME or
// mods/NAME.zip), in the order given, the later on top. Each names itself in
// its mod.txt and is known to replays by a hash of its files.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/ModFiles.h"
#include "engine/Replay.h"
#include "engine/hge.h"
#include "base/DataLayers.h"
#include "format/ModInfo.h"

// What the run knows of one mod.
struct ModUse {
  ModInfo info;
  std::string where;  // the folder or zip file
  std::string hash;   // 16 hex digits over every path and byte of its files
};

struct OpenedMod {
  ModUse use;
  std::unique_ptr<ModFiles> files;
};

// $XDG_DATA_HOME/tervalen/mods (else ~/.local/share/tervalen/mods); empty without a home.
std::filesystem::path installedModsFolder();

// Opens one mod: a path to a folder or a zip file, or the name of an installed
// mod. nullopt with one line in `error` when it cannot be used.
std::optional<OpenedMod> openMod(const std::string& pathOrName, std::string& error);

// Lays each mod over `layers`, bottom first; false with one line in `error`
// (a mod that cannot be opened, two mods of one name).
bool layMods(DataLayers& layers, const std::vector<std::string>& mods, std::vector<ModUse>& used, std::string& error);

// The mods as a replay names them.
std::vector<ReplayMod> replayMods(const std::vector<ModUse>& used);
// "NAME HASH" a line, for the recording (HGE_RECORDMODS).
std::string recordedModLines(const std::vector<ModUse>& used);
// What differs between the mods a replay was recorded with and these, in one
// line ("the replay was recorded with mod alley, which is not in use"), or "".
std::string modsDifference(const std::vector<ReplayMod>& recorded, const std::vector<ModUse>& used);

// The mods' pictures and sounds for the engine: the top-most mod that has
// the file; the game folder's own (the pack, then its loose files) are the
// engine's as ever.
hgeFileLookup modFileLookup(const DataLayers& layers);

// The installed mods, by name, each opened (an error line for one that cannot be).
struct InstalledMod {
  std::string entry;  // its folder or zip name in the mods folder
  std::optional<OpenedMod> mod;
  std::string error;
};
std::vector<InstalledMod> installedMods();
