// The two ways into the world: characters (player and enemies) and plain
// objects (sparks, effects, props, door markers, whatever scripts spawn).
#include <memory>

#include "object/Library.h"
#include "object/ScriptNumber.h"
#include "base/DataPath.h"
#include "world/Scene.h"

Chara* Scene::createChara(const std::string& id, int32_t team, int32_t x, int32_t z) {
  if (!canAddObject()) {
    reportObjectLimit(id, 0);
    return nullptr;
  }
  if (!library || !library->findOrLoad(id)) {
    engine->System_Log("创建角色失败: %s cannot be read (the reason is logged above)", charaFilePath(id).c_str());
    return nullptr;
  }
  auto chara = std::make_unique<Chara>(this, id, 0, 0, team, static_cast<float>(x), 0.0f, static_cast<float>(z));
  charas.reserve(charas.size() + 1);
  objects.reserve(objects.size() + 1);
  Chara* raw = chara.release();
  charas.push_back(raw);
  objects.push_back(raw);
  return raw;
}

Obj* Scene::createObj(const std::string& id, int32_t action, int32_t pc, int32_t facing, int32_t team, double x,
                      double y, double z) {
  if (!canAddObject()) {
    reportObjectLimit(id, action);
    return nullptr;
  }
  if (!library || !library->findOrLoad(id)) {
    // Once per id: a spawn instruction in a looping effect would repeat it every tick.
    if (library && library->reported.first(id, ReportOnce::SpawnFailed)) {
      engine->System_Log("创建对象失败: %s cannot be read; nothing is spawned from it", charaFilePath(id).c_str());
    }
    return nullptr;
  }
  auto obj = std::make_unique<Obj>(this, id, action, pc, facing, team, toFloat(x), toFloat(y), toFloat(z));
  objects.push_back(obj.get());
  return obj.release();
}

void Scene::reportObjectLimit(const std::string& id, int32_t action) {
  if (objectLimitReported_) return;
  objectLimitReported_ = true;
  engine->System_Log("The world holds %zu objects, its limit: %s action %d and every later object are not made",
                     kMaxObjects, charaFilePath(id).c_str(), action);
}
