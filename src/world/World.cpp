// Building the world and one frame of play.
#include "world/World.h"

#include <algorithm>

#include "base/DataFile.h"
#include "base/DataPath.h"
#include "format/CharaData.h"
#include "base/DataLayers.h"
#include "base/Prefetch.h"
#include "format/SystemData.h"
#include "object/SharedEffects.h"
#include "world/PlayerControl.h"

namespace {

// How many objects ahead the passes over every object ask for their memory.
constexpr size_t kPrefetchAhead = 8;

// The reason a character file cannot be used, as "file: offset N: what".
std::string charaFileError(const std::string& id, const DataLayers* files) {
  auto path = dataFilePath(DataFileKind::Chara, id);
  if (!path) return "character id " + path.error().file + ": " + path.error().what;
  auto bytes = readGameFile(files, *path);
  if (!bytes) return bytes.error().message();
  auto parsed = parseCharaFile(*bytes, files ? files->shownPath(*path) : *path);
  if (!parsed) return parsed.error().message();
  return *path + ": cannot be made into a character";
}

Expected<SystemData> readSystemDataBytes(const std::vector<uint8_t>& bytes, const std::string& file) {
  return parseSystemData(bytes, file);
}

}  // namespace

Expected<ResourceCatalog> readResourceList(const std::function<void(const std::string&)>& warn,
                                           const DataLayers* files) {
  return readLayeredDataFile(
      files, "data/res.dat", [](const std::vector<uint8_t>& b, const std::string& f) { return parseResourceCatalog(b, f); },
      warn);
}

World::World(GameRules rules_, WorldServices services)
    : rules(std::move(rules_)), services_(std::move(services)) {
  for (int n = 1; n <= kMaxSeats; ++n) seat(n).number = n;
  library_ = std::make_unique<Library>([this](const std::string& line) { log(line); }, services_.files);

  auto warn = [this](const std::string& line) { log(line); };
  if (auto read = readResourceList(warn, services_.files)) {
    catalog = std::move(*read);
  } else {
    log(read.error().message());
  }
  // Bytes after the counted strings are part of the format: nothing is said of them.
  if (auto read = readLayeredDataFile(services_.files, "data/system.dat", readSystemDataBytes,
                                      [](const std::string&) {})) {
    systemStrings = std::move(read->strings);
  } else {
    log(read.error().message());
  }

  effectVolume = rules.effectVolume;
  continuesLeft = rules.continuesRule() >= 0 ? rules.continuesRule() : GameRules::kTeamContinues;
  systemObj = std::make_unique<Obj>(this, kSharedEffectsId, 0, 0, 0, 0.0f, 0.0f, 0.0f);

  createChara(rules.heroOf(1), 0, rules.playerX, rules.playerZ);
  if (charas.empty()) {
    startError = "cannot start: " + charaFileError(rules.heroOf(1), services_.files);
    log(startError);
    return;
  }
  // The other seats of the first frame stand at the same place for now; once
  // the scene's walls are known they step aside.
  const int startSeats = std::clamp(rules.seatsAtStart, 1, kMaxSeats);
  for (int s = 2; s <= startSeats; ++s) {
    if (addFighter(s, rules.playerX, rules.playerZ)) ++seatsEverJoined_;
  }

  cameraX = 0;
  cameraY = 0;
  std::string firstPath;
  if (auto first = readScene(rules.firstScene, firstPath))
    apply(*first, firstPath);
  else
    startError = "cannot start: " + first.error().message();
  if (!startError.empty()) log(startError);
  if (fighters_ > 1) {
    for (size_t i = 1; i < fighters_; ++i)
      placeBeside(*charas[i], rules.playerX, rules.playerZ, static_cast<int>(i));
    followCamera();
    for (size_t i = 0; i < fighters_; ++i) charas[i]->placeOnScreen();
  }
  noteSceneStart(rules.firstScene, rules.playerX, rules.playerZ);
  gameOver = false;
}

