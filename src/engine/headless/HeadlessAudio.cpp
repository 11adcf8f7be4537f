#include "engine/headless/HeadlessAudio.h"

uint32_t HeadlessAudio::loadUnread(uint64_t size, std::string& error) {
  if (size == 0) {
    error = "empty file";
    return 0;
  }
  return next_++;
}

HEFFECT HeadlessAudio::loadEffect(std::vector<uint8_t> bytes, std::string& error) {
  return loadUnread(bytes.size(), error);
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
