#include "engine/Engine.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/FramePacer.h"
#include "engine/Platform.h"
#include "engine/ProcessClock.h"
#include "base/TextCodec.h"
#include "engine/headless/HeadlessAudio.h"
#include "engine/headless/HeadlessVideo.h"
#include "engine/sdl/SdlAudio.h"
#include "engine/sdl/SdlVideo.h"
#include "base/CheckedFile.h"
#include "base/FormatText.h"
#include "base/FileBytes.h"

namespace {

Engine* theEngine = nullptr;

// Window icons are 256 pixels on a side at most (the ICO directory's limit).
constexpr uint64_t kMaxIconPixels = 1024 * 1024;

bool isAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// Text from the game (GBK) or from us (UTF-8), made UTF-8.
std::string toUtf8(const std::string& text) { return isValidUtf8(text) ? text : gbkToUtf8(text); }

// A volume the game asks for (0..100) at the player's level (0..100): 100 plays it as asked.
int scaledVolume(int volume, int level) { return std::clamp(volume, 0, 100) * std::clamp(level, 0, 100) / 100; }

}  // namespace

HGE* hgeCreate(int version) {
  if (version != HGE_VERSION) return nullptr;
  if (theEngine)
    theEngine->addRef();
  else
    theEngine = new Engine();
  return theEngine;
}

Engine::Engine()
    : engineThread_(std::this_thread::get_id()),
      packReads_(std::make_shared<std::atomic<uint64_t>>(0)),
      packMainReads_(std::make_shared<std::atomic<uint64_t>>(0)) {
  Random_Seed(0);
  const char* mirror = std::getenv("TERVALEN_LOG_STDERR");
  log_.setMirrorToStderr(mirror && std::strcmp(mirror, "1") == 0);
  textures_.setLog([this](const std::string& line) { log(line); });
}

Engine::~Engine() { System_Shutdown(); }

void Engine::Release() {
  if (--refs_ > 0) return;
  if (theEngine == this) theEngine = nullptr;
  delete this;
}

// ---- states ----

void Engine::System_SetState(hgeBoolState state, bool value) {
  switch (state) {
    case HGE_WINDOWED:
      windowed_ = value;
      if (initiated_) video_->setFullscreen(!value);
      break;
    case HGE_USESOUND: useSound_ = value; break;
    case HGE_SHOWSPLASH: showSplash_ = value; break;
    case HGE_HIDEMOUSE: hideMouse_ = value; break;
    case HGE_HEADLESS:
      if (!initiated_) headless_ = value;
      break;
    case HGE_SHOWSTATS: showStats_ = value; break;
    case HGE_DRAWALWAYS: drawAlways_ = value; break;
  }
}

void Engine::System_SetState(hgeFuncState state, hgeCallback value) {
  switch (state) {
    case HGE_FRAMEFUNC: frameFunc_ = std::move(value); break;
    case HGE_RENDERFUNC: renderFunc_ = std::move(value); break;
    case HGE_INPUTFUNC: inputFunc_ = std::move(value); break;
    case HGE_CLOCKFUNC: clockFunc_ = std::move(value); break;
  }
}

void Engine::System_SetState(hgeChecksumFuncState state, hgeChecksumCallback value) {
  if (state == HGE_CHECKSUMFUNC) checksumFunc_ = std::move(value);
}

void Engine::System_SetState(hgeEndFuncState, hgeEndCallback value) { endFunc_ = std::move(value); }

void Engine::System_SetState(hgeIntState state, int value) {
  switch (state) {
    case HGE_SCREENWIDTH:
      if (!initiated_ && value > 0) screenWidth_ = value;
      break;
    case HGE_SCREENHEIGHT:
      if (!initiated_ && value > 0) screenHeight_ = value;
      break;
    case HGE_FPS: fps_ = value > 0 ? value : 100; break;
    case HGE_MAXFRAMES: maxFrames_ = value > 0 ? value : 0; break;
    case HGE_OUTPUTFAILURES:
    case HGE_DIVERGEDFRAME:
    case HGE_PACKREADS:
    case HGE_PACKMAINREADS: break;  // read only
    case HGE_MUSICVOLUME:
      musicLevel_ = std::clamp(value, 0, 100);
      if (audio_) audio_->setMusicVolume(scaledVolume(musicAsked_, musicLevel_));
      break;
    case HGE_EFFECTSVOLUME: effectsLevel_ = std::clamp(value, 0, 100); break;
    case HGE_WINDOWWIDTH:
      if (!initiated_) windowWidth_ = std::max(value, 0);
      break;
    case HGE_WINDOWHEIGHT:
      if (!initiated_) windowHeight_ = std::max(value, 0);
      break;
    case HGE_PLAYERS: players_ = std::clamp(value, 1, HGE_SEATS); break;
    case HGE_STATECHECKS: stateChecks_ = value != 0; break;
  }
}