void World::noteSceneStart(const std::string& id, int32_t x, int32_t z) {
  sceneStart.sceneId = id;
  sceneStart.x = x;
  sceneStart.z = z;
  sceneStart.score = hud.score;
  sceneStart.kills = hud.kills;
  sceneStart.power = hud.power;
  sceneStart.playerHp = charas.empty() ? 0 : charas[0]->hp;
}

World::World(WorldServices services, Bare, ResourceCatalog catalog_, GameRules rules_)
    : rules(std::move(rules_)), catalog(std::move(catalog_)), services_(std::move(services)) {
  for (int n = 1; n <= kMaxSeats; ++n) seat(n).number = n;
  continuesLeft = rules.continuesRule() >= 0 ? rules.continuesRule() : GameRules::kTeamContinues;
  library_ = std::make_unique<Library>([this](const std::string& line) { log(line); }, services_.files);
  if (readGameFile(services_.files, charaFilePath(kSharedEffectsId))) {
    systemObj = std::make_unique<Obj>(this, kSharedEffectsId, 0, 0, 0, 0.0f, 0.0f, 0.0f);
  }
}

World::~World() {
  // Objects first: they point into the library's character records.
  for (Seat& st : seats) st.hud = Hud();
  charas.clear();
  objects.clear();
  owned_.clear();
  removed_.clear();
  systemObj.reset();
  library_.reset();
}

void World::log(const std::string& line) {
  if (services_.log) services_.log(line);
}

void World::playSound(int32_t set, int32_t index) { sounds.push_back(SoundRequest{set, index, effectVolume}); }

void World::playSystemSound(int32_t index) {
  // Without the shared effects file there is no sound to play.
  if (systemObj && systemObj->data) playSound(systemObj->data->pictureSet, index);
}

void World::resolveAttack(size_t at, size_t next) {
  Obj* o = objects[at];
  const Box a = o->worldAttack();
  bool landed = false;
  // The Hud of the attacker's seat shows the enemy it hits (seat 1's when no seat made the attack).
  Hud& attackerHud = o->seat > 0 ? seat(o->seat).hud : hud;
  auto tryHit = [&](Obj* t) {
    // The cheap refusals first: none of them changes anything.
    if (t->team == o->team || t->body.width == 0) return false;
    Chara* c = t->asChara();
    if (c && c->protection > 0) return false;  // a fighter that just dropped in
    if (c && rules.fair.untouchableGettingUp && c->action == kDeathAction && c->hp > 0) return false;  // still getting up
    const Box b = t->worldBody();
    if (!overlaps(a, b)) return false;
    o->attackLanded();
    const bool fighter = c && c->seat > 0;
    const bool spared = rules.playerInvincible && fighter;
    // The difficulty makes the enemies' blows on fighters harder or softer.
    t->takeHit(o->hit, spared ? 0 : fighter ? rules.enemyDamage(o->damage) : o->damage, o->facing);
    if (!c && rules.items.any()) hitProp(*t, o->damage);
    noteBlowLanded(*o, *t);
    landed = true;
    const std::string sparkId = o->hit.sparkFromSystem != 0 ? std::string(kSharedEffectsId) : o->id();
    createObj(sparkId, o->hit.sparkAction, 0, 0, 0, (a.x + b.x) / 2, (a.y + b.y) / 2, std::max(a.z, b.z) + 0.1);
    // Every blow that lands, anyone's, fills the power of every seat that plays.
    hud.gainPower();
    for (int n = 2; n <= kMaxSeats; ++n)
      if (seat(n).state == Seat::PLAYING) seat(n).hud.gainPower();
    if (c && !fighter) {
      attackerHud.setTarget(c->hp >= 1 ? c : nullptr);
      if (o->seat > 0) c->lastHitSeat = o->seat;
    }
    return true;
  };
  if (hitGrid_.active()) {
    // The objects near the attack, in the order of the list; then whatever
    // these hits append, which comes after all of them in the list.
    const uint32_t self = static_cast<uint32_t>(next - 1);
    const size_t listed = objects.size();
    hitGrid_.near(a, self, nearTargets_);
    for (uint32_t id : nearTargets_)
      if (tryHit(hitGrid_.object(id))) hitGrid_.refresh(id);
    for (size_t j = listed; j < objects.size(); ++j)
      if (tryHit(objects[j])) hitGrid_.refresh(static_cast<uint32_t>(j));
    if (landed) hitGrid_.refresh(self);
  } else {
    for (size_t j = 0; j < at; ++j) tryHit(objects[j]);
    // The size is read again each time: a spark or a death effect appended by a
    // hit can itself be hit in this pass.
    for (size_t j = next; j < objects.size(); ++j) tryHit(objects[j]);
  }
  if (landed) o->disarmAttack();
}

