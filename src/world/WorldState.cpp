// Saving the world's frame as bytes and putting it back: every object and
// character with its whole state, the running scene, the seats and their
// Hud numbers, the sounds of the frame and the random generator. Character
// files are named by id (the library holds them); objects refer to each
// other by index into the saved list.
#include <algorithm>
#include <limits>
#include <memory>
#include <unordered_map>

#include "world/StateBytes.h"
#include "world/World.h"

namespace {

constexpr uint32_t kStateMagic = 0x54535654;  // "TVST"
constexpr size_t kMaxIdBytes = 255;
constexpr size_t kMaxTextBytes = 4096;
constexpr size_t kMaxSceneEntries = 1u << 20;
constexpr size_t kMinObjectBytes = 200;  // a plain object's saved fields, at least
constexpr int32_t kNone = -1;

void writeObj(StateWriter& w, const Obj& o) {
  const Chara* c = o.asChara();
  w.u8(c ? 1 : 0);
  w.text(o.data ? o.data->id : std::string());
  for (double v : {o.x, o.y, o.z, o.vx, o.vy, o.vz, o.ax, o.ay, o.az}) w.f64(v);
  w.i32(o.frameDx);
  w.i32(o.frameDy);
  w.box(o.body);
  w.box(o.attack);
  w.i32(o.damage);
  w.i32(o.picture);
  w.u32(o.tint);
  w.flag(o.additive);
  w.i32(o.facing);
  w.flag(o.landArmed);
  w.i32(o.landAction);
  w.i32(o.landPc);
  w.flag(o.hitArmed);
  w.i32(o.hitAction);
  w.i32(o.hitPc);
  w.i32(o.hit.groundReaction);
  w.i32(o.hit.airReaction);
  w.f64(o.hit.pushVx);
  w.f64(o.hit.pushVy);
  w.i32(o.hit.targetFreeze);
  w.i32(o.hit.selfFreeze);
  w.flag(o.hit.active);
  w.i32(o.hit.sparkFromSystem);
  w.i32(o.hit.sparkAction);
  w.flag(o.hitLanded);
  w.i32(o.action);
  w.i32(o.pc);
  w.i32(o.ticks);
  w.i32(o.wait);
  w.flag(o.holdPc);
  w.flag(o.finished);
  w.i32(o.team);
  w.i32(o.freeze);
  w.f64(o.sx);
  w.f64(o.sy);
  w.f64(o.sz);
  w.i32(o.hp);
  w.i32(o.seat);
  if (c) {
    w.i32(c->aiMode);
    w.i32(c->aiModeTimer);
    w.i32(c->aiAttackTimer);
    w.i32(c->protection);
    w.i32(c->lastHitSeat);
    w.i32(c->teamHp);
    w.i32(c->stretch);
    for (int32_t age : c->hitAges) w.i32(age);
    w.flag(c->knockedDown);
  }
}

// `version`: the state's; a state of version 1 was saved before the rules
// switched on by rules lines (stretches, fair fights, grabs) had anything to keep.
std::unique_ptr<Obj> readObj(StateReader& r, ObjectHost* host, uint32_t version) {
  const uint8_t kind = r.u8("object kind");
  if (kind > 1) r.fail("object kind " + std::to_string(kind) + " is neither 0 (plain) nor 1 (character)");
  const std::string id = r.text("object id", kMaxIdBytes);
  if (r.failed()) return nullptr;
  // Made in its first action with no side effect; every field is then set.
  std::unique_ptr<Obj> made = kind == 1 ? std::make_unique<Chara>(host, id, 0, 0, 0, 0.0f, 0.0f, 0.0f)
                                        : std::make_unique<Obj>(host, id, 0, 0, 0, 0.0f, 0.0f, 0.0f);
  Obj& o = *made;
  for (double* v : {&o.x, &o.y, &o.z, &o.vx, &o.vy, &o.vz, &o.ax, &o.ay, &o.az}) *v = r.f64("object position");
  o.frameDx = r.i32("frame offset");
  o.frameDy = r.i32("frame offset");
  o.body = r.box("body box");
  o.attack = r.box("attack box");
  o.damage = r.i32("damage");
  o.picture = r.i32("picture");
  o.tint = r.u32("tint");
  o.additive = r.flag("additive");
  o.facing = r.i32("facing");
  o.landArmed = r.flag("landing armed");
  o.landAction = r.i32("landing action");
  o.landPc = r.i32("landing instruction");
  o.hitArmed = r.flag("hit jump armed");
  o.hitAction = r.i32("hit jump action");
  o.hitPc = r.i32("hit jump instruction");
  o.hit.groundReaction = r.i32("hit");
  o.hit.airReaction = r.i32("hit");
  o.hit.pushVx = r.f64("hit");
  o.hit.pushVy = r.f64("hit");
  o.hit.targetFreeze = r.i32("hit");
  o.hit.selfFreeze = r.i32("hit");
  o.hit.active = r.flag("hit");
  o.hit.sparkFromSystem = r.i32("hit");
  o.hit.sparkAction = r.i32("hit");
  o.hitLanded = r.flag("hit landed");
  o.action = r.i32("action");
  o.pc = r.i32("instruction");
  o.ticks = r.i32("ticks");
  o.wait = r.i32("wait");
  o.holdPc = r.flag("hold");
  o.finished = r.flag("finished");
  o.team = r.i32("team");
  o.freeze = r.i32("hit-stop");
  o.sx = r.f64("screen place");
  o.sy = r.f64("screen place");
  o.sz = r.f64("screen place");
  o.hp = r.i32("hit points");
  o.seat = r.i32("seat");
  if (o.seat < 0 || o.seat > kMaxSeats) r.fail("seat " + std::to_string(o.seat) + " is not 0 to 4");
  if (Chara* c = o.asChara()) {
    c->aiMode = r.i32("behaviour");
    c->aiModeTimer = r.i32("behaviour");
    c->aiAttackTimer = r.i32("behaviour");
    c->protection = r.i32("protection");
    c->lastHitSeat = r.i32("last hit by");
    c->teamHp = r.i32("team hit points");
    if (version >= 2) {
      c->stretch = r.i32("stretch");
      if (c->stretch < -1) r.fail("stretch " + std::to_string(c->stretch) + " is below -1");
      for (int32_t& age : c->hitAges) age = r.i32("frames since a hit");
      c->knockedDown = r.flag("knocked down");
    }
    if (c->lastHitSeat < 0 || c->lastHitSeat > kMaxSeats) r.fail("last hit by seat is not 0 to 4");
  }
  return made;
}

}  // namespace

