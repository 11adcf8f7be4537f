// Helpers for the world's tests, on top of the shared ObjectWorld fixture:
// character files for a fighter, an enemy and the shared "system" effects,
// scene files, a scripted random source and frames of key presses.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ObjectWorld.h"
#include "format/ResourceCatalog.h"
#include "base/DataPath.h"
#include "object/Chara.h"
#include "format/SceneFile.h"
#include "world/FrameInput.h"
#include "world/Hud.h"
#include "world/World.h"

namespace worldtest {

using objtest::act;
using objtest::frame;
using objtest::op;

// Opcode 2 and 3: body and attack boxes relative to the object.
inline Instruction bodyBox(double x, double y, double w, double h, double d) { return op(2, {x, y, w, h, d}); }
inline Instruction attackBox(double x, double y, double w, double h, double d, double damage) {
  return op(3, {x, y, w, h, d, damage});
}
// Opcode 4: arms the hit (reaction 0 on the ground and in the air).
inline Instruction armHit(double pushVx, double targetFreeze, double selfFreeze, double sparkFromSystem,
                     double sparkAction) {
  return op(4, {0, 0, pushVx, 0, targetFreeze, selfFreeze, sparkFromSystem, sparkAction});
}
// Opcode 7 with a[0] = 0: continue at `action` when landing.
inline Instruction armLanding(double action) { return op(7, {0, action, 0}); }
// Opcode 1, mode 0, assigning only ay and keeping every other component.
inline Instruction gravity(double ay) { return op(1, {0, 0, 0, 1, 1, 1, 0, ay, 0, 1, 0, 1, 0}); }
inline Action holdForever() { return act({frame(0, 0)}); }

// A fighter: `count` actions that each hold picture 0 forever with a body box
// 40 wide, 100 high and 20 deep standing on the ground; reactions 0 and 1 lead
// to action 8 (hurt), reaction 2 to action 10 (knock-down: lands in action 5).
inline CharaData fighter(const std::string& name, int32_t maxHp, int count = 40) {
  CharaData d;
  d.name = name;
  d.maxHp = maxHp;
  for (int i = 0; i < count; ++i) d.actions.push_back(act({bodyBox(0, -50, 40, 100, 20), frame(0, 0)}));
  if (count > 10) d.actions[10] = act({armLanding(5), gravity(0.25), frame(0, 0)});
  d.reactions = {8, 8, 10};
  return d;
}

// The shared effects: hit sparks (action 2, held), the death effect (8,
// three ticks) and the door marker (17, held).
inline CharaData systemEffects() {
  CharaData d;
  d.name = "system";
  d.maxHp = 1;
  for (int i = 0; i < 20; ++i) d.actions.push_back(holdForever());
  d.actions[8] = act({frame(0, 3)});
  return d;
}

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writeScene(const std::string& id, const SceneFile& s) { writeBytes(sceneFilePath(id), writeSceneFile(s)); }

inline SceneFile sceneNamed(const std::string& name, int32_t width, int32_t depth) {
  SceneFile s;
  s.name = name;
  s.width = width;
  s.depth = depth;
  s.propId = "prop";
  return s;
}

// What a world needs to start beside the characters: a resource list of one
// empty set, system data and a first scene ("Test") with one guai01 at x 600.
inline void writeStartableGameFolder() {
  ResourceCatalog catalog;
  catalog.entries.push_back(ResourceEntry{"set", {}, {}});
  writeBytes("data/res.dat", writeResourceCatalog(catalog));
  writeBytes("data/system.dat", std::vector<uint8_t>{2, 0, 0, 0, 2, 'o', 'k', 0});
  SceneFile test = sceneNamed("first", 1000, 500);
  test.charas.push_back({"guai01", 600, 300, 0});
  writeScene("Test", test);
}

// A bare world with a player ("c_morivane", a fighter) at (x, z), the shared
// effects and a prop file; the Hud follows the player. `Fixture` is the
// engine-free ObjectWorld or, for tests that draw, a RenderedWorld.
template <class Fixture>
class WorldTestOf : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories("data/scene");
    w.writeChara("c_morivane", fighter("hero", 100));
    w.writeChara("system", systemEffects());
    w.writeChara("prop", fighter("prop", 1, 2));
    w.writeChara("guai01", fighter("guai01", 30));
    w.writeChara("guai02", fighter("guai02", 30));
    w.writeChara("boss01", fighter("boss01", 30));
    w.writeChara("stranger", fighter("stranger", 30));
  }
  World& world() { return w.scene(); }
  Chara* addPlayer(int32_t x, int32_t z) {
    Chara* p = world().createChara("c_morivane", 0, x, z);
    world().hud.player = p;
    return p;
  }

  Fixture w;
};
using WorldTest = WorldTestOf<objtest::ObjectWorld>;

// Random numbers from a script; every call is recorded as (lo, hi).
class ScriptedRandom {
 public:
  explicit ScriptedRandom(std::initializer_list<int> values) : values_(values) {}
  int operator()(int lo, int hi) {
    calls.emplace_back(lo, hi);
    if (values_.empty()) {
      ADD_FAILURE() << "the behaviour asked for one more random number (" << lo << ".." << hi << ")";
      return lo;
    }
    const int v = values_.front();
    values_.pop_front();
    EXPECT_GE(v, lo);
    EXPECT_LE(v, hi);
    return v;
  }
  bool used() const { return values_.empty(); }
  std::vector<std::pair<int, int>> calls;

 private:
  std::deque<int> values_;
};

// A frame of input in which `keys` went down and nothing is held.
inline FrameInput pressed(std::initializer_list<GameKey> keys) {
  FrameInput input;
  for (GameKey k : keys) input.pressed[static_cast<size_t>(k)] = true;
  return input;
}

}  // namespace worldtest