bool World::worthAHitGrid() const {
  // Testing every object is cheaper for a short list or a few attacks; the
  // grid pays once many attacks meet many objects. Either way the same hits land.
  constexpr size_t kFewObjects = 64, kFewAttacks = 8;
  if (objects.size() < kFewObjects) return false;
  // The last pass counted the attack boxes as it went: a look at every
  // object here would be one more walk over thousands of them each frame.
  // Its count is a frame old; that only decides which way the same hits are found.
  if (armedAtLastPass_ != kArmedUnknown) return armedAtLastPass_ >= kFewAttacks;
  size_t armed = 0;
  for (const Obj* o : objects)
    if (o->hasAttackBox() && ++armed >= kFewAttacks) return true;
  return false;
}

void World::depthSort() {
  // Objects of equal depth keep their order in the list: a stable sort, so
  // every standard library (and so every machine and the browser) puts them
  // the same way. It reads each object's depth once, not at every comparison.
  depthOrder_.clear();
  for (size_t i = 0; i < objects.size(); ++i) {
    if (i + kPrefetchAhead < objects.size()) prefetchBytes(&objects[i + kPrefetchAhead]->z, sizeof(double));
    depthOrder_.emplace_back(objects[i]->z, objects[i]);
  }
  auto before = [](const std::pair<double, Obj*>& a, const std::pair<double, Obj*>& b) { return a.first < b.first; };
  // The head of the list is last frame's order, each object moved a little:
  // an insertion sort puts it right in a few steps an object. The rest (new
  // objects) is sorted on its own and merged after it. Both keep equal depths
  // in list order, so the result is the stable sort of the whole list; when
  // the head turns out far from sorted, the whole list is sorted at once.
  const size_t head = std::min(depthSortedHead_, depthOrder_.size());
  size_t movesLeft = 8 * head + 64;
  bool headSorted = true;
  for (size_t i = 1; i < head && headSorted; ++i) {
    const std::pair<double, Obj*> item = depthOrder_[i];
    size_t j = i;
    for (; j > 0 && before(item, depthOrder_[j - 1]) && movesLeft > 0; --j, --movesLeft)
      depthOrder_[j] = depthOrder_[j - 1];
    depthOrder_[j] = item;
    headSorted = movesLeft > 0;
  }
  const auto middle = depthOrder_.begin() + static_cast<std::ptrdiff_t>(head);
  if (headSorted) {
    std::stable_sort(middle, depthOrder_.end(), before);
    std::inplace_merge(depthOrder_.begin(), middle, depthOrder_.end(), before);
  } else {
    std::stable_sort(depthOrder_.begin(), depthOrder_.end(), before);
  }
  for (size_t i = 0; i < objects.size(); ++i) objects[i] = depthOrder_[i].second;
  depthSortedHead_ = objects.size();
}

bool World::fallen(const Chara& p) {
  // A fighter without hit points lying in the lying action has fallen. One
  // whose file sent it through the death action instead has left the screen
  // for good: that is a fall too, not a game that can never end.
  return p.hp < 1 && (p.action == kPlayerLyingAction || p.finished);
}

bool World::playerDefeated() const {
  if (seatsEverJoined_ == 0) return false;
  for (const Seat& s : seats)
    if (s.state == Seat::PLAYING) return false;
  return true;
}

