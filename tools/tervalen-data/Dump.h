// `tervalen-data dump`: any data file as JSON, through the game's own readers.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gfx/BitmapFont.h"
#include "format/CharaData.h"
#include "format/ResourceCatalog.h"
#include "format/SceneFile.h"
#include "format/SystemData.h"

enum class DataKind { Chara, Scene, Res, System, Font };

// "chara", "scene", "res", "system", "font".
std::optional<DataKind> dataKindFromName(const std::string& name);
// From where the file sits: .../chara/*.dat, .../scene/*.dat, res.dat,
// system.dat (outside a chara folder), *.fnt.
std::optional<DataKind> dataKindFromPath(const std::string& path);

// The records as JSON text (strings converted from GBK to UTF-8).
std::string charaToJson(const CharaData& data);
std::string sceneToJson(const SceneFile& scene);
std::string catalogToJson(const ResourceCatalog& catalog);
std::string systemToJson(const SystemData& data);
std::string fontToJson(const FontDescription& font);

// Reads and parses `path` as `kind`: the JSON text, or the reader's error.
Expected<std::string> dumpFile(const std::string& path, DataKind kind);

int runDump(const std::vector<std::string>& args);
