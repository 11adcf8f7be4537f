// Building the world, one frame of play and one frame of drawing.
#include "world/Scene.h"

#include <algorithm>
#include <functional>

#include "format/CharaData.h"
#include "base/DataFile.h"
#include "base/DataPath.h"
#include "world/EnemyBehaviour.h"
#include "world/Hud.h"
#include "world/PlayerControl.h"
#include "format/SystemData.h"

namespace {

constexpr const char* kPlayerId = "c_morivane";
constexpr const char* kFirstScene = "Test";
constexpr const char* kFinalScene = "zd";
constexpr int32_t kPlayerDeathAction = 11;

// The reason a character file cannot be used, as "file: offset N: what".
std::string charaFileError(const std::string& id) {
  const std::string path = charaFilePath(id);
  auto bytes = readFileBytes(path);
  if (!bytes) return bytes.error().message();
  auto parsed = parseCharaFile(*bytes, path);
  if (!parsed) return parsed.error().message();
  return path + ": cannot be made into a character";
}

Expected<ResourceCatalog> readResourceCatalogBytes(const std::vector<uint8_t>& bytes, const std::string& file) {
  return parseResourceCatalog(bytes, file);
}
Expected<SystemData> readSystemDataBytes(const std::vector<uint8_t>& bytes, const std::string& file) {
  return parseSystemData(bytes, file);
}

template <class Record>
Expected<Record> logged(Expected<Record> record, HGE* engine) {
  if (!record) engine->System_Log("%s", record.error().message().c_str());
  return record;
}

}  // namespace

Scene::Scene(HGE* engine_) : engine(engine_) {
  engine->Resource_AttachPack("pak.zip", "brazenoth");
  screenWidth = 800;
  screenHeight = 480;

  auto warn = [this](const std::string& line) { engine->System_Log("%s", line.c_str()); };
  if (auto read = logged(readDataFile("data/res.dat", readResourceCatalogBytes, warn), engine)) catalog = std::move(*read);

  libraryOwner = std::make_unique<Library>(engine, &catalog);
  library = libraryOwner.get();

  // Bytes after the counted strings are part of the format: nothing is said of them.
  if (auto read = logged(readDataFile("data/system.dat", readSystemDataBytes, [](const std::string&) {}), engine))
    systemStrings = std::move(read->strings);

  effectVolume = 50;
  systemObj = std::make_unique<Obj>(this, "system", 0, 0, 0, 0.0f, 0.0f, 0.0f);

  createChara(kPlayerId, 0, 100, 400);
  if (charas.empty()) {
    startError = "cannot start: " + charaFileError(kPlayerId);
    engine->System_Log("%s", startError.c_str());
    return;
  }

  hud = std::make_unique<Hud>(engine, charas[0]);
  font = std::make_unique<BitmapFont>("font1.fnt", false);
  font->setColor(0xFF000000);

  HSTREAM music = engine->Stream_Load("pak/ui/hte/bg.mp3", 0);
  engine->Stream_Play(music, true, 100);

  cameraX = 0;
  cameraY = 0;
  std::string firstPath;
  if (auto first = readScene(kFirstScene, firstPath))
    apply(*first, firstPath);
  else
    startError = "cannot start: " + first.error().message();
  if (!startError.empty()) engine->System_Log("%s", startError.c_str());
  gameOver = false;
}

Scene::Scene(HGE* engine_, Bare, ResourceCatalog catalog_) : engine(engine_), catalog(std::move(catalog_)) {
  libraryOwner = std::make_unique<Library>(engine, &catalog);
  library = libraryOwner.get();
  if (readFileBytes(charaFilePath("system"))) {
    systemObj = std::make_unique<Obj>(this, "system", 0, 0, 0, 0.0f, 0.0f, 0.0f);
  }
  hud = std::make_unique<Hud>(engine, nullptr);
}

Scene::~Scene() {
  // Objects first: they point into the library's character data and texture lists.
  for (Obj* o : objects) {
    if (o->kind == 0) delete o;
  }
  objects.clear();
  for (Chara* c : charas) delete c;
  charas.clear();
  systemObj.reset();
  hud.reset();
  for (auto& layer : layers) layer.clear();
  background.reset();
  font.reset();
  libraryOwner.reset();
  library = nullptr;
}

