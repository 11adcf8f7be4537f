#include "world/StageRulesText.h"

#include <cerrno>
#include <cstdlib>

#include "base/DataPath.h"
#include "base/TextCodec.h"

namespace {

constexpr long kMaxPlace = 1000000;  // as far as any scene reaches
constexpr long kMaxEnemyNumber = 100000;

// The scene id after a rule's word, in GBK and a plain name.
bool sceneId(const std::string& rule, const std::string& typed, const std::string& example, std::string& out,
             std::string& error) {
  if (typed.empty()) {
    error = rule + " needs the scene's id (its file's name): " + example;
    return false;
  }
  if (!utf8ToGbk(typed, out)) {
    error = rule + ": the scene id \"" + typed + "\" holds a character the game's text (GBK) cannot hold";
    return false;
  }
  if (std::string why = plainNameProblem(out); !why.empty()) {
    error = rule + ": the scene id \"" + typed + "\" is not a plain name: " + why;
    return false;
  }
  return true;
}

SceneStage& sceneEntry(StageRules& stage, const std::string& id) {
  for (SceneStage& s : stage.scenes)
    if (s.sceneId == id) return s;
  stage.scenes.push_back({id, {}, {}});
  return stage.scenes.back();
}

// stretch SCENE = FROM TO ENEMY...
bool stretch(const std::string& typedScene, const std::string& value, const std::string& file, size_t line,
             StageRules& stage, std::string& error) {
  const std::string example = "stretch Test = 0 900 1 2 3";
  std::string id;
  if (!sceneId("stretch", typedScene, example, id, error)) return false;
  const std::vector<std::string> w = splitWords(value);
  long from = 0, to = 0;
  if (w.size() < 2 || !wholeNumberIn(w[0], 0, kMaxPlace, from) || !wholeNumberIn(w[1], 0, kMaxPlace, to)) {
    error = "stretch " + typedScene + " wants where the stretch begins and ends along the scene (0 to " +
            std::to_string(kMaxPlace) + "), then the numbers of its enemies in the scene file: " + example;
    return false;
  }
  if (to <= from) {
    error = "stretch " + typedScene + " is empty: it ends at " + w[1] + ", not after its beginning " + w[0];
    return false;
  }
  if (w.size() == 2) {
    error = "stretch " + typedScene + " names no enemy: a stretch holds the camera until its enemies are down, "
            "so it needs at least one (their numbers in the scene file, from 1)";
    return false;
  }
  SceneStage& scene = sceneEntry(stage, id);
  // A mod's stretches for a scene replace those of the files below it.
  if (!scene.stretches.empty() && scene.stretches.front().file != file) scene.stretches.clear();
  if (!scene.stretches.empty() && from < scene.stretches.back().to) {
    error = "stretch " + typedScene + " from " + w[0] + " overlaps the stretch before it (line " +
            std::to_string(scene.stretches.back().line) + ", which ends at " +
            std::to_string(scene.stretches.back().to) + "): a scene's stretches come in order along it";
    return false;
  }
  StretchRule rule{static_cast<int32_t>(from), static_cast<int32_t>(to), {}, file, line};
  for (size_t i = 2; i < w.size(); ++i) {
    long n = 0;
    if (!wholeNumberIn(w[i], 1, kMaxEnemyNumber, n)) {
      error = "stretch " + typedScene + ": \"" + w[i] + "\" is not an enemy's number in the scene file (from 1)";
      return false;
    }
    for (const StretchRule& s : scene.stretches)
      for (int32_t e : s.enemies)
        if (e == n) {
          error = "stretch " + typedScene + ": enemy " + w[i] + " already belongs to the stretch of line " +
                  std::to_string(s.line);
          return false;
        }
    for (int32_t e : rule.enemies)
      if (e == n) {
        error = "stretch " + typedScene + " names enemy " + w[i] + " twice";
        return false;
      }
    rule.enemies.push_back(static_cast<int32_t>(n));
  }
  scene.stretches.push_back(std::move(rule));
  return true;
}

// enemy-place SCENE NUMBER = X Z
bool enemyPlace(const std::string& rest, const std::string& value, const std::string& file, size_t line,
                StageRules& stage, std::string& error) {
  const std::string example = "enemy-place yard 1 = 640 450";
  const auto [typedScene, typedNumber] = splitFirstWord(rest);
  std::string id;
  if (!sceneId("enemy-place", typedScene, example, id, error)) return false;
  long n = 0, x = 0, z = 0;
  const std::vector<std::string> w = splitWords(value);
  if (!wholeNumberIn(typedNumber, 1, kMaxEnemyNumber, n) || w.size() != 2 || !wholeNumberIn(w[0], -kMaxPlace, kMaxPlace, x) ||
      !wholeNumberIn(w[1], -kMaxPlace, kMaxPlace, z)) {
    error = "enemy-place wants the scene, the enemy's number in its file (from 1), then where it stands: " + example;
    return false;
  }
  SceneStage& scene = sceneEntry(stage, id);
  for (const EnemyPlaceRule& p : scene.places)
    if (p.enemy == n) {
      error = "enemy-place " + typedScene + " " + typedNumber + " is given twice (first on line " +
              std::to_string(p.line) + ")";
      return false;
    }
  scene.places.push_back({static_cast<int32_t>(n), static_cast<int32_t>(x), static_cast<int32_t>(z), file, line});
  return true;
}

// place-name SCENE = TEXT
bool placeName(const std::string& typedScene, const std::string& value, StageRules& stage, std::string& error) {
  std::string id, shown;
  if (!sceneId("place-name", typedScene, "place-name market = Market", id, error)) return false;
  if (value.empty() || value.size() > 40 || !utf8ToGbk(value, shown)) {
    error = "place-name " + typedScene + " wants the name its doors' signs show (1 to 40 bytes the game's text can hold)";
    return false;
  }
  for (const PlaceName& p : stage.placeNames)
    if (p.sceneId == id) {
      error = "place-name " + typedScene + " is given twice";
      return false;
    }
  stage.placeNames.push_back({id, shown});
  return true;
}

}  // namespace

