#include "engine/headless/HeadlessAudio.h"

HEFFECT HeadlessAudio::loadEffect(std::vector<uint8_t> bytes, std::string& error) {
  if (bytes.empty()) {
    error = "empty sound file";
    return 0;
  }
  return next_++;
}

HCHANNEL HeadlessAudio::playEffect(HEFFECT, int, int, bool) { return 0; }

HSTREAM HeadlessAudio::loadStream(std::vector<uint8_t> bytes, std::string& error) {
  if (bytes.empty()) {
    error = "empty music file";
    return 0;
  }
  return next_++;
}

HCHANNEL HeadlessAudio::playStream(HSTREAM, bool, int) { return 0; }
