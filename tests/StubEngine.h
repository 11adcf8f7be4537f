// An engine that does nothing, for tests that give code an engine and look at
// what it asks of it: derive and override the calls to watch.
#pragma once

#include <set>
#include <string>

#include "engine/hge.h"

namespace testengine {

class StubEngine : public HGE {
 public:
  std::set<int> down;  // keys reported as held and gone down in this frame
  void Release() override {}
  bool System_Initiate() override { return true; }
  void System_Shutdown() override {}
  bool System_Start() override { return true; }
  void System_SetState(hgeBoolState, bool) override {}
  void System_SetState(hgeFuncState, hgeCallback) override {}
  void System_SetState(hgeChecksumFuncState, hgeChecksumCallback) override {}
  void System_SetState(hgeEndFuncState, hgeEndCallback) override {}
  void System_SetState(hgeIntState, int) override {}
  void System_SetState(hgeStringState, const char*) override {}
  bool System_GetState(hgeBoolState) override { return false; }
  int System_GetState(hgeIntState) override { return 0; }
  std::string System_GetState(hgeStringState) override { return {}; }
  std::string System_GetErrorMessage() override { return {}; }
  void System_Log(const char*, ...) override {}
  int System_GetFrame() override { return 0; }
  int System_GetStep() override { return 0; }
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
  void Channel_Stop(HCHANNEL) override {}
  HSTREAM Stream_Load(const char*, uint32_t) override { return 0; }
  HCHANNEL Stream_Play(HSTREAM, bool, int) override { return 0; }
  bool Input_KeyDown(int key) override { return down.count(key) != 0; }
  bool Input_GetKeyState(int key) override { return down.count(key) != 0; }
  void Input_InjectKey(int, bool) override {}
  bool Input_StepKeyDown(int key) override { return down.count(key) != 0; }
  bool Input_GameKeyState(int key) override { return down.count(key) != 0; }
  bool Input_RawKeyDown(int key) override { return down.count(key) != 0; }
  bool Input_RawKeyState(int key) override { return down.count(key) != 0; }
  void Input_InjectRawKey(int, bool) override {}
  void Input_SetBindings(const std::vector<hgeBinding>&) override {}
  int Input_GetEvents() override { return 0; }
  std::vector<std::string> Input_GetPads() override { return {}; }
  std::vector<int> Input_GetPadSlots() override { return {}; }
  bool Gfx_BeginScene(HTARGET) override { return true; }
  void Gfx_EndScene() override {}
  void Gfx_Clear(uint32_t) override {}
  void Gfx_RenderQuad(const hgeQuad*) override {}
  void Gfx_SetCaptureHook(hgeQuadHook) override {}
  uint64_t Gfx_GetQuadCount() override { return 0; }
};

}  // namespace testengine
