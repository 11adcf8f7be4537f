// The one engine object behind hgeCreate: its states, the frame loop and the
// operations that do not depend on where pictures and sound go. The window or
// headless backends are chosen once, in System_Initiate.
#pragma once

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "engine/AudioBackend.h"
#include "engine/FramePacer.h"
#include "engine/EngineLog.h"
#include "engine/InputLayers.h"
#include "engine/PackLoader.h"
#include "engine/QuadRenderer.h"
#include "base/Random.h"
#include "engine/Replay.h"
#include "engine/TextureStore.h"
#include "engine/VideoBackend.h"
#include "engine/hge.h"

class Engine final : public HGE {
 public:
  Engine();
  ~Engine() override;

  void addRef() { ++refs_; }
  void Release() override;

  bool System_Initiate() override;
  void System_Shutdown() override;
  bool System_Start() override;
  void System_SetState(hgeBoolState state, bool value) override;
  void System_SetState(hgeFuncState state, hgeCallback value) override;
  void System_SetState(hgeChecksumFuncState state, hgeChecksumCallback value) override;
  void System_SetState(hgeIntState state, int value) override;
  void System_SetState(hgeStringState state, const char* value) override;
  bool System_GetState(hgeBoolState state) override;
  int System_GetState(hgeIntState state) override;
  std::string System_GetState(hgeStringState state) override;
  std::string System_GetErrorMessage() override { return error_; }
  void System_Log(const char* format, ...) override __attribute__((format(printf, 2, 3)));
  int System_GetFrame() override { return frame_; }
  int System_GetStep() override { return step_; }
  void System_MessageBox(const char* text, const char* caption) override;
  void System_AddScreenshot(int frame, const char* path) override;
  void System_MarkScene(const char* name) override;
  void System_SetState(hgeEndFuncState state, hgeEndCallback value) override;

  // The frame loop in pieces, for the platform's loop (Platform.h), which
  // calls beginLoop, then runFrame once per frame until it returns false,
  // then endLoop. `late` says whether the frame is behind its time (its
  // picture may be skipped); `pacing` ends the --stats line.
  void beginLoop();
  bool runFrame(const std::function<bool()>& late);
  void endLoop(const std::string& pacing);
  bool paced() const { return video_ && video_->paced(); }
  int fps() const { return fps_; }
  // The end callback, handed over once (HGE_ENDFUNC).
  hgeEndCallback takeEndFunc() { return std::move(endFunc_); }

  bool Resource_AttachPack(const char* filename, const char* password) override;
  void Resource_SetLookup(hgeFileLookup lookup) override { lookup_ = std::move(lookup); }
  void* Resource_Load(const char* filename, uint32_t* size) override;
  bool Resource_Prefetch(const char* filename) override;
  bool Effect_Prefetch(const char* filename) override;
  void Resource_Free(void* res) override;

  void Random_Seed(int seed) override;
  void Random_SetSeed(int seed) override;
  int Random_GetSeed() override { return seed_; }
  uint64_t Random_GetState() override { return random_.state(); }
  int Random_Int(int min, int max) override { return random_.range(min, max); }

  HTEXTURE Texture_Load(const char* filename, uint32_t size, bool mipmap) override;
  void Texture_Free(HTEXTURE tex) override;
  int Texture_GetWidth(HTEXTURE tex, bool original) override;
  int Texture_GetHeight(HTEXTURE tex, bool original) override;

  HEFFECT Effect_Load(const char* filename, uint32_t size) override;
  HCHANNEL Effect_PlayEx(HEFFECT eff, int volume, int pan, float pitch, bool loop) override;
  void Channel_Stop(HCHANNEL chan) override;
  HSTREAM Stream_Load(const char* filename, uint32_t size) override;
  HCHANNEL Stream_Play(HSTREAM stream, bool loop, int volume) override;

  bool Input_KeyDown(int key) override { return input_.raw().wentDown(key) || input_.game().wentDown(key); }
  bool Input_GetKeyState(int key) override { return input_.raw().held(key) || input_.game().held(key); }
  void Input_InjectKey(int key, bool down) override;
  bool Input_StepKeyDown(int key) override { return input_.game().wentDownSinceStep(key); }
  bool Input_GameKeyState(int key) override { return input_.game().held(key); }
  bool Input_RawKeyDown(int key) override { return input_.raw().wentDown(key); }
  bool Input_RawKeyState(int key) override { return input_.raw().held(key); }
  int Input_RawKeyPresses(int key) override { return input_.raw().pressesThisFrame(key); }
  void Input_InjectRawKey(int key, bool down) override;
  void Input_SetBindings(const std::vector<hgeBinding>& bindings) override { input_.setBindings(bindings); }
  int Input_GetEvents() override { return inputEvents_; }
  std::vector<std::string> Input_GetPads() override;
  std::vector<int> Input_GetPadSlots() override;

