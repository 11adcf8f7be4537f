// The running scene: camera, walls, doors, scene changes and loading a scene
// file into the world.
#include <algorithm>
#include <cmath>
#include <limits>

#include "base/DataFile.h"
#include "base/DataPath.h"
#include "base/DataLayers.h"
#include "object/ScriptNumber.h"
#include "object/SharedEffects.h"
#include "world/World.h"

namespace {

constexpr double kCameraSlack = 100;  // the player may stand this far from the centre

}  // namespace

void World::followCamera() {
  if (charas.empty()) return;
  const double half = screenWidth / 2;
  // The middle of the fighters still standing (of all of them when none is).
  double middle = charas[0]->x;
  if (fighters_ > 1) {
    double lo = 0, hi = 0;
    bool any = false;
    for (int pass = 0; pass < 2 && !any; ++pass) {
      for (size_t i = 0; i < fighters_; ++i) {
        const Chara* f = charas[i];
        if (pass == 0 && (fallen(*f) || seat(f->seat).state != Seat::PLAYING)) continue;
        lo = any ? std::min(lo, f->x) : f->x;
        hi = any ? std::max(hi, f->x) : f->x;
        any = true;
      }
    }
    middle = (lo + hi) / 2;
  }
  const double target = middle - half;
  if (std::fabs(cameraX - target) > kCameraSlack) {
    cameraX = target <= cameraX ? target + kCameraSlack : target - kCameraSlack;
    if (cameraX < 0) cameraX = 0;
    // In double: a scene width near the int32 limit must not overflow.
    const double rightLimit = static_cast<double>(width) - screenWidth;
    if (cameraX > rightLimit) cameraX = rightLimit;
  }
  cameraY = 0;
}

bool World::blockMove(const Box& body, int32_t dx, int32_t dz, int32_t& mx, int32_t& mz) const {
  return blockMoveAmongWalls(walls, wallGridInUse_ ? &wallGrid_ : nullptr, body, dx, dz, mx, mz);
}

void World::openDoorsIfCleared() {
  if (enemyCount() > 0) return;
  for (const Door& d : doors) {
    createObj(kSharedEffectsId, kDoorMarkerAction, 0, 0, 0, d.x, 0, d.z);
  }
  doorsOpen = true;
}

void World::useDoors() {
  // Any fighter that plays takes everyone through (seat order decides when
  // two stand on doors at once); with others beside it, one that has fallen does not.
  for (size_t i = 0; i < fighters_; ++i) {
    const Chara* p = charas[i];
    if (seat(p->seat).state != Seat::PLAYING) continue;
    if (fighters_ > 1 && fallen(*p)) continue;
    // The first door in reach; where doors take a fighter at any depth, the nearest in depth.
    const bool anyDepth = rules.stage.doorsAnyDepth;
    const Door* taken = nullptr;
    for (const Door& d : doors) {
      if (std::fabs(p->x - d.x) >= kDoorReachX || (!anyDepth && std::fabs(p->z - d.z) >= kDoorReachZ)) continue;
      if (!taken || std::fabs(p->z - d.z) < std::fabs(p->z - taken->z)) taken = &d;
      if (!anyDepth) break;
    }
    if (taken) {
      // A door whose scene could not be read was reported once and leads nowhere.
      if (failedDoorTargets.count(taken->targetScene)) return;
      const Door use = *taken;  // the change empties `doors`
      if (!changeScene(use.targetScene, use.entryX, use.entryZ, p->seat))
        failedDoorTargets.insert(use.targetScene);
      return;
    }
  }
}

Expected<SceneFile> World::readScene(const std::string& id, std::string& path) {
  Expected<std::string> where = dataFilePath(DataFileKind::Scene, id);
  if (!where) {
    const std::string source = scenePath.empty() ? std::string("scene id") : scenePath + ": scene id";
    return LoadError{source + " " + where.error().file, 0, where.error().what};
  }
  path = *where;
  return readLayeredDataFile(
      services_.files, path,
      [](const std::vector<uint8_t>& bytes, const std::string& file) { return parseSceneFile(bytes, file); },
      [this](const std::string& warning) { log(warning); });
}