void Engine::System_SetState(hgeStringState state, const char* value) {
  std::string v = value ? value : "";
  switch (state) {
    case HGE_TITLE: title_ = toUtf8(v); break;
    case HGE_LOGFILE:
      logFile_ = v;
      log_.setFileName(v);
      break;
    case HGE_ICON: icon_ = v; break;
    case HGE_REPLAYFILE: replayFile_ = v; break;
    case HGE_RECORDFILE: recordFile_ = v; break;
    case HGE_RECORDMODS: recordMods_ = v; break;
    case HGE_RECORDHEADER: recordHeader_ = v; break;
  }
}

bool Engine::System_GetState(hgeBoolState state) {
  switch (state) {
    case HGE_WINDOWED: return initiated_ && !headless_ ? !video_->fullscreen() : windowed_;
    case HGE_USESOUND: return useSound_;
    case HGE_SHOWSPLASH: return showSplash_;
    case HGE_HIDEMOUSE: return hideMouse_;
    case HGE_HEADLESS: return headless_;
    case HGE_SHOWSTATS: return showStats_;
    case HGE_DRAWALWAYS: return drawAlways_;
  }
  return false;
}

int Engine::System_GetState(hgeIntState state) {
  switch (state) {
    case HGE_SCREENWIDTH: return screenWidth_;
    case HGE_SCREENHEIGHT: return screenHeight_;
    case HGE_FPS: return fps_;
    case HGE_MAXFRAMES: return maxFrames_;
    case HGE_OUTPUTFAILURES: return outputFailures_;
    case HGE_DIVERGEDFRAME: return divergedFrame_;
    case HGE_MUSICVOLUME: return musicLevel_;
    case HGE_EFFECTSVOLUME: return effectsLevel_;
    case HGE_PLAYERS: return players_;
    case HGE_STATECHECKS: return stateChecks_ ? 1 : 0;
    case HGE_PACKREADS: return static_cast<int>(packReads_->load());
    case HGE_PACKMAINREADS: return static_cast<int>(packMainReads_->load());
    case HGE_WINDOWWIDTH:
    case HGE_WINDOWHEIGHT: {
      int w = windowWidth_ > 0 ? windowWidth_ : screenWidth_, h = windowHeight_ > 0 ? windowHeight_ : screenHeight_;
      if (initiated_ && !headless_) video_->windowedSize(w, h);
      return state == HGE_WINDOWWIDTH ? w : h;
    }
  }
  return 0;
}

std::string Engine::System_GetState(hgeStringState state) {
  switch (state) {
    case HGE_TITLE: return title_;
    case HGE_LOGFILE: return logFile_;
    case HGE_ICON: return icon_;
    case HGE_REPLAYFILE: return replayFile_;
    case HGE_RECORDFILE: return recordFile_;
    case HGE_RECORDMODS: return recordMods_;
    case HGE_RECORDHEADER: return recordHeader_;
  }
  return {};
}

// ---- set-up and the frame loop ----

