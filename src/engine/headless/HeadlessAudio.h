// No audio device: sounds are found (so missing files are still noticed) but
// never read, and play silently.
#pragma once

#include <unordered_map>

#include "engine/AudioBackend.h"

class HeadlessAudio : public AudioBackend {
 public:
  void open(EngineLog&) override {}
  void close() override {}
  HEFFECT loadEffect(std::vector<uint8_t> bytes, std::string& error) override;
  HCHANNEL playEffect(HEFFECT effect, int volume, int pan, bool loop) override;
  void stopChannel(HCHANNEL) override {}
  HSTREAM loadStream(std::vector<uint8_t> bytes, std::string& error) override;
  HCHANNEL playStream(HSTREAM stream, bool loop, int volume) override;
  void setMusicVolume(int) override {}
  bool silent() const override { return true; }
  uint32_t loadUnread(uint64_t size, std::string& error) override;

 private:
  uint32_t next_ = 1;
};
