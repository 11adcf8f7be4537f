// The background music: a 68-bar loop at 124 beats per minute (2 min 12 s)
// in sections that change key, feel and instruments (MusicSections.h),
// rendered so that the end wraps into the start, and encoded as MP3 with
// libmp3lame.
#pragma once

#include <cstdint>
#include <vector>

#include "Manifest.h"

namespace assetgen {

// Interleaved stereo samples of one loop.
std::vector<float> renderMusic();
// MP3 bytes (128 kbit/s, with the encoder's gapless information).
std::vector<uint8_t> encodeMp3(const std::vector<float>& stereo);

// Writes pak/ui/hte/bg.mp3 (not listed in any set: the game streams it by path).
void makeMusic(Manifest& manifest);

}  // namespace assetgen