bool Engine::System_Initiate() {
  if (initiated_) return true;
  error_.clear();
  auto fail = [&](const std::string& why) {
    error_ = why;
    log(why);
    video_.reset();
    audio_.reset();
    replay_.reset();
    recorder_.reset();
    return false;
  };
  SDL_SetMainReady();
  outputFailures_ = 0;
  divergedFrame_ = 0;
  recordingStarted_ = false;

  if (!replayFile_.empty()) {
    ReplayFile file;
    std::string why;
    if (!loadReplay(replayFile_, file, why)) return fail(why);
    replay_.emplace(std::move(file));
  }
  if (!recordFile_.empty()) {
    recorder_ = std::make_unique<ReplayRecorder>(recordFile_);
    if (!recorder_->ok()) {
      ++outputFailures_;
      return fail("Cannot write the recording to " + recorder_->error());
    }
  }
  input_.game().setListener([this](int key, bool down, bool hold) {
    pendingChanges_.push_back(ReplayEvent{0, down, key, hold});
  });

  VideoSettings settings;
  settings.title = title_;
  settings.width = screenWidth_;
  settings.height = screenHeight_;
  settings.windowWidth = windowWidth_;
  settings.windowHeight = windowHeight_;
  settings.hideMouse = hideMouse_;
  settings.fullscreen = !windowed_;
  settings.log = [this](const std::string& line) { log(line); };
  SurfacePtr icon;
  if (!icon_.empty() && !headless_) {
    std::vector<uint8_t> bytes;
    std::string why;
    if (!loadBytes(icon_.c_str(), 0, bytes, why)) {
      log("No window icon: " + why);
    } else {
      icon = decodePicture(bytes.data(), bytes.size(), kMaxIconPixels, why);
      if (!icon) log("No window icon: " + toUtf8(icon_) + ": " + why);
    }
  }
  settings.icon = icon.get();
  if (headless_)
    video_ = std::make_unique<HeadlessVideo>();
  else
    video_ = std::make_unique<SdlVideo>();
  std::string why;
  if (!video_->open(settings, why)) return fail(why);
  quads_ = std::make_unique<QuadRenderer>(video_->renderer(), textures_,
                                          [video = video_.get()] { return video->softwareCanvas(); });

  if (headless_ || !useSound_)
    audio_ = std::make_unique<HeadlessAudio>();
  else
    audio_ = std::make_unique<SdlAudio>();
  audio_->open(log_);

  frame_ = 0;
  step_ = 0;
  inputEvents_ = 0;
  paused_ = false;
  pendingChanges_.clear();
  recordedHeld_.fill(false);
  quadCount_ = 0;
  initiated_ = true;
  return true;
}

void Engine::System_Shutdown() {
  if (!initiated_) return;
  for (auto& [frame, paths] : screenshots_)
    for (auto& path : paths) log("Screenshot of frame " + std::to_string(frame) + " not taken: " + path);
  screenshots_.clear();
  quads_.reset();
  textures_.dropRendererTextures();
  if (audio_) audio_->close();
  audio_.reset();
  video_.reset();
  if (recorder_ && !recorder_->close()) reportOutputFailure("Cannot write the recording to " + recorder_->error());
  recorder_.reset();
  replay_.reset();
  input_.game().setListener(nullptr);
  inputEvents_ = 0;
  initiated_ = false;
}

bool Engine::System_Start() {
  if (!initiated_) {
    error_ = "System_Start called before System_Initiate";
    log(error_);
    return false;
  }
  if (!frameFunc_) {
    error_ = "System_Start called without a frame function";
    log(error_);
    return false;
  }
  return runFrameLoop(*this);
}

void Engine::beginLoop() {
  stats_ = std::make_unique<FrameStats>(fps_);
  if (recorder_ && !recordingStarted_) {
    // The seed in effect when play starts, so the recording replays without --seed.
    recordingStarted_ = true;
    if (!recorder_->writeSeed(seed_)) recordingFailed();
    if (recorder_ && players_ > 1 && !recorder_->writePlayers(players_)) recordingFailed();
    if (recorder_ && stateChecks_ && !recorder_->writeStateChecks()) recordingFailed();
    for (size_t at = 0; recorder_ && at < recordMods_.size();) {
      size_t end = recordMods_.find('\n', at);
      if (end == std::string::npos) end = recordMods_.size();
      const std::string line = recordMods_.substr(at, end - at);
      at = end + 1;
      const size_t space = line.find(' ');
      if (space == std::string::npos) continue;
      if (!recorder_->writeMod(ReplayMod{line.substr(0, space), line.substr(space + 1)})) recordingFailed();
    }
    if (recorder_ && !recordHeader_.empty() && !recorder_->writeLines(recordHeader_)) recordingFailed();
  }
}