void World::update() {
  sounds.clear();
  if (stage.goFrames > 0) --stage.goFrames;
  if (stage.beatFrames > 0) --stage.beatFrames;
  ++feel.step;
  feel.heavyBlows = 0;
  if (!charas.empty()) followCamera();
  holdCamera();

  // Object pass. Objects appended during the pass wait for the next frame. A
  // finished object leaves the list: the survivors close up behind the pass
  // (objects[0, kept) in order), and the gap they leave is closed once the
  // pass is over, so to every object the list reads as if each finished one
  // had been erased at once.
  const size_t n = objects.size();
  size_t kept = 0;
  passRemoved_ = 0;
  wallGridInUse_ = broadPhase;
  if (broadPhase) {
    wallGrid_.update(walls);
    if (worthAHitGrid()) hitGrid_.start(objects);
  }
  const size_t sortedHead = std::min(depthSortedHead_, n);
  size_t keptOfHead = 0;
  size_t armed = 0;
  for (size_t r = 0; r < n; ++r) {
    // The objects lie scattered in memory, in an order unrelated to the
    // list's: ask for the ones a few places ahead while this one runs.
    if (r + kPrefetchAhead < n) prefetchBytes(objects[r + kPrefetchAhead], sizeof(Obj));
    Obj* o = objects[r];
    spawningSeat_ = o->seat;
    o->move();
    o->step();
    if (o->finished) {
      // A finished character stays in `charas` until the character pass.
      if (!o->asChara()) removeObject(o);
      ++passRemoved_;
      if (hitGrid_.active()) hitGrid_.remove(static_cast<uint32_t>(r));
      continue;
    }
    if (hitGrid_.active()) {
      hitGrid_.refresh(static_cast<uint32_t>(r));
      hitGrid_.setSlot(static_cast<uint32_t>(r), kept);
    }
    objects[r] = nullptr;
    objects[kept] = o;
    if (r < sortedHead) ++keptOfHead;
    if (o->hasAttackBox()) {
      ++armed;
      if (o->hit.active) resolveAttack(kept, r + 1);
    }
    ++kept;
  }
  objects.erase(objects.begin() + static_cast<std::ptrdiff_t>(kept), objects.begin() + static_cast<std::ptrdiff_t>(n));
  depthSortedHead_ = keptOfHead;
  armedAtLastPass_ = armed;
  passRemoved_ = 0;
  spawningSeat_ = 0;
  wallGridInUse_ = false;
  hitGrid_.stop();
  holdFightersInView();
  if (rules.extendedInstructions) updateGrabs();
  if (rules.items.any()) updateItems();
  holdStretchInView();
  keepFightsFair();

  // Character pass: the enemies think, each against the fighter it goes for;
  // finished ones score for the seat that struck them last and leave.
  if (fighters_ > 0) {
    for (size_t i = fighters_; i < charas.size();) {
      Chara* e = charas[i];
      // A held enemy only struggles: it neither walks nor attacks.
      if ((grips.empty() || !gripOf(e)) && stretchAwake(*e) && !(rules.items.any() && seekWeapon(*e))) {
        const int32_t before = e->action;
        runEnemyBehaviour(*e, *targetFor(e->x, e->z), e->data ? rules.paceOf(e->data->name) : EnemyPace{},
                          services_.random);
        if (!heldWeapons.empty() && e->data) armEnemyAttack(*e, before);
      }
      if (e->finished) {
        addScore(e->lastHitSeat > 0 ? seat(e->lastHitSeat).hud : hud, *e, rules);
        removeEnemy(i);
        releaseClearedStretch();
        openDoorsIfCleared();
        continue;
      }
      ++i;
    }
  }

  if (doorsOpen && fighters_ > 0 && stage.beatFrames == 0) useDoors();
  updateSeats();

  if (playerDefeated()) gameOver = true;
  if (finalSceneCleared() && stage.beatFrames == 0) gameOver = true;

  depthSort();
  destroyRemoved();
}

void World::controlPlayer(const FrameInput& input) {
  SeatInputs inputs;
  inputs[1] = input;
  controlPlayers(inputs);
}

void World::step(const FrameInput& input) {
  update();
  if (!gameOver) controlPlayer(input);
}

void World::step(const SeatInputs& inputs) {
  update();
  if (!gameOver) controlPlayers(inputs);
}