  bool Gfx_BeginScene(HTARGET target) override;
  void Gfx_EndScene() override;
  void Gfx_Clear(uint32_t color) override;
  void Gfx_RenderQuad(const hgeQuad* quad) override;
  void Gfx_SetCaptureHook(hgeQuadHook hook) override { captureHook_ = std::move(hook); }
  uint64_t Gfx_GetQuadCount() override { return quadCount_; }

 private:
  void log(const std::string& line) { log_.write(line); }
  // A whole file: the memory block itself when `size` is not 0 (then `name`
  // points at the bytes), else the pack, then the disk.
  bool loadBytes(const char* name, uint32_t size, std::vector<uint8_t>& out, std::string& error);
  bool loadFromDisk(const std::string& name, std::vector<uint8_t>& out, std::string& error);
  // The pack's entry a name leads to (a UTF-8 name finds its GBK entry), -1 when none.
  long packSlot(const std::string& name) const;
  // A sound or music file where sounds are never heard: found and sized, not
  // read (the pack's directory or the disk's gives the size); 0 on failure.
  uint32_t loadUnread(const char* filename, uint32_t size, const char* what);
  // A file the engine could not write: said once on stderr and in the log,
  // and counted for HGE_OUTPUTFAILURES.
  void reportOutputFailure(const std::string& message);
  // The recording could not be written: reported, and the run goes on unrecorded.
  void recordingFailed();
  // After a frame callback: records the world's checksum, or compares it with
  // the replay's. False when the world no longer matches the replay.
  bool checkFrame();
  // Writes the pending key changes as taking effect in this step.
  void recordChanges();
  // Play resumes after a pause: presses made while paused are forgotten and
  // the recording learns which keys are held now.
  void resumePlay();

  int refs_ = 1;
  bool initiated_ = false;

  // States.
  bool windowed_ = true, useSound_ = true, showSplash_ = false, hideMouse_ = false, headless_ = false,
       showStats_ = false, drawAlways_ = false;
  double firstPictureMs_ = 0;  // when the first picture was drawn, for --stats
  hgeCallback frameFunc_, renderFunc_, inputFunc_, clockFunc_;
  hgeChecksumCallback checksumFunc_;
  hgeEndCallback endFunc_;
  std::unique_ptr<FrameStats> stats_;  // intervals of the loop running now
  int screenWidth_ = 800, screenHeight_ = 480, fps_ = 100, maxFrames_ = 0;
  int windowWidth_ = 0, windowHeight_ = 0;  // 0: the screen's size
  int musicLevel_ = 100, effectsLevel_ = 100;
  int musicAsked_ = 100;  // the volume the game asked for the music playing
  hgeFileLookup lookup_;  // the mods' files, looked at before the pack
  std::string title_ = "Tervalen", logFile_, icon_, replayFile_, recordFile_, recordMods_, recordHeader_;

  std::string error_;
  EngineLog log_;
  Random random_;
  int seed_ = 0;
  InputLayers input_;
  int inputEvents_ = 0;  // hgeInputEvent bits of this frame
  TextureStore textures_;
  std::unique_ptr<PackLoader> pack_;
  std::string packFile_, packPassword_;  // what pack_ was attached as
  std::thread::id engineThread_;         // the thread that made the engine and runs the frames
  std::shared_ptr<std::atomic<uint64_t>> packReads_, packMainReads_;
  std::unique_ptr<VideoBackend> video_;
  std::unique_ptr<AudioBackend> audio_;
  std::unique_ptr<QuadRenderer> quads_;
  std::optional<ReplayPlayer> replay_;
  std::unique_ptr<ReplayRecorder> recorder_;
  std::map<int, std::vector<std::string>> screenshots_;  // frame -> files
  bool recordingStarted_ = false;  // the seed line is written
  int outputFailures_ = 0;
  int divergedFrame_ = 0;

  int frame_ = 0;
  int step_ = 0;
  // Changes of the game's keys not yet recorded: they are stamped with the
  // step they take effect in, and dropped while the game is paused.
  std::vector<ReplayEvent> pendingChanges_;
  int players_ = 1;  // HGE_PLAYERS
  bool stateChecks_ = false;  // HGE_STATECHECKS
  std::array<bool, HGEK_KEYSPACE> recordedHeld_{};  // held keys as the recording has them
  bool paused_ = false;
  // The most frames in a row (the last one drawn) while a late window catches up.
  static constexpr int kMaxStepsPerPicture = 5;
  int stepsWithoutPicture_ = 0;
  bool inScene_ = false;
  bool drawing_ = false;  // this scene's quads reach the renderer
  uint64_t quadCount_ = 0;
  hgeQuadHook captureHook_;
};