bool Engine::runFrame(const std::function<bool()>& late) {
  if (showStats_) stats_->frameStarted();
  ++frame_;
  input_.beginFrame();
  const bool open = video_->pumpEvents(input_.raw());
  inputEvents_ = video_->inputEvents();
  if (!open) {
    --frame_;  // the window closed before this frame ran
    return false;
  }
  const bool stepping = clockFunc_ ? clockFunc_() : true;
  if (stepping) {
    ++step_;
    if (paused_)
      resumePlay();
    else
      recordChanges();
    if (replay_) {
      replay_->play(step_, [this](const ReplayEvent& e) {
        if (e.hold)
          input_.game().hold(e.key);
        else
          Input_InjectKey(e.key, e.down);
      });
    }
    if (inputFunc_) inputFunc_();
  } else {
    // Keys pressed while the game is paused are the pause's business.
    paused_ = true;
    pendingChanges_.clear();
  }
  const bool done = frameFunc_();
  if (stepping) {
    recordChanges();
    input_.endStep();
    if (!checkFrame()) return false;
  }
  if (done) return false;
  // A loop that is late skips pictures, never steps: the game keeps 100
  // steps a second of real time. At most kMaxStepsPerPicture steps go by
  // without one (beyond that the loop slows down rather than freeze), and a
  // frame with a screenshot to take is always drawn.
  const bool skip = late() && stepsWithoutPicture_ + 1 < kMaxStepsPerPicture && screenshots_.count(frame_) == 0;
  if (skip) {
    ++stepsWithoutPicture_;
    stats_->pictureSkipped();
  } else {
    stepsWithoutPicture_ = 0;
    if (renderFunc_) renderFunc_();
    if (showStats_ && firstPictureMs_ == 0) firstPictureMs_ = millisecondsSinceProcessStart();
  }
  return !(maxFrames_ > 0 && frame_ >= maxFrames_);
}

void Engine::endLoop(const std::string& pacing) {
  if (showStats_ && stats_) {
    std::string summary = stats_->summary() + pacing;
    if (firstPictureMs_ > 0) {
      char first[80];
      std::snprintf(first, sizeof first, ", first picture %.0f ms after the process started", firstPictureMs_);
      summary += first;
    }
    std::fprintf(stderr, "%s\n", summary.c_str());
    log(summary);
  }
  stats_.reset();
}

void Engine::recordChanges() {
  for (ReplayEvent& e : pendingChanges_) {
    e.frame = step_ > 0 ? step_ : 1;
    recordedHeld_[static_cast<size_t>(e.key)] = e.down;
    if (recorder_ && !recorder_->write(e)) recordingFailed();
  }
  pendingChanges_.clear();
}

void Engine::resumePlay() {
  paused_ = false;
  pendingChanges_.clear();
  input_.endStep();
  for (int key = 1; key < HGEK_KEYSPACE; ++key) {
    const bool held = input_.game().held(key);
    if (held == recordedHeld_[static_cast<size_t>(key)]) continue;
    recordedHeld_[static_cast<size_t>(key)] = held;
    if (recorder_ && !recorder_->write(ReplayEvent{step_, held, key, held})) recordingFailed();
  }
}

bool Engine::checkFrame() {
  if (!checksumFunc_) return true;
  const bool record = recorder_ && step_ % kReplayCheckInterval == 0;
  const std::optional<uint64_t> expected = replay_ ? replay_->checkAt(step_) : std::nullopt;
  if (!record && !expected) return true;
  const uint64_t checksum = checksumFunc_();
  if (record && !recorder_->writeCheck(ReplayCheck{step_, checksum})) recordingFailed();
  if (expected && *expected != checksum) {
    divergedFrame_ = step_;
    const std::string line = "replay diverged at frame " + std::to_string(step_) + ": the world's checksum is " +
                             formatChecksum(checksum) + ", " + toUtf8(replayFile_) + " says " +
                             formatChecksum(*expected);
    log(line);
    std::fprintf(stderr, "%s\n", line.c_str());
    return false;
  }
  return true;
}

void Engine::reportOutputFailure(const std::string& message) {
  ++outputFailures_;
  const std::string line = toUtf8(message);
  log(line);
  std::fprintf(stderr, "%s\n", line.c_str());
}

void Engine::recordingFailed() {
  reportOutputFailure("Cannot write the recording to " + recorder_->error() + "; the run goes on unrecorded");
  recorder_.reset();
}

void Engine::System_Log(const char* format, ...) {
  if (!format) return;
  va_list args;
  va_start(args, format);
  const std::string line = formatText(format, args);
  va_end(args);
  log(line);
}

