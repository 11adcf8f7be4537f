// Sound through SDL_mixer. Without a usable device it falls back to SDL's
// dummy driver, so the game runs silently with every handle still valid.
#pragma once

#include <array>

#include <unordered_map>

#include "engine/AudioBackend.h"
#include "engine/SdlPtrs.h"

class SdlAudio : public AudioBackend {
 public:
  ~SdlAudio() override;
  void open(EngineLog& log) override;
  void close() override;
  HEFFECT loadEffect(std::vector<uint8_t> bytes, std::string& error) override;
  HCHANNEL playEffect(HEFFECT effect, int volume, int pan, bool loop) override;
  void stopChannel(HCHANNEL channel) override;
  HSTREAM loadStream(std::vector<uint8_t> bytes, std::string& error) override;
  HCHANNEL playStream(HSTREAM stream, bool loop, int volume) override;
  void setMusicVolume(int volume) override;

 private:
  struct Music {
    std::vector<uint8_t> bytes;  // SDL_mixer reads from it while the music lives
    MusicPtr music;
  };
  bool opened_ = false;
  std::unordered_map<HEFFECT, ChunkPtr> effects_;
  // Each channel's count of sounds started: a handle holds it with the
  // channel (handle = count * 256 + channel + 1), so a stale one stops nothing.
  std::array<uint32_t, 255> started_{};
  std::unordered_map<HSTREAM, Music> streams_;
  uint32_t next_ = 1;
};