bool World::changeScene(const std::string& target, int32_t entryX, int32_t entryZ, int taker) {
  // Read the whole file first: a missing or damaged scene leaves this one as it is.
  std::string path;
  auto parsed = readScene(target, path);
  if (!parsed) {
    log("cannot change scene: " + parsed.error().message());
    return false;
  }

  // The fighters of seats that are out stay behind; the others come along,
  // the one who took the door on the entry point.
  for (Seat& s : seats)
    if (s.state == Seat::OUT && s.hud.player && fighters_ > 1) removeFighter(s.number);
  for (size_t i = 0; i < fighters_; ++i) {
    Chara* f = charas[i];
    f->x = entryX;
    f->y = 0;
    f->z = entryZ;
  }

  // Everything but the fighters leaves: the plain objects, and enemies left
  // over (the doors normally open only when none is).
  while (charas.size() > fighters_) removeEnemy(charas.size() - 1);
  std::vector<Obj*> leaving;
  leaving.swap(objects);
  for (Obj* o : leaving) {
    const Chara* c = o->asChara();
    if (c && std::find(charas.begin(), charas.end(), c) != charas.end())
      objects.push_back(o);
    else
      removeObject(o);
  }

  for (auto& layer : layers) layer.clear();
  walls.clear();
  doors.clear();

  apply(*parsed, path);
  if (fighters_ > 1) {
    // The others beside the entry point in seat order, never inside a wall.
    int turn = 1;
    for (size_t i = 0; i < fighters_; ++i)
      if (charas[i]->seat != taker) placeBeside(*charas[i], entryX, entryZ, turn++);
    followCamera();
    for (size_t i = 0; i < fighters_; ++i) charas[i]->placeOnScreen();
  }
  doorsOpen = false;
  noteSceneStart(target, entryX, entryZ);
  return true;
}

bool World::load(const std::string& id) {
  std::string path;
  auto parsed = readScene(id, path);
  if (!parsed) {
    log(parsed.error().message());
    return false;
  }
  apply(*parsed, path);
  return true;
}

void World::apply(const SceneFile& file, const std::string& path) {
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
  pictureSet = file.pictureSet;
  backgroundPicture = file.backgroundTexture;

  const std::vector<SceneFile::SpriteEntry>* entries[3] = {&file.far, &file.middle, &file.near};
  for (int l = 0; l < 3; ++l) {
    for (const SceneFile::SpriteEntry& e : *entries[l]) {
      SceneryPicture record;
      record.x = e.x;
      record.y = e.y;
      record.pictureSet = file.pictureSet;
      record.picture = e.texture;
      for (int k = 0; k < 5; ++k) record.reserved[k] = e.reserved[k];
      layers[static_cast<size_t>(l)].push_back(record);
    }
  }

  // Ids become file names: one that is not a plain name makes nothing, as a missing file would.
  auto plainId = [&](const std::string& id, const std::string& role) {
    const std::string why = plainNameProblem(id);
    if (!why.empty())
      report("%s: %s \"%s\" is not a plain name (%s); nothing is made from it", path.c_str(), role.c_str(),
             escapedName(id).c_str(), why.c_str());
    return why.empty();
  };
  const bool items = rules.items.any();
  if (!file.props.empty() && plainId(file.propId, "prop id")) {
    int32_t number = 0;
    for (const SceneFile::PropEntry& p : file.props) {
      Obj* prop = createObj(file.propId, p.action, 0, 0, 1, p.x, p.y, p.z);
      ++number;
      if (prop && items) setUpProp(*prop, number, sceneIdOfPath(path));
    }
  }
  if (items) layItems(sceneIdOfPath(path));
  const SceneStage* stretches = rules.stage.scenes.empty() ? nullptr : rules.stage.scene(sceneIdOfPath(path));
  for (size_t i = 0; i < file.charas.size(); ++i) {
    const SceneFile::CharaEntry& c = file.charas[i];
    int32_t x = c.x, z = c.z;
    const int32_t number = static_cast<int32_t>(i + 1);
    if (stretches) stretches->place(number, x, z);
    if (plainId(c.id, "enemy " + std::to_string(i + 1) + " id"))
      if (Chara* enemy = createChara(c.id, 1, x, z)) {
        strengthenForTeam(*enemy);
        if (stretches) enemy->stretch = stretches->stretchOf(number);
      }
  }
  for (const SceneFile::WallEntry& w : file.walls) {
    walls.push_back(Box{static_cast<double>(w.x), 0.0, static_cast<double>(w.z), static_cast<double>(w.width),
                        static_cast<double>(w.height), static_cast<double>(w.depth)});
  }
  for (const SceneFile::DoorEntry& d : file.doors) {
    doors.push_back(Door{d.targetScene, d.x, d.z, d.entryX, d.entryZ});
  }

  // Four border walls, 500 thick, close the ground rectangle (0, 0)-(W, H).
  const double w = width, h = depth;
  const double halfW = width / 2, halfH = depth / 2;  // integer halves, toward zero (no overflow)
  walls.push_back(Box{-250.0, 0.0, halfH, 500.0, 0.0, h + 500});
  walls.push_back(Box{w + 250, 0.0, halfH, 500.0, 0.0, h + 500});
  walls.push_back(Box{halfW, 0.0, -250.0, w, 0.0, 500.0});
  walls.push_back(Box{halfW, 0.0, h + 250, w, 0.0, 500.0});

  doorsOpen = false;
  startStretches();
  holdCamera();
}
