#include "engine/sdl/SdlAudio.h"

#include <algorithm>

#include "engine/EngineLog.h"

namespace {

bool openDevice() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  return true;
}

int mixerVolume(int volume) { return std::clamp(volume, 0, 100) * MIX_MAX_VOLUME / 100; }

}  // namespace

SdlAudio::~SdlAudio() { close(); }

void SdlAudio::open(EngineLog& log) {
  Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3);
  if (!openDevice()) {
    std::string why = SDL_GetError();
    // An SDL_AUDIODRIVER set in the environment outranks a hint of normal
    // priority, so the silent driver has to override it. The hint is reset
    // once the device is open: it is only for this start.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    bool silent = openDevice();
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!silent) {
      log.write("No sound: cannot open an audio device (" + why + "), and no silent driver either: " +
                SDL_GetError());
      return;
    }
    log.write("No audio device (" + why + "); the game runs silently");
  }
  Mix_AllocateChannels(32);
  opened_ = true;
}

void SdlAudio::close() {
  if (!opened_) return;
  Mix_HaltChannel(-1);
  Mix_HaltMusic();
  effects_.clear();
  streams_.clear();
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  Mix_Quit();
  opened_ = false;
}

HEFFECT SdlAudio::loadEffect(std::vector<uint8_t> bytes, std::string& error) {
  if (!opened_) {
    error = "no sound";
    return 0;
  }
  if (bytes.empty()) {
    error = "empty sound file";
    return 0;
  }
  ChunkPtr chunk(Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1));
  if (!chunk) {
    error = Mix_GetError();
    return 0;
  }
  HEFFECT handle = next_++;
  effects_[handle] = std::move(chunk);
  return handle;
}

HCHANNEL SdlAudio::playEffect(HEFFECT effect, int volume, int pan, bool loop) {
  auto it = effects_.find(effect);
  if (it == effects_.end()) return 0;
  // Volume and panning go on a free channel before it starts: set after the
  // start, the mixer thread could play the first moments at the channel's
  // old settings (a quiet sound heard loud for a few milliseconds).
  int channel = Mix_GroupAvailable(-1);
  if (channel < 0) return 0;
  Mix_Volume(channel, mixerVolume(volume));
  int p = std::clamp(pan, -100, 100);
  // Full volume on the side panned to, less on the other; 255 and 255 is the centre.
  Mix_SetPanning(channel, static_cast<Uint8>(p > 0 ? 255 * (100 - p) / 100 : 255),
                 static_cast<Uint8>(p < 0 ? 255 * (100 + p) / 100 : 255));
  if (channel >= static_cast<int>(started_.size()) || Mix_PlayChannel(channel, it->second.get(), loop ? -1 : 0) < 0)
    return 0;
  const uint32_t count = ++started_[static_cast<size_t>(channel)] & 0xFFFFFF;
  return count * 256 + static_cast<HCHANNEL>(channel) + 1;
}

void SdlAudio::stopChannel(HCHANNEL handle) {
  if (handle == 0) return;
  const uint32_t channel = (handle & 0xFF) - 1;
  if (channel >= started_.size() || (started_[channel] & 0xFFFFFF) != handle / 256) return;
  Mix_HaltChannel(static_cast<int>(channel));
}

HSTREAM SdlAudio::loadStream(std::vector<uint8_t> bytes, std::string& error) {
  if (!opened_) {
    error = "no sound";
    return 0;
  }
  if (bytes.empty()) {
    error = "empty music file";
    return 0;
  }
  Music m;
  m.bytes = std::move(bytes);
  m.music.reset(Mix_LoadMUS_RW(SDL_RWFromConstMem(m.bytes.data(), static_cast<int>(m.bytes.size())), 1));
  if (!m.music) {
    error = Mix_GetError();
    return 0;
  }
  HSTREAM handle = next_++;
  streams_[handle] = std::move(m);
  return handle;
}

HCHANNEL SdlAudio::playStream(HSTREAM stream, bool loop, int volume) {
  auto it = streams_.find(stream);
  if (it == streams_.end()) return 0;
  Mix_VolumeMusic(mixerVolume(volume));
  if (Mix_PlayMusic(it->second.music.get(), loop ? -1 : 1) != 0) return 0;
  return 0x80000000u | stream;
}

void SdlAudio::setMusicVolume(int volume) {
  if (opened_) Mix_VolumeMusic(mixerVolume(volume));
}