void Scene::destroyEnemy(size_t index) {
  Chara* e = charas[index];
  charas.erase(charas.begin() + static_cast<std::ptrdiff_t>(index));
  // An enemy finished by a hit after the object pass had passed it is still listed there.
  auto listed = std::find(objects.begin(), objects.end(), static_cast<Obj*>(e));
  if (listed != objects.end()) objects.erase(listed);
  if (hud && hud->target == e) hud->target = nullptr;
  delete e;
}

void Scene::resolveAttack(size_t i) {
  Obj* o = objects[i];
  const Box a = o->worldAttack();
  bool landed = false;
  for (size_t j = 0; j < objects.size(); ++j) {
    if (j == i) continue;
    Obj* t = objects[j];
    const Box b = t->worldBody();
    if (b.width == 0 || t->team == o->team) continue;
    if (!overlaps(a, b)) continue;
    o->attackLanded();
    t->takeHit(o->hit, o->damage, o->facing);
    landed = true;
    const std::string sparkId = o->hit.sparkFromSystem != 0 ? std::string("system") : o->id();
    createObj(sparkId, o->hit.sparkAction, 0, 0, 0, (a.x + b.x) / 2, (a.y + b.y) / 2,
              std::max(a.z, b.z) + 0.1);
    if (hud) {
      hud->gainPower();
      if (t->kind == 2 && (charas.empty() || t != charas[0])) {
        hud->setTarget(t->hp >= 1 ? static_cast<Chara*>(t) : nullptr);
      }
    }
  }
  if (landed) o->disarmAttack();
}

void Scene::update() {
  if (!charas.empty()) followCamera();

  // Object pass. Objects appended during the pass wait for the next frame.
  size_t n = objects.size();
  for (size_t i = 0; i < n;) {
    Obj* o = objects[i];
    o->move();
    o->step();
    if (o->finished) {
      objects.erase(objects.begin() + static_cast<std::ptrdiff_t>(i));
      if (o->kind == 0) delete o;
      --n;
      continue;
    }
    if (o->hasAttackBox() && o->hit.active) resolveAttack(i);
    ++i;
  }

  // Character pass: the enemies think; finished ones score and leave.
  if (!charas.empty()) {
    std::function<int(int, int)> roll = [this](int lo, int hi) { return engine->Random_Int(lo, hi); };
    for (size_t i = 1; i < charas.size();) {
      Chara* e = charas[i];
      runEnemyBehaviour(*e, *charas[0], roll);
      if (e->finished) {
        if (hud) addScore(*hud, *e);
        destroyEnemy(i);
        openDoorsIfCleared();
        continue;
      }
      ++i;
    }
  }

  if (doorsOpen && !charas.empty()) useDoors();

  // A player without hit points lying in action 11 has lost. One whose file sent
  // it through the death action instead has left the screen for good: that is a
  // defeat too, not a game that can never end.
  if (hud && hud->player && hud->player->hp < 1 &&
      (hud->player->action == kPlayerDeathAction || hud->player->finished))
    gameOver = true;
  if (!charas.empty() && charas.size() < 2 && name == kFinalScene) gameOver = true;

  std::sort(objects.begin(), objects.end(), [](const Obj* a, const Obj* b) { return a->z < b->z; });
}

void Scene::render() {
  renderScenery(false);
  for (Obj* o : objects) o->render();
  renderScenery(true);
  if (hud) {
    hud->updateCommands(engine);
    if (!charas.empty()) runPlayerControl(*hud, *charas[0], engine);
    hud->draw();
    if (font) font->drawFormatted(800, 0, AlignRight, "Score = %d  ", hud->score);
  }
}

void Scene::playSystemSound(int32_t index) {
  HEFFECT sound = 0;
  if (systemObj && systemObj->data && systemObj->data->textureList) {
    sound = systemObj->data->textureList->sound(static_cast<uint32_t>(index));
  }
  engine->Effect_PlayEx(sound, effectVolume, 0, 1.0f, false);
}
