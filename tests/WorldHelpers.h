// Helpers for the world's tests, on top of the shared ObjectWorld fixture:
// character files for a fighter, an enemy and the shared "system" effects,
// scene files, a scripted random source and a keyboard stand-in.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ObjectWorld.h"
#include "resource/DataPath.h"
#include "object/Chara.h"
#include "scene/SceneFile.h"
#include "world/Hud.h"
#include "world/Scene.h"

namespace worldtest {

using objtest::act;
using objtest::frame;
using objtest::op;

// Opcode 2 and 3: body and attack boxes relative to the object.
inline t_code bodyBox(double x, double y, double w, double h, double d) { return op(2, {x, y, w, h, d}); }
inline t_code attackBox(double x, double y, double w, double h, double d, double damage) {
  return op(3, {x, y, w, h, d, damage});
}
// Opcode 4: arms the hit (reaction 0 on the ground and in the air).
inline t_code armHit(double pushVx, double targetFreeze, double selfFreeze, double sparkFromSystem,
                     double sparkAction) {
  return op(4, {0, 0, pushVx, 0, targetFreeze, selfFreeze, sparkFromSystem, sparkAction});
}
// Opcode 7 with a[0] = 0: continue at `action` when landing.
inline t_code armLanding(double action) { return op(7, {0, action, 0}); }
// Opcode 1, mode 0, assigning only ay and keeping every other component.
inline t_code gravity(double ay) { return op(1, {0, 0, 0, 1, 1, 1, 0, ay, 0, 1, 0, 1, 0}); }
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

inline void writeScene(const std::string& id, const SceneFile& s) {
  const std::vector<uint8_t> bytes = writeSceneFile(s);
  std::ofstream out(sceneFilePath(id), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline SceneFile sceneNamed(const std::string& name, int32_t width, int32_t depth) {
  SceneFile s;
  s.name = name;
  s.width = width;
  s.depth = depth;
  s.propId = "prop";
  return s;
}

// A bare world with a player ("c_morivane", a fighter) at (x, z), the shared
// effects and a prop file; the Hud follows the player.
class WorldTest : public ::testing::Test {
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
  Scene& world() { return w.scene(); }
  Chara* addPlayer(int32_t x, int32_t z) {
    Chara* p = world().createChara("c_morivane", 0, x, z);
    world().hud->player = p;
    return p;
  }

  objtest::ObjectWorld w;
};

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

// A keyboard that reports chosen keys as gone down in this frame; every other
// engine call does nothing (the Hud gets null textures).
class KeysDown : public HGE {
 public:
  std::set<int> down;
  void Release() override {}
  bool System_Initiate() override { return true; }
  void System_Shutdown() override {}
  bool System_Start() override { return true; }
  void System_SetState(hgeBoolState, bool) override {}
  void System_SetState(hgeFuncState, hgeCallback) override {}
  void System_SetState(hgeChecksumFuncState, hgeChecksumCallback) override {}
  void System_SetState(hgeIntState, int) override {}
  void System_SetState(hgeStringState, const char*) override {}
  bool System_GetState(hgeBoolState) override { return false; }
  int System_GetState(hgeIntState) override { return 0; }
  std::string System_GetState(hgeStringState) override { return {}; }
  std::string System_GetErrorMessage() override { return {}; }
  void System_Log(const char*, ...) override {}
  int System_GetFrame() override { return 0; }
  void System_MessageBox(const char*, const char*) override {}
  void System_AddScreenshot(int, const char*) override {}
  bool Resource_AttachPack(const char*, const char*) override { return false; }
  void* Resource_Load(const char*, uint32_t*) override { return nullptr; }
  void Resource_Free(void*) override {}
  void Random_Seed(int) override {}
  void Random_SetSeed(int) override {}
  int Random_GetSeed() override { return 1; }
  uint64_t Random_GetState() override { return 0; }
  int Random_Int(int min, int) override { return min; }
  HTEXTURE Texture_Load(const char*, uint32_t, bool) override { return 0; }
  void Texture_Free(HTEXTURE) override {}
  int Texture_GetWidth(HTEXTURE, bool) override { return 0; }
  int Texture_GetHeight(HTEXTURE, bool) override { return 0; }
  HEFFECT Effect_Load(const char*, uint32_t) override { return 0; }
  HCHANNEL Effect_PlayEx(HEFFECT, int, int, float, bool) override { return 0; }
  HSTREAM Stream_Load(const char*, uint32_t) override { return 0; }
  HCHANNEL Stream_Play(HSTREAM, bool, int) override { return 0; }
  bool Input_KeyDown(int key) override { return down.count(key) != 0; }
  bool Input_GetKeyState(int key) override { return down.count(key) != 0; }
  void Input_InjectKey(int, bool) override {}
  bool Gfx_BeginScene(HTARGET) override { return true; }
  void Gfx_EndScene() override {}
  void Gfx_Clear(uint32_t) override {}
  void Gfx_RenderQuad(const hgeQuad*) override {}
  void Gfx_SetCaptureHook(hgeQuadHook) override {}
  uint64_t Gfx_GetQuadCount() override { return 0; }
};

}  // namespace worldtest
