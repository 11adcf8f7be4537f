// The running scene: camera, walls, doors, scene changes, loading a scene file
// into the world and drawing the scenery.
#include <cmath>
#include <limits>

#include "base/DataFile.h"
#include "base/DataPath.h"
#include "world/Hud.h"
#include "world/Scene.h"

namespace {

// Rounds toward zero into an int32, saturating (NaN gives 0), so a body far
// outside the ground cannot make the conversion undefined.
int32_t truncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

constexpr double kCameraSlack = 100;  // the player may stand this far from the centre
constexpr double kDoorReachX = 30;
constexpr double kDoorReachZ = 10;
constexpr int32_t kDoorMarkerAction = 17;

}  // namespace

void Scene::followCamera() {
  if (charas.empty()) return;
  const double half = screenWidth / 2;
  const double target = charas[0]->x - half;
  if (std::fabs(cameraX - target) > kCameraSlack) {
    cameraX = target <= cameraX ? target + kCameraSlack : target - kCameraSlack;
    if (cameraX < 0) cameraX = 0;
    // In double: a scene width near the int32 limit must not overflow.
    const double rightLimit = static_cast<double>(width) - screenWidth;
    if (cameraX > rightLimit) cameraX = rightLimit;
  }
  cameraY = 0;
}

bool Scene::blockMove(const Box& body, int32_t dx, int32_t dz, int32_t& mx, int32_t& mz) const {
  mx = dx;
  mz = dz;
  bool blockedX = false, blockedZ = false, result = false;
  for (const Box& w : boxes) {
    if (!(std::fabs(body.z + dz - w.z) < (body.depth + w.depth) / 2)) continue;
    if (!(std::fabs(body.x + dx - w.x) < (body.width + w.width) / 2)) continue;
    result = true;
    if (std::fabs(body.z - w.z) < w.depth / 2) {
      // The body's centre lies within the wall's depth: it runs into a side.
      if (!blockedX) {
        mx = truncToInt(std::fabs(w.x - body.x) - (body.width + w.width) / 2 - 1);
        if (body.x >= w.x) mx = -mx;
        blockedX = true;
      }
    } else if (!blockedZ) {
      mz = truncToInt(std::fabs(w.z - body.z) - (body.depth + w.depth) / 2 - 1);
      if (body.z >= w.z) mz = -mz;
      blockedZ = true;
    }
  }
  return result;
}

void Scene::openDoorsIfCleared() {
  if (charas.size() >= 2) return;
  for (const Door& d : doors) {
    createObj("system", kDoorMarkerAction, 0, 0, 0, d.x, 0, d.z);
  }
  doorsOpen = true;
}

void Scene::useDoors() {
  if (charas.empty()) return;
  const Chara* p = charas[0];
  for (const Door& d : doors) {
    if (std::fabs(p->x - d.x) < kDoorReachX && std::fabs(p->z - d.z) < kDoorReachZ) {
      // A door whose scene could not be read was reported once and leads nowhere.
      if (failedDoorTargets.count(d.targetScene)) return;
      const Door use = d;  // the change empties `doors`
      if (!changeScene(use.targetScene, use.entryX, use.entryZ)) failedDoorTargets.insert(use.targetScene);
      return;
    }
  }
}

Expected<SceneFile> Scene::readScene(const std::string& id, std::string& path) {
  Expected<std::string> where = dataFilePath(DataFileKind::Scene, id);
  if (!where) {
    const std::string source = scenePath.empty() ? std::string("scene id") : scenePath + ": scene id";
    return LoadError{source + " " + where.error().file, 0, where.error().what};
  }
  path = *where;
  return readDataFile(
      path, [](const std::vector<uint8_t>& bytes, const std::string& file) { return parseSceneFile(bytes, file); },
      [this](const std::string& warning) { engine->System_Log("%s", warning.c_str()); });
}

bool Scene::changeScene(const std::string& target, int32_t entryX, int32_t entryZ) {
  // Read the whole file first: a missing or damaged scene leaves this one as it is.
  std::string path;
  auto parsed = readScene(target, path);
  if (!parsed) {
    engine->System_Log("cannot change scene: %s", parsed.error().message().c_str());
    return false;
  }

  Chara* player = charas.empty() ? nullptr : charas[0];
  if (player) {
    player->x = entryX;
    player->y = 0;
    player->z = entryZ;
  }

  // Everything but the player leaves. Plain objects are deleted here; enemies
  // left over (the doors normally open only when none is) through `charas`.
  size_t kept = 0;
  for (Obj* o : objects) {
    if (o == player) {
      objects[kept++] = o;
    } else if (o->kind == 0) {
      delete o;
    }
  }
  objects.resize(kept);
  while (charas.size() > 1) destroyEnemy(charas.size() - 1);

  for (auto& layer : layers) layer.clear();
  boxes.clear();
  doors.clear();

  apply(*parsed, path);
  doorsOpen = false;
  return true;
}