void Engine::System_MessageBox(const char* text, const char* caption) {
  std::string t = toUtf8(text ? text : ""), c = toUtf8(caption ? caption : "");
  log(c + ": " + t);
  if (!headless_ && showPlatformMessage(t, c)) return;
  if (initiated_ && video_ && video_->messageBox(t, c)) return;
  if (!initiated_ || !headless_) std::fprintf(stderr, "%s: %s\n", c.c_str(), t.c_str());
}

void Engine::System_MarkScene(const char* name) {
  if (showStats_ && stats_ && name) stats_->sceneChanged(toUtf8(name));
}

void Engine::System_AddScreenshot(int frame, const char* path) {
  if (frame < 1 || !path || !*path) return;
  screenshots_[frame].push_back(path);
}

// ---- files ----

bool Engine::Resource_AttachPack(const char* filename, const char* password) {
  if (!filename) return false;
  std::string name = filename;
  const std::string pass = password ? password : "";
  // The same pack again (a new game in the same run): what was read is kept.
  if (pack_ && name == packFile_ && pass == packPassword_) return true;
  std::string why;
  std::unique_ptr<PackReader> pack = PackReader::open(name, password, why);
  if (!pack && !isAscii(name)) pack = PackReader::open(gbkToUtf8(name), password, why);
  if (!pack) {
    log(toUtf8(why));
    return false;
  }
  pack_.reset();
  pack_ = std::make_unique<PackLoader>(std::move(pack));
  pack_->setReadObserver([reads = packReads_, mainReads = packMainReads_, engine = engineThread_](size_t) {
    ++*reads;
    if (std::this_thread::get_id() == engine) ++*mainReads;
  });
  packFile_ = name;
  packPassword_ = pass;
  return true;
}

long Engine::packSlot(const std::string& name) const {
  if (!pack_) return -1;
  long slot = pack_->pack().slotOf(name);
  if (slot < 0 && !isAscii(name)) {
    // A name written in UTF-8 for a pack whose names are GBK.
    std::string gbk;
    if (isValidUtf8(name) && utf8ToGbk(name, gbk)) slot = pack_->pack().slotOf(gbk);
  }
  return slot;
}

bool Engine::Resource_Prefetch(const char* filename) {
  if (!filename) return true;
  const long slot = packSlot(filename);
  return slot < 0 || pack_->prefetch(static_cast<size_t>(slot));
}

bool Engine::Effect_Prefetch(const char* filename) {
  if (audio_ && audio_->silent()) return true;
  return Resource_Prefetch(filename);
}

bool Engine::loadFromDisk(const std::string& name, std::vector<uint8_t>& out, std::string& error) {
  std::string path = name;
  for (char& c : path)
    if (c == '\\') c = '/';
  // A regular file within the pack's bound: a link to a device or a FIFO is
  // refused at once instead of blocking or reading without end.
  Expected<std::vector<uint8_t>> bytes = readFileBytes(path);
  if (!bytes && !isAscii(path) && bytes.error().what.rfind("cannot open", 0) == 0) {
    // A GBK name from the data for a file whose name on disk is UTF-8.
    Expected<std::vector<uint8_t>> converted = readFileBytes(gbkToUtf8(path));
    if (converted || converted.error().what.rfind("cannot open", 0) != 0) bytes = std::move(converted);
  }
  if (!bytes) {
    error = toUtf8(name) + ": " + bytes.error().what;
    return false;
  }
  out = std::move(*bytes);
  return true;
}

bool Engine::loadBytes(const char* name, uint32_t size, std::vector<uint8_t>& out, std::string& error) {
  out.clear();
  if (!name) {
    error = "no file name";
    return false;
  }
  if (size > 0) {  // a file already in memory
    const uint8_t* p = reinterpret_cast<const uint8_t*>(name);
    out.assign(p, p + size);
    return true;
  }
  if (lookup_) {
    // A mod's own picture or sound first; names from the data may be GBK.
    std::string key = name;
    std::replace(key.begin(), key.end(), '\\', '/');
    int found = lookup_(key, out, error);
    if (found == 0 && !isAscii(key)) found = lookup_(gbkToUtf8(key), out, error);
    if (found > 0) return true;
    if (found < 0) return false;
  }
  std::string packError;
  const long slot = packSlot(name);
  if (slot >= 0) {
    // Read on the loader's thread (at once, unless it was read already).
    bool firstFailure = false;
    if (pack_->take(static_cast<size_t>(slot), out, packError, firstFailure)) return true;
    if (firstFailure) log(toUtf8(packError));
  }
  if (loadFromDisk(name, out, error)) return true;
  if (!packError.empty()) error = toUtf8(packError);
  return false;
}

