// How a game folder's scenes hold the fight (data/rules.txt, docs/modding.md):
// the stretches each scene is divided into, enemies moved from where their
// scene file puts them, how doors take the players and the names their signs
// show. A folder that gives none of these plays exactly as before.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One stretch of a scene: the ground from `from` to `to` along x. The camera
// stops with the stretch's end at the view's right edge and holds there until
// the stretch's enemies are down. `enemies` are numbers of the scene file's
// enemies, counted from 1 in the file's order.
struct StretchRule {
  int32_t from = 0, to = 0;
  std::vector<int32_t> enemies;
  std::string file;  // the rules file and line that gave it, for errors found later
  size_t line = 0;
};

// An enemy of a scene standing somewhere else than its file says.
struct EnemyPlaceRule {
  int32_t enemy = 0;  // counted from 1 in the scene file's order
  int32_t x = 0, z = 0;
  std::string file;
  size_t line = 0;
};

struct SceneStage {
  std::string sceneId;                // GBK, as doors and first-scene name it
  std::vector<StretchRule> stretches;  // in order along the scene, none overlapping
  std::vector<EnemyPlaceRule> places;

  // The stretch (0 the first) that enemy `number` of the scene file belongs to, -1: none.
  int32_t stretchOf(int32_t number) const {
    for (size_t i = 0; i < stretches.size(); ++i)
      for (int32_t e : stretches[i].enemies)
        if (e == number) return static_cast<int32_t>(i);
    return -1;
  }
  // Moves enemy `number` to where the rules put it (nothing when they do not).
  void place(int32_t number, int32_t& x, int32_t& z) const {
    for (const EnemyPlaceRule& p : places)
      if (p.enemy == number) x = p.x, z = p.z;
  }
};

// The name a door's sign shows for the place it leads to.
struct PlaceName {
  std::string sceneId;  // GBK
  std::string shown;    // GBK
};

struct StageRules {
  std::vector<SceneStage> scenes;
  // door-depth = any: an open door takes a fighter within its reach along the
  // ground at any depth (of several doors, the nearest in depth).
  bool doorsAnyDepth = false;
  std::vector<PlaceName> placeNames;
  // Frames between the fall of a scene's last enemy of its last stretch and
  // the moment its doors take anyone (the game ends no sooner either).
  int32_t beatFrames = 100;

  const SceneStage* scene(const std::string& id) const {
    for (const SceneStage& s : scenes)
      if (s.sceneId == id) return &s;
    return nullptr;
  }
  bool anyStretches() const {
    for (const SceneStage& s : scenes)
      if (!s.stretches.empty()) return true;
    return false;
  }
  // The sign's text for doors leading to `id`: its name from the rules, else nothing.
  const std::string* shownName(const std::string& id) const {
    for (const PlaceName& p : placeNames)
      if (p.sceneId == id) return &p.shown;
    return nullptr;
  }
};

// "data/scene/<id>.dat" -> "<id>": the scene id a scene file was read as.
inline std::string sceneIdOfPath(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  std::string id = slash == std::string::npos ? path : path.substr(slash + 1);
  if (id.size() > 4 && id.compare(id.size() - 4, 4, ".dat") == 0) id.resize(id.size() - 4);
  return id;
}

// The rules words these lines begin with.
inline constexpr const char* kStretchRule = "stretch";
inline constexpr const char* kEnemyPlaceRule = "enemy-place";
inline constexpr const char* kPlaceNameRule = "place-name";
inline constexpr const char* kDoorDepthRule = "door-depth";