bool Scene::load(const std::string& id) {
  std::string path;
  auto parsed = readScene(id, path);
  if (!parsed) {
    engine->System_Log("%s", parsed.error().message().c_str());
    return false;
  }
  apply(*parsed, path);
  return true;
}

void Scene::apply(const SceneFile& file, const std::string& path) {
  scenePath = path;
  name = file.name;
  width = file.width;
  depth = file.depth;
  // The camera takes its place in the new scene before anything is made in
  // it, and the player (moved to the entry point after this frame's move) is
  // placed under it, so the scene's first picture already shows what its
  // second will.
  followCamera();
  for (Obj* o : objects) o->placeOnScreen();
  sceneTextures = library->findOrLoadTextureList(file.pictureSet);
  backgroundTexture = file.backgroundTexture;

  const std::vector<SceneFile::SpriteEntry>* entries[3] = {&file.far, &file.middle, &file.near};
  for (int l = 0; l < 3; ++l) {
    for (const SceneFile::SpriteEntry& e : *entries[l]) {
      auto record = std::make_unique<Sprite>();
      record->x = e.x;
      record->y = e.y;
      record->texture = e.texture;
      for (int k = 0; k < 5; ++k) record->reserved[k] = e.reserved[k];
      const HTEXTURE tex = sceneTextures->texture(static_cast<uint32_t>(e.texture));
      record->sprite = std::make_unique<SpriteQuad>(tex, 0.0f, 0.0f, static_cast<float>(engine->Texture_GetWidth(tex)),
                                                    static_cast<float>(engine->Texture_GetHeight(tex)));
      layers[l].push_back(std::move(record));
    }
  }

  // Ids become file names: one that is not a plain name makes nothing, as a missing file would.
  auto plainId = [&](const std::string& id, const std::string& role) {
    const std::string why = plainNameProblem(id);
    if (!why.empty())
      engine->System_Log("%s: %s \"%s\" is not a plain name (%s); nothing is made from it", path.c_str(),
                         role.c_str(), escapedName(id).c_str(), why.c_str());
    return why.empty();
  };
  if (!file.props.empty() && plainId(file.propId, "prop id")) {
    for (const SceneFile::PropEntry& p : file.props) createObj(file.propId, p.action, 0, 0, 1, p.x, p.y, p.z);
  }
  for (size_t i = 0; i < file.charas.size(); ++i) {
    const SceneFile::CharaEntry& c = file.charas[i];
    if (plainId(c.id, "enemy " + std::to_string(i + 1) + " id")) createChara(c.id, 1, c.x, c.z);
  }
  for (const SceneFile::WallEntry& w : file.walls) {
    boxes.push_back(Box{static_cast<double>(w.x), 0.0, static_cast<double>(w.z), static_cast<double>(w.width),
                        static_cast<double>(w.height), static_cast<double>(w.depth)});
  }
  for (const SceneFile::DoorEntry& d : file.doors) {
    doors.push_back(Door{d.targetScene, d.x, d.z, d.entryX, d.entryZ});
  }

  // Four border walls, 500 thick, close the ground rectangle (0, 0)-(W, H).
  const double w = width, h = depth;
  const double halfW = width / 2, halfH = depth / 2;  // integer halves, toward zero (no overflow)
  boxes.push_back(Box{-250.0, 0.0, halfH, 500.0, 0.0, h + 500});
  boxes.push_back(Box{w + 250, 0.0, halfH, 500.0, 0.0, h + 500});
  boxes.push_back(Box{halfW, 0.0, -250.0, w, 0.0, 500.0});
  boxes.push_back(Box{halfW, 0.0, h + 250, w, 0.0, 500.0});

  background = std::make_unique<SpriteQuad>(sceneTextures->texture(static_cast<uint32_t>(backgroundTexture)), 0.0f,
                                            0.0f, 800.0f, 480.0f);
  doorsOpen = false;
}

void Scene::renderScenery(bool nearPart) {
  if (!nearPart) {
    if (background) background->draw(0, 0);
    for (const auto& s : layers[FAR]) {
      s->sprite->draw(static_cast<float>(s->x - cameraX * 0.5), static_cast<float>(s->y - cameraY));
    }
    for (const auto& s : layers[MIDDLE]) {
      s->sprite->draw(static_cast<float>(s->x - cameraX), static_cast<float>(s->y - cameraY));
    }
  } else {
    for (const auto& s : layers[NEAR]) {
      s->sprite->draw(static_cast<float>(s->x - cameraX), static_cast<float>(s->y - cameraY));
    }
  }
}
