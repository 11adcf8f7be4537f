#include "app/PlayRules.h"

#include <algorithm>

#include "app/GameDataFiles.h"
#include "base/DataPath.h"
#include "base/FileBytes.h"
#include "base/TextCodec.h"
#include "base/DataLayers.h"
#include "format/RulesText.h"
#include "format/SceneFile.h"
#include "world/RulesFile.h"

namespace {

Expected<SceneFile> readSceneFile(const std::string& path, const DataLayers* files) {
  Expected<std::vector<uint8_t>> bytes = readGameFile(files, path);
  if (!bytes) return bytes.error();
  return parseSceneFile(*bytes, path);
}

// The scene files the game can reach, by relative path, in name order.
std::vector<std::string> sceneFiles(const DataLayers* files) {
  std::vector<std::string> paths;
  if (!files) {
    for (const DataFileRef& file : listDataFiles())
      if (file.kind == DataFileRef::Scene) paths.push_back(file.path);
    return paths;
  }
  for (const std::string& name : files->list("data/scene"))
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dat") == 0) paths.push_back("data/scene/" + name);
  return paths;
}

}  // namespace

bool rulesForRun(const Options& options, RunRules& out, std::string& error, const DataLayers* files) {
  Expected<GameRules> rules = readGameRules(files, &out.fromFile);
  if (!rules) {
    error = textLineMessage(rules.error());
    return false;
  }
  out.rules = std::move(*rules);
  if (!options.scene.empty()) {
    std::string id;
    if (!utf8ToGbk(options.scene, id)) {
      error = "--scene " + options.scene + ": the id holds a character the game's text (GBK) cannot hold";
      return false;
    }
    // The one way from an id to a file: the world reads the scene through it too.
    Expected<std::string> path = dataFilePath(DataFileKind::Scene, id);
    if (!path) {
      error = "--scene " + path.error().file + ": " + path.error().what;
      return false;
    }
    const ScenePlace start = sceneEntryPoint(id, out.rules, files);
    out.rules.firstScene = id;
    out.rules.playerX = start.x;
    out.rules.playerZ = start.z;
  }
  out.rules.playerInvincible = options.invincible;
  // --players, else the replay's players line, else one.
  out.rules.seatsAtStart = options.players > 0 ? options.players : options.replayPlayers.value_or(1);
  return true;
}

ScenePlace sceneEntryPoint(const std::string& id, const GameRules& rules, const DataLayers* files) {
  if (id == rules.firstScene) return {rules.playerX, rules.playerZ};
  for (const std::string& file : sceneFiles(files)) {
    Expected<SceneFile> scene = readSceneFile(file, files);
    if (!scene) continue;
    for (const SceneFile::DoorEntry& d : scene->doors)
      if (d.targetScene == id) return {d.entryX, d.entryZ};
  }
  ScenePlace place{rules.playerX, rules.playerZ};
  Expected<std::string> path = dataFilePath(DataFileKind::Scene, id);
  if (!path) return place;
  if (Expected<SceneFile> scene = readSceneFile(*path, files)) {
    place.x = std::clamp(place.x, 0, std::max(scene->width, 0));
    place.z = std::clamp(place.z, 0, std::max(scene->depth, 0));
  }
  return place;
}