void World::saveState(uint64_t randomState, std::vector<uint8_t>& out) const {
  out.clear();
  out.reserve(4096 + objects.size() * 256);
  StateWriter w(out);
  w.u32(kStateMagic);
  w.u32(kStateVersion);
  w.u64(randomState);

  w.i32(screenWidth);
  w.f64(cameraX);
  w.f64(cameraY);
  w.text(name);
  w.i32(depth);
  w.i32(width);
  w.i32(pictureSet);
  w.i32(backgroundPicture);
  for (const auto& layer : layers) {
    w.u32(static_cast<uint32_t>(layer.size()));
    for (const SceneryPicture& p : layer) {
      w.i32(p.x);
      w.i32(p.y);
      w.i32(p.pictureSet);
      w.i32(p.picture);
      for (int32_t v : p.reserved) w.i32(v);
    }
  }
  w.u32(static_cast<uint32_t>(walls.size()));
  for (const Box& b : walls) w.box(b);
  w.flag(doorsOpen);
  w.u32(static_cast<uint32_t>(doors.size()));
  for (const Door& d : doors) {
    w.text(d.targetScene);
    w.i32(d.x);
    w.i32(d.z);
    w.i32(d.entryX);
    w.i32(d.entryZ);
  }
  w.i32(effectVolume);
  w.flag(gameOver);

  // Every object: those in the list in order, then characters that have left
  // it (a fighter whose death action ended); references become indices.
  // The index is a list sorted by address, kept between saves with its room,
  // so a save in steady play (a rewind ring's every frame) allocates nothing.
  std::vector<std::pair<const Obj*, int32_t>>& index = stateIndex_;
  std::vector<const Obj*>& all = stateList_;
  index.clear();
  all.assign(objects.begin(), objects.end());
  for (const Obj* o : objects) index.emplace_back(o, static_cast<int32_t>(index.size()));
  std::sort(index.begin(), index.end());
  auto ref = [&](const Obj* c) -> int32_t {
    if (!c) return kNone;
    auto it = std::lower_bound(index.begin(), index.end(), std::make_pair(c, INT32_MIN));
    if (it != index.end() && it->first == c) return it->second;
    // A character that has left the list, after the list's objects.
    for (size_t k = objects.size(); k < all.size(); ++k)
      if (all[k] == c) return static_cast<int32_t>(k);
    return kNone;
  };
  for (const Chara* c : charas)
    if (ref(c) == kNone) all.push_back(c);
  w.u32(static_cast<uint32_t>(all.size()));
  w.u32(static_cast<uint32_t>(objects.size()));
  for (const Obj* o : all) writeObj(w, *o);
  w.u32(static_cast<uint32_t>(charas.size()));
  for (const Chara* c : charas) w.i32(ref(c));

  for (const Seat& s : seats) {
    w.i32(s.state);
    w.i32(s.continueFrames);
    w.flag(s.fallSeen);
    w.i32(s.hud.commandTimer);
    for (int32_t code : s.hud.commands) w.i32(code);
    for (int32_t gap : s.hud.commandGaps) w.i32(gap);
    w.i32(ref(s.hud.player));
    w.i32(ref(s.hud.target));
    w.i32(s.hud.kills);
    w.i32(s.hud.score);
    w.i32(s.hud.power);
  }
  w.i32(continuesLeft);
  w.u32(static_cast<uint32_t>(sounds.size()));
  for (const SoundRequest& s : sounds) {
    w.i32(s.pictureSet);
    w.i32(s.index);
    w.i32(s.volume);
  }
  w.text(sceneStart.sceneId);
  for (int32_t v : {sceneStart.x, sceneStart.z, sceneStart.score, sceneStart.kills, sceneStart.power,
                    sceneStart.playerHp})
    w.i32(v);
  w.text(scenePath);
  w.u32(static_cast<uint32_t>(failedDoorTargets.size()));
  for (const std::string& id : failedDoorTargets) w.text(id);
  w.u32(static_cast<uint32_t>(fighters_));
  w.i32(seatsEverJoined_);
  w.flag(objectLimitReported_);

  // Grabs: the grab boxes that are out, who holds whom, what flies.
  uint32_t grabBoxes = 0;
  for (const Obj* o : all) grabBoxes += o->grab.width != 0 ? 1 : 0;
  w.u32(grabBoxes);
  for (const Obj* o : all)
    if (o->grab.width != 0) {
      w.i32(ref(o));
      w.box(o->grab);
    }
  w.u32(static_cast<uint32_t>(grips.size()));
  for (const Grip& g : grips) {
    w.i32(ref(g.holder));
    w.i32(ref(g.held));
    w.i32(g.frames);
    w.i32(g.knees);
    w.f64(g.reach);
  }
  w.u32(static_cast<uint32_t>(flights.size()));
  for (const Flight& f : flights) {
    w.i32(ref(f.body));
    w.i32(f.damage);
    w.i32(f.seat);
    w.i32(f.frames);
    w.box(f.shape);
    w.u32(static_cast<uint32_t>(f.struck.size()));
    for (const Chara* c : f.struck) w.i32(ref(c));
  }
  w.i32(stage.stretch);
  w.flag(stage.held);
  w.flag(stage.reached);
  w.i32(stage.goFrames);
  w.i32(stage.beatFrames);

  // Items: the props that hold one, what lies on the ground, the weapons in hand, what each seat took.
  w.u32(static_cast<uint32_t>(propHolds.size()));
  for (const PropHold& p : propHolds) {
    w.i32(ref(p.prop));
    w.i32(p.item);
  }
  w.u32(static_cast<uint32_t>(lyingItems.size()));
  for (const LyingItem& l : lyingItems) {
    w.i32(ref(l.obj));
    w.i32(l.item);
    w.i32(l.uses);
  }
  w.u32(static_cast<uint32_t>(heldWeapons.size()));
  for (const HeldWeapon& h : heldWeapons) {
    w.i32(ref(h.holder));
    w.i32(h.item);
    w.i32(h.uses);
  }
  for (const ItemTally& t : tallies)
    for (int32_t v : {t.food, t.treasure, t.weapons}) w.i32(v);
}

