// The ways into the world (characters: player and enemies; plain objects:
// sparks, effects, props, door markers, whatever scripts spawn) and out of it.
#include <algorithm>
#include <memory>

#include "base/DataPath.h"
#include "object/ScriptNumber.h"
#include "world/World.h"

Chara* World::createChara(const std::string& id, int32_t team, int32_t x, int32_t z) {
  if (!hasRoomForObjects()) {
    reportObjectLimit(id, 0);
    return nullptr;
  }
  if (!library_->findOrLoad(id)) {
    report("创建角色失败: %s cannot be read (the reason is logged above)", charaFilePath(id).c_str());
    return nullptr;
  }
  auto chara = std::make_unique<Chara>(this, id, 0, 0, team, static_cast<float>(x), 0.0f, static_cast<float>(z));
  Chara* raw = chara.get();
  charas.push_back(raw);
  objects.push_back(raw);
  if (hitGrid_.active()) hitGrid_.add(raw, objects.size() - 1);
  owned_.adopt(std::move(chara));
  // The first character of a world without fighters is seat 1's: the player
  // of a game for one.
  if (fighters_ == 0 && charas.size() == 1) {
    fighters_ = 1;
    raw->seat = 1;
    Seat& first = seat(1);
    first.state = Seat::PLAYING;
    first.hud.player = raw;
    ++seatsEverJoined_;
  }
  return raw;
}

Obj* World::createObj(const std::string& id, int32_t action, int32_t pc, int32_t facing, int32_t team, double x,
                      double y, double z) {
  if (!hasRoomForObjects()) {
    reportObjectLimit(id, action);
    return nullptr;
  }
  if (!library_->findOrLoad(id)) {
    // Once per id: a spawn instruction in a looping effect would repeat it every tick.
    if (library_->reported.first(id, ReportOnce::SpawnFailed))
      report("创建对象失败: %s cannot be read; nothing is spawned from it", charaFilePath(id).c_str());
    return nullptr;
  }
  auto obj = std::make_unique<Obj>(this, id, action, pc, facing, team, toFloat(x), toFloat(y), toFloat(z));
  Obj* raw = obj.get();
  raw->seat = spawningSeat_;
  objects.push_back(raw);
  if (hitGrid_.active()) hitGrid_.add(raw, objects.size() - 1);
  owned_.adopt(std::move(obj));
  return raw;
}

void World::removeObject(Obj* o) {
  if (rules.items.any()) forgetItemsOf(o);
  if (auto left = owned_.release(o)) removed_.push_back(std::move(left));
}

void World::removeEnemy(size_t index) {
  Chara* e = charas[index];
  forgetGrabsOf(e);
  charas.erase(charas.begin() + static_cast<std::ptrdiff_t>(index));
  // An enemy finished by a hit after the object pass had passed it is still listed there.
  auto listed = std::find(objects.begin(), objects.end(), static_cast<Obj*>(e));
  if (listed != objects.end()) objects.erase(listed);
  for (Seat& st : seats)
    if (st.hud.target == e) st.hud.target = nullptr;
  removeObject(e);
}

void World::reportObjectLimit(const std::string& id, int32_t action) {
  if (objectLimitReported_) return;
  objectLimitReported_ = true;
  report("The world holds %zu objects, its limit: %s action %d and every later object are not made", kMaxObjects,
         charaFilePath(id).c_str(), action);
}
