#include "app/PlayRules.h"

#include <algorithm>
#include <filesystem>

#include "app/GameDataFiles.h"
#include "base/DataPath.h"
#include "base/FileBytes.h"
#include "base/TextCodec.h"
#include "base/DataLayers.h"
#include "format/RulesText.h"
#include "format/CharaData.h"
#include "format/SceneFile.h"
#include "world/FairRulesFile.h"
#include "world/RulesFile.h"
#include "world/StageRulesText.h"

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
  // Stretches and enemy places that do not fit the scenes they name stop the game at start.
  Expected<bool> stage = checkStageAgainstScenes(out.rules.stage, [files](const std::string& id) -> Expected<SceneFile> {
    Expected<std::string> path = dataFilePath(DataFileKind::Scene, id);
    if (!path) return LoadError{path.error().file, 0, path.error().what};
    return readSceneFile(*path, files);
  });
  if (!stage) {
    error = textLineMessage(stage.error());
    return false;
  }
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
  // Every hero the rules offer must be there to play.
  for (const std::string& hero : out.rules.heroes) {
    Expected<std::string> path = dataFilePath(DataFileKind::Chara, hero);
    std::error_code ec;
    if (!path || !std::filesystem::is_regular_file(*path, ec)) {
      error = std::string(kRulesFile) + ": heroes names " + gbkToUtf8(hero) + ", but there is no character file " +
              (path ? *path : "for it");
      return false;
    }
  }
  // Every action the rules price must be there to start.
  for (const FairRules::PowerCost& cost : out.rules.fair.powerCosts) {
    Expected<std::string> path = dataFilePath(DataFileKind::Chara, cost.chara);
    Expected<std::vector<uint8_t>> bytes = path ? readGameFile(files, *path) : Expected<std::vector<uint8_t>>(path.error());
    Expected<CharaData> data = bytes ? parseCharaFile(*bytes, *path) : Expected<CharaData>(bytes.error());
    if (std::string why = powerCostProblem(cost, data ? &*data : nullptr); !why.empty()) {
      error = cost.file + ":" + std::to_string(cost.line) + ": " + why;
      return false;
    }
  }
  // --hero, else the replay's hero lines.
  for (const auto& [seat, typed] : options.heroes.empty() ? options.replayHeroes : options.heroes) {
    std::string id;
    const std::vector<std::string> choices = out.rules.heroChoices();
    if (!utf8ToGbk(typed, id) || std::find(choices.begin(), choices.end(), id) == choices.end()) {
      std::string offered;
      for (const std::string& c : choices) offered += (offered.empty() ? "" : ", ") + gbkToUtf8(c);
      error = "--hero " + std::to_string(seat) + "=" + typed.substr(0, 40) + ": no such hero; the heroes are " + offered;
      return false;
    }
    out.rules.seatHeroes[static_cast<size_t>(seat - 1)] = id;
  }
  out.rules.playerInvincible = options.invincible;
  // --difficulty, else the replay's difficulty line.
  if (options.difficulty) {
    out.rules.difficulty = *options.difficulty;
  } else if (options.replayDifficulty && !difficultyFromName(*options.replayDifficulty, out.rules.difficulty)) {
    error = "the replay's difficulty \"" + options.replayDifficulty->substr(0, 40) + "\" is none of easy, normal, hard";
    return false;
  }
  // --players, else the replay's players line, else one.
  out.rules.seatsAtStart = options.players > 0 ? options.players : options.replayPlayers.value_or(1);
  return true;
}

std::string recordingHeader(const GameRules& rules) {
  std::string lines;
  if (rules.difficulty != Difficulty::Normal) lines += std::string("difficulty ") + difficultyName(rules.difficulty) + "\n";
  for (size_t seat = 0; seat < rules.seatHeroes.size(); ++seat)
    if (!rules.seatHeroes[seat].empty())
      lines += "hero " + std::to_string(seat + 1) + " " + gbkToUtf8(rules.seatHeroes[seat]) + "\n";
  return lines;
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