Expected<uint64_t> World::restoreState(std::span<const uint8_t> bytes, const std::string& source) {
  StateReader r(bytes);
  auto error = [&]() { return LoadError{source, r.errorOffset(), r.error()}; };
  if (r.u32("the state's mark") != kStateMagic && !r.failed()) r.fail("not a saved world (no \"TVST\" mark)");
  const uint32_t version = r.u32("version");
  if (!r.failed() && (version < 1 || version > kStateVersion))
    r.fail("a state of version " + std::to_string(version) + "; this game reads version " +
           std::to_string(kStateVersion));
  const uint64_t randomState = r.u64("random state");
  if (r.failed()) return error();

  // Everything is read into these first; the world changes only once the whole state has read well.
  struct Scene {
    int32_t screenWidth, depth, width, pictureSet, backgroundPicture, effectVolume;
    double cameraX, cameraY;
    std::string name;
    std::array<std::vector<SceneryPicture>, 3> layers;
    std::vector<Box> walls;
    bool doorsOpen, gameOver;
    std::vector<Door> doors;
  } s{};
  s.screenWidth = r.i32("screen width");
  s.cameraX = r.f64("camera");
  s.cameraY = r.f64("camera");
  s.name = r.text("scene name", kMaxTextBytes);
  s.depth = r.i32("scene depth");
  s.width = r.i32("scene width");
  s.pictureSet = r.i32("scene picture set");
  s.backgroundPicture = r.i32("background picture");
  for (auto& layer : s.layers) {
    const size_t n = r.count("scenery pictures", 36, kMaxSceneEntries);
    layer.resize(n);
    for (SceneryPicture& p : layer) {
      p.x = r.i32("scenery");
      p.y = r.i32("scenery");
      p.pictureSet = r.i32("scenery");
      p.picture = r.i32("scenery");
      for (int32_t& v : p.reserved) v = r.i32("scenery");
    }
  }
  s.walls.resize(r.count("walls", 48, kMaxSceneEntries));
  for (Box& b : s.walls) b = r.box("wall");
  s.doorsOpen = r.flag("doors open");
  s.doors.resize(r.count("doors", 20, kMaxSceneEntries));
  for (Door& d : s.doors) {
    d.targetScene = r.text("door target", kMaxIdBytes);
    d.x = r.i32("door");
    d.z = r.i32("door");
    d.entryX = r.i32("door");
    d.entryZ = r.i32("door");
  }
  s.effectVolume = r.i32("effect volume");
  s.gameOver = r.flag("game over");
  if (r.failed()) return error();

  const size_t total = r.count("objects", kMinObjectBytes, kMaxObjects + kMaxSeats);
  const uint32_t listed = r.u32("objects in the list");
  if (!r.failed() && listed > total) r.fail("objects in the list: " + std::to_string(listed) + " of " + std::to_string(total));
  std::vector<std::unique_ptr<Obj>> made;
  made.reserve(total);
  for (size_t i = 0; i < total && !r.failed(); ++i) made.push_back(readObj(r, this, version));
  if (r.failed()) return error();
  const size_t charaCount = r.count("characters", 4, total);
  std::vector<int32_t> charaIndex(charaCount);
  std::vector<uint8_t> used(total, 0);
  for (size_t i = 0; i < listed; ++i) used[i] = 1;
  for (int32_t& at : charaIndex) {
    at = r.i32("character");
    if (r.failed()) break;
    if (at < 0 || static_cast<size_t>(at) >= total || !made[static_cast<size_t>(at)]->asChara() || used[at] == 2)
      r.fail("character " + std::to_string(at) + " is not a character of the state, or is listed twice");
    else
      used[static_cast<size_t>(at)] = 2;
  }
  for (size_t i = listed; i < total && !r.failed(); ++i)
    if (used[i] != 2) r.fail("object " + std::to_string(i) + " is neither in the list nor a character");
  auto chara = [&](const char* what) -> Chara* {
    const int32_t at = r.i32(what);
    if (r.failed() || at == kNone) return nullptr;
    if (at < 0 || static_cast<size_t>(at) >= total || !made[static_cast<size_t>(at)]->asChara() || used[at] != 2) {
      r.fail(std::string(what) + " " + std::to_string(at) + " is not a character of the state");
      return nullptr;
    }
    return made[static_cast<size_t>(at)]->asChara();
  };

  std::array<Seat, kMaxSeats> newSeats;
  for (int n = 1; n <= kMaxSeats; ++n) {
    Seat& st = newSeats[static_cast<size_t>(n - 1)];
    st.number = n;
    const int32_t state = r.i32("seat state");
    if (state < Seat::FREE || state > Seat::OUT) r.fail("seat state " + std::to_string(state) + " is not 0 to 2");
    st.state = static_cast<Seat::State>(state);
    st.continueFrames = r.i32("continue frames");
    st.fallSeen = r.flag("fall seen");
    st.hud.commandTimer = r.i32("command timer");
    for (int32_t& code : st.hud.commands) {
      code = r.i32("command");
      if (code < 0 || code > CMD_EMPTY) r.fail("command " + std::to_string(code) + " is not 0 to 8");
    }
    if (version >= 2)
      for (int32_t& gap : st.hud.commandGaps) gap = r.i32("frames between commands");
    st.hud.player = chara("seat's fighter");
    st.hud.target = chara("seat's target");
    st.hud.kills = r.i32("kills");
    st.hud.score = r.i32("score");
    st.hud.power = r.i32("power");
  }
  const int32_t continues = r.i32("continues");
  std::vector<SoundRequest> newSounds(r.count("sounds", 12, kMaxObjects * 4));
  for (SoundRequest& q : newSounds) {
    q.pictureSet = r.i32("sound");
    q.index = r.i32("sound");
    q.volume = r.i32("sound");
  }
  SceneStart start;
  start.sceneId = r.text("scene start", kMaxIdBytes);
  for (int32_t* v : {&start.x, &start.z, &start.score, &start.kills, &start.power, &start.playerHp})
    *v = r.i32("scene start");
  std::string path = r.text("scene path", kMaxTextBytes);
  std::set<std::string> failedTargets;
  const size_t failedCount = r.count("doors that lead nowhere", 4, kMaxSceneEntries);
  for (size_t i = 0; i < failedCount && !r.failed(); ++i) failedTargets.insert(r.text("door target", kMaxIdBytes));
  const uint32_t fighters = r.u32("fighters");
  const int32_t everJoined = r.i32("seats joined");
  const bool limitReported = r.flag("object limit reported");
  // Grabs and flights, and the stretch the camera holds at (a state of
  // version 1 has none of them).
  std::vector<Grip> newGrips;
  std::vector<Flight> newFlights;
  StageState newStage;
  if (version >= 2) {
    const size_t grabBoxes = r.count("grab boxes", 52, total);
    for (size_t i = 0; i < grabBoxes && !r.failed(); ++i) {
      const int32_t at = r.i32("grab box");
      const Box b = r.box("grab box");
      if (at < 0 || static_cast<size_t>(at) >= total)
        r.fail("grab box of object " + std::to_string(at) + ", which the state does not hold");
      else
        made[static_cast<size_t>(at)]->grab = b;
    }
    newGrips.resize(r.count("grips", 24, charaCount));
    for (Grip& g : newGrips) {
      g.holder = chara("holder");
      g.held = chara("held");
      g.frames = r.i32("grip");
      g.knees = r.i32("grip");
      g.reach = r.f64("grip");
      if (!r.failed() && (!g.holder || !g.held || g.holder == g.held)) r.fail("a grip without two characters");
    }
    newFlights.resize(r.count("flights", 68, charaCount));
    for (Flight& f : newFlights) {
      f.body = chara("thrown");
      f.damage = r.i32("flight");
      f.seat = r.i32("flight");
      f.frames = r.i32("flight");
      f.shape = r.box("flight");
      f.struck.resize(r.count("struck", 4, charaCount));
      for (Chara*& c : f.struck) c = chara("struck");
      if (!r.failed() && (!f.body || std::count(f.struck.begin(), f.struck.end(), nullptr) > 0))
        r.fail("a flight without its thrown character");
      if (!r.failed() && (f.seat < 0 || f.seat > kMaxSeats)) r.fail("a flight's seat is not 0 to 4");
    }
    newStage.stretch = r.i32("stretch");
    newStage.held = r.flag("held");
    newStage.reached = r.flag("stretch reached");
    newStage.goFrames = r.i32("GO sign");
    newStage.beatFrames = r.i32("beat");
    if (!r.failed() && (newStage.stretch < -1 || newStage.goFrames < 0 || newStage.beatFrames < 0))
      r.fail("the stretch's state is out of range");
  }
  // Items (a state of version 3 on): each names an item of these rules.
  std::vector<PropHold> newHolds;
  std::vector<LyingItem> newLying;
  std::vector<HeldWeapon> newWeapons;
  std::array<ItemTally, kMaxSeats> newTallies{};
  if (version >= 3) {
    const int32_t itemCount = static_cast<int32_t>(rules.items.items.size());
    auto item = [&](const char* what) {
      const int32_t n = r.i32(what);
      if (!r.failed() && (n < 0 || n >= itemCount))
        r.fail(std::string(what) + " " + std::to_string(n) + " is not an item of the rules (" + std::to_string(itemCount) + ")");
      return n;
    };
    auto listedObject = [&](const char* what) -> Obj* {
      const int32_t at = r.i32(what);
      if (r.failed()) return nullptr;
      if (at < 0 || static_cast<size_t>(at) >= listed) {
        r.fail(std::string(what) + " " + std::to_string(at) + " is not an object in the state's list");
        return nullptr;
      }
      return made[static_cast<size_t>(at)].get();
    };
    newHolds.resize(r.count("props that hold items", 8, listed));
    for (PropHold& p : newHolds) {
      p.prop = listedObject("prop");
      p.item = item("held item");
    }
    newLying.resize(r.count("items lying", 12, listed));
    for (LyingItem& l : newLying) {
      l.obj = listedObject("lying item");
      l.item = item("lying item");
      l.uses = r.i32("uses");
    }
    newWeapons.resize(r.count("weapons held", 12, charaCount));
    for (HeldWeapon& h : newWeapons) {
      h.holder = chara("weapon's holder");
      h.item = item("weapon");
      h.uses = r.i32("uses");
      if (!r.failed() && !h.holder) r.fail("a weapon held by nobody");
    }
    for (ItemTally& t : newTallies)
      for (int32_t* v : {&t.food, &t.treasure, &t.weapons}) *v = r.i32("items taken");
  }
  if (!r.failed() && (fighters > charaCount || fighters > static_cast<uint32_t>(kMaxSeats)))
    r.fail("fighters: " + std::to_string(fighters) + " of " + std::to_string(charaCount) + " characters");
  // The fighters lead the characters, each its seat's, in seat order.
  for (uint32_t i = 0; i < fighters && !r.failed(); ++i) {
    const Obj& f = *made[static_cast<size_t>(charaIndex[i])];
    if (f.seat < 1 || newSeats[static_cast<size_t>(f.seat - 1)].hud.player != f.asChara() ||
        (i > 0 && made[static_cast<size_t>(charaIndex[i - 1])]->seat >= f.seat))
      r.fail("fighter " + std::to_string(i) + " is not its seat's, in seat order");
  }
  for (const Seat& st : newSeats)
    if (st.hud.player && (st.hud.player->seat != st.number)) r.fail("a seat's fighter belongs to another seat");
  if (!r.failed() && r.remaining() != 0) r.fail(std::to_string(r.remaining()) + " bytes after the state");
  if (r.failed()) return error();

  // All read: the world becomes the saved one. What it held before goes.
  hitGrid_.stop();
  removed_.clear();
  objects.clear();
  charas.clear();
  owned_.clear();
  objects.reserve(listed);
  for (size_t i = 0; i < listed; ++i) objects.push_back(made[i].get());
  charas.reserve(charaCount);
  for (int32_t at : charaIndex) charas.push_back(made[static_cast<size_t>(at)]->asChara());
  owned_.reserve(total);
  for (auto& m : made) owned_.adopt(std::move(m));
  screenWidth = s.screenWidth;
  cameraX = s.cameraX;
  cameraY = s.cameraY;
  name = std::move(s.name);
  depth = s.depth;
  width = s.width;
  pictureSet = s.pictureSet;
  backgroundPicture = s.backgroundPicture;
  layers = std::move(s.layers);
  walls = std::move(s.walls);
  doorsOpen = s.doorsOpen;
  doors = std::move(s.doors);
  effectVolume = s.effectVolume;
  gameOver = s.gameOver;
  seats = newSeats;
  continuesLeft = continues;
  sounds = std::move(newSounds);
  sceneStart = std::move(start);
  scenePath = std::move(path);
  failedDoorTargets = std::move(failedTargets);
  fighters_ = fighters;
  seatsEverJoined_ = everJoined;
  objectLimitReported_ = limitReported;
  grips = std::move(newGrips);
  flights = std::move(newFlights);
  stage = newStage;
  propHolds = std::move(newHolds);
  lyingItems = std::move(newLying);
  heldWeapons = std::move(newWeapons);
  tallies = newTallies;
  spawningSeat_ = 0;
  passRemoved_ = 0;
  armedAtLastPass_ = kArmedUnknown;
  return randomState;
}