void* Engine::Resource_Load(const char* filename, uint32_t* size) {
  if (size) *size = 0;
  std::vector<uint8_t> bytes;
  std::string why;
  if (!loadBytes(filename, 0, bytes, why)) {
    log("Cannot load " + why);
    return nullptr;
  }
  // One spare zero byte, so text files can be read as C strings.
  uint8_t* block = static_cast<uint8_t*>(std::malloc(bytes.size() + 1));
  if (!block) {
    log("Cannot load " + toUtf8(filename) + ": out of memory");
    return nullptr;
  }
  if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
  block[bytes.size()] = 0;
  if (size) *size = static_cast<uint32_t>(bytes.size());
  return block;
}

void Engine::Resource_Free(void* res) { std::free(res); }

void Engine::Random_Seed(int seed) {
  if (seed != 0) {
    Random_SetSeed(seed);
    return;
  }
  // A fresh seed that can be given again (--seed N), so any run can be played again.
  auto now = std::chrono::system_clock::now().time_since_epoch();
  uint64_t mixed = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
  mixed = (mixed ^ (mixed >> 30)) * 0xbf58476d1ce4e5b9ULL;
  mixed = (mixed ^ (mixed >> 27)) * 0x94d049bb133111ebULL;
  mixed ^= mixed >> 31;
  Random_SetSeed(static_cast<int>(mixed % 0x7FFFFFFFULL) + 1);
}

void Engine::Random_SetSeed(int seed) {
  seed_ = seed;
  random_.seed(static_cast<uint32_t>(seed));
}

// ---- textures and sound ----

HTEXTURE Engine::Texture_Load(const char* filename, uint32_t size, bool) {
  std::vector<uint8_t> bytes;
  std::string why;
  if (!loadBytes(filename, size, bytes, why)) {
    log("Cannot load the texture " + why);
    return 0;
  }
  // Only the header is read here: the picture is decoded later.
  const std::string name = size ? std::string("in memory") : toUtf8(filename);
  const PictureSize header = textures_.check(bytes.data(), bytes.size(), why);
  if (header.format == PictureFormat::Unknown) {
    log("Cannot decode the texture " + name + ": " + why);
    return 0;
  }
  // In a window it is decoded ahead on another thread, to be ready when drawn.
  return textures_.addEncoded(std::move(bytes), header, name, initiated_ && !headless_);
}

void Engine::Texture_Free(HTEXTURE tex) {
  // Quads batched with this texture must reach the renderer before the
  // texture goes, or the batch would be drawn with a freed texture.
  if (quads_ && textures_.contains(tex)) {
    quads_->flush();
    quads_->forget(tex);
  }
  textures_.free(tex);
}

int Engine::Texture_GetWidth(HTEXTURE tex, bool) { return textures_.width(tex); }
int Engine::Texture_GetHeight(HTEXTURE tex, bool) { return textures_.height(tex); }

uint32_t Engine::loadUnread(const char* filename, uint32_t size, const char* what) {
  std::string why;
  uint64_t bytes = size;
  if (size == 0) {
    std::vector<uint8_t> modded;
    int found = 0;
    if (lookup_ && filename) {
      // A mod's file is on disk, not in the pack: read as before.
      std::string key = filename;
      std::replace(key.begin(), key.end(), '\\', '/');
      found = lookup_(key, modded, why);
      if (found == 0 && !isAscii(key)) found = lookup_(gbkToUtf8(key), modded, why);
      if (found < 0) {
        log(std::string("Cannot load the ") + what + " " + why);
        return 0;
      }
      bytes = modded.size();
    }
    const long slot = found > 0 || !filename ? -1 : packSlot(filename);
    if (slot >= 0) {
      bytes = pack_->pack().entrySize(static_cast<size_t>(slot));
      if (bytes > PackReader::kMaxEntrySize) {
        log(std::string("Cannot load the ") + what + " " + toUtf8(filename) + ": it is larger than the limit");
        return 0;
      }
    } else if (found == 0) {
      std::vector<uint8_t> ignored;
      if (!loadBytes(filename, 0, ignored, why)) {
        log(std::string("Cannot load the ") + what + " " + why);
        return 0;
      }
      bytes = ignored.size();
    }
  }
  const uint32_t handle = audio_->loadUnread(bytes, why);
  if (!handle)
    log(std::string("Cannot decode the ") + what + " " + (size ? std::string("in memory") : toUtf8(filename)) + ": " +
        why);
  return handle;
}

