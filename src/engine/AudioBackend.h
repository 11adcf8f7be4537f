// Where sound goes: the audio device through SDL_mixer, or nowhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/hge.h"

class EngineLog;

class AudioBackend {
 public:
  virtual ~AudioBackend() = default;
  // Opens the device; logs one line when it has to run silently.
  virtual void open(EngineLog& log) = 0;
  virtual void close() = 0;
  // A sound effect from a whole file (WAV, OGG, MP3); 0 when it cannot be decoded.
  virtual HEFFECT loadEffect(std::vector<uint8_t> bytes, std::string& error) = 0;
  // Volume 0..100, pan -100..100. Returns the channel, 0 when nothing plays.
  virtual HCHANNEL playEffect(HEFFECT effect, int volume, int pan, bool loop) = 0;
  // Stops what playEffect started on `channel`, unless the channel has
  // started another sound since.
  virtual void stopChannel(HCHANNEL channel) = 0;
  // Music from a whole file; the bytes are kept for as long as the music.
  virtual HSTREAM loadStream(std::vector<uint8_t> bytes, std::string& error) = 0;
  virtual HCHANNEL playStream(HSTREAM stream, bool loop, int volume) = 0;
  // The volume (0..100) of the music playing and of music played from now on.
  virtual void setMusicVolume(int volume) = 0;
  // True when nothing is ever heard: sound files need only be found, not read.
  virtual bool silent() const { return false; }
  // For a silent backend: a handle for a sound or music file of `size` bytes
  // that is never read (0 with `error` when such a file could not play).
  virtual uint32_t loadUnread(uint64_t size, std::string& error) {
    (void)size;
    error = "this audio reads its files";
    return 0;
  }
};