StageRuleRead readStageRule(const RulesLine& rule, const std::string& file, StageRules& stage, std::string& error) {
  const auto [word, rest] = splitFirstWord(rule.key);
  bool ok = false;
  if (word == kStretchRule) {
    ok = stretch(rest, rule.value, file, rule.line, stage, error);
  } else if (word == kEnemyPlaceRule) {
    ok = enemyPlace(rest, rule.value, file, rule.line, stage, error);
  } else if (word == kPlaceNameRule) {
    ok = placeName(rest, rule.value, stage, error);
  } else if (rule.key == kDoorDepthRule) {
    ok = rule.value == "any" || rule.value == "near";
    if (ok) stage.doorsAnyDepth = rule.value == "any";
    else error = "door-depth is \"any\" (an open door takes a fighter at any depth) or \"near\" (the game's own), not \"" +
                 rule.value + "\"";
  } else {
    return StageRuleRead::NotMine;
  }
  return ok ? StageRuleRead::Taken : StageRuleRead::Failed;
}

std::vector<LoadError> stageProblems(const StageRules& stage,
                                     const std::function<Expected<SceneFile>(const std::string& id)>& readScene) {
  std::vector<LoadError> found;
  for (const SceneStage& s : stage.scenes) {
    const std::string shownId = gbkToUtf8(s.sceneId);
    auto firstLine = [&]() -> std::pair<std::string, size_t> {
      if (!s.stretches.empty()) return {s.stretches.front().file, s.stretches.front().line};
      return {s.places.front().file, s.places.front().line};
    };
    Expected<SceneFile> scene = readScene(s.sceneId);
    if (!scene) {
      const auto [file, line] = firstLine();
      found.push_back(LoadError{file, line, "the scene " + shownId + " cannot be read: " + scene.error().message()});
      continue;
    }
    const int32_t enemies = static_cast<int32_t>(scene->charas.size());
    for (const EnemyPlaceRule& p : s.places) {
      if (p.enemy > enemies)
        found.push_back(LoadError{p.file, p.line, "enemy-place " + shownId + ": the scene holds " +
                                                      std::to_string(enemies) + " enemies, not " + std::to_string(p.enemy)});
      else if (p.x < 0 || p.x > scene->width || p.z < 0 || p.z > scene->depth)
        found.push_back(LoadError{p.file, p.line, "enemy-place " + shownId + ": " + std::to_string(p.x) + " " +
                                                      std::to_string(p.z) + " is off the scene's ground (" +
                                                      std::to_string(scene->width) + " by " +
                                                      std::to_string(scene->depth) + ")"});
    }
    for (const StretchRule& r : s.stretches) {
      if (r.to > scene->width)
        found.push_back(LoadError{r.file, r.line, "stretch " + shownId + " ends at " + std::to_string(r.to) +
                                                      ", past the scene's width " + std::to_string(scene->width)});
      for (int32_t n : r.enemies) {
        if (n > enemies) {
          found.push_back(LoadError{r.file, r.line, "stretch " + shownId + " names enemy " + std::to_string(n) +
                                                        ", but the scene holds " + std::to_string(enemies) + " enemies"});
          continue;
        }
        // Where it stands: its file's place, or the rules'.
        int32_t x = scene->charas[static_cast<size_t>(n - 1)].x, z = scene->charas[static_cast<size_t>(n - 1)].z;
        s.place(n, x, z);
        bool reachable = x >= 0 && x <= scene->width && z >= 0 && z <= scene->depth;
        for (const SceneFile::WallEntry& w : scene->walls)
          if (2 * std::abs(x - w.x) < w.width && 2 * std::abs(z - w.z) < w.depth) reachable = false;
        if (!reachable)
          found.push_back(LoadError{r.file, r.line, "stretch " + shownId + ": enemy " + std::to_string(n) +
                                                        " stands at " + std::to_string(x) + " " + std::to_string(z) +
                                                        ", where no fighter can reach it (inside a wall or off the ground)"});
      }
    }
  }
  return found;
}

Expected<bool> checkStageAgainstScenes(const StageRules& stage,
                                       const std::function<Expected<SceneFile>(const std::string& id)>& readScene) {
  std::vector<LoadError> found = stageProblems(stage, readScene);
  if (!found.empty()) return found.front();
  return true;
}