HEFFECT Engine::Effect_Load(const char* filename, uint32_t size) {
  if (!audio_) {
    log("Cannot load a sound before the engine starts");
    return 0;
  }
  if (audio_->silent()) return loadUnread(filename, size, "sound");
  std::vector<uint8_t> bytes;
  std::string why;
  if (!loadBytes(filename, size, bytes, why)) {
    log("Cannot load the sound " + why);
    return 0;
  }
  HEFFECT handle = audio_->loadEffect(std::move(bytes), why);
  if (!handle) log("Cannot decode the sound " + (size ? std::string("in memory") : toUtf8(filename)) + ": " + why);
  return handle;
}

HCHANNEL Engine::Effect_PlayEx(HEFFECT eff, int volume, int pan, float, bool loop) {
  if (eff == 0 || !audio_) return 0;
  return audio_->playEffect(eff, scaledVolume(volume, effectsLevel_), pan, loop);
}

void Engine::Channel_Stop(HCHANNEL chan) {
  if (chan != 0 && audio_) audio_->stopChannel(chan);
}

HSTREAM Engine::Stream_Load(const char* filename, uint32_t size) {
  if (!audio_) {
    log("Cannot load music before the engine starts");
    return 0;
  }
  if (audio_->silent()) return loadUnread(filename, size, "music");
  std::vector<uint8_t> bytes;
  std::string why;
  if (!loadBytes(filename, size, bytes, why)) {
    log("Cannot load the music " + why);
    return 0;
  }
  HSTREAM handle = audio_->loadStream(std::move(bytes), why);
  if (!handle) log("Cannot decode the music " + (size ? std::string("in memory") : toUtf8(filename)) + ": " + why);
  return handle;
}

HCHANNEL Engine::Stream_Play(HSTREAM stream, bool loop, int volume) {
  if (stream == 0 || !audio_) return 0;
  musicAsked_ = volume;
  return audio_->playStream(stream, loop, scaledVolume(volume, musicLevel_));
}

// ---- input ----

void Engine::Input_InjectKey(int key, bool down) {
  if (down)
    input_.game().press(key);
  else
    input_.game().release(key);
}

void Engine::Input_InjectRawKey(int key, bool down) {
  if (down)
    input_.raw().press(key);
  else
    input_.raw().release(key);
}

std::vector<std::string> Engine::Input_GetPads() {
  if (!initiated_ || !video_) return {};
  return video_->padNames();
}

std::vector<int> Engine::Input_GetPadSlots() {
  if (!initiated_ || !video_) return {};
  return video_->padSlots();
}

// ---- drawing ----

bool Engine::Gfx_BeginScene(HTARGET) {
  if (!initiated_) return false;
  inScene_ = true;
  drawing_ = video_->beginScene(drawAlways_ || screenshots_.count(frame_) != 0);
  return true;
}

void Engine::Gfx_EndScene() {
  if (!inScene_) return;
  if (drawing_) quads_->flush();
  std::vector<std::string> paths;
  if (auto it = screenshots_.find(frame_); it != screenshots_.end() && drawing_) {
    paths = std::move(it->second);
    screenshots_.erase(it);
  }
  std::vector<uint8_t> png;
  std::string why;
  if (!video_->endScene(paths.empty() ? nullptr : &png, why)) {
    for (const std::string& path : paths)
      reportOutputFailure("Cannot write the screenshot of frame " + std::to_string(frame_) + " to " + path + ": " + why);
    if (paths.empty()) log(why);
  } else {
    for (const std::string& path : paths)
      if (!writeCheckedFile(path, png, why))
        reportOutputFailure("Cannot write the screenshot of frame " + std::to_string(frame_) + " to " + why);
  }
  inScene_ = false;
  drawing_ = false;
}

void Engine::Gfx_Clear(uint32_t color) {
  if (inScene_ && drawing_) quads_->clear(color);
}

void Engine::Gfx_RenderQuad(const hgeQuad* quad) {
  if (!quad) return;
  ++quadCount_;
  if (captureHook_) captureHook_(*quad);
  if (inScene_ && drawing_) quads_->draw(*quad);
}
