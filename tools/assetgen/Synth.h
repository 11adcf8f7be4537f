// Sound synthesis: oscillators, noise, envelopes and filters in plain
// floats, the game's sound effects, and WAV files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Manifest.h"

namespace assetgen {

constexpr int kSampleRate = 44100;

// A deterministic noise source (white, -1..1).
struct Noise {
  uint32_t state = 0x12345678u;
  float next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state) / 2147483648.0f - 1.0f;
  }
};

// A one-pole low-pass filter; `cutoff` in Hz may change every sample.
struct LowPass {
  float y = 0;
  float step(float x, float cutoff);
};

// The loudness budget of the mix. The game plays the music at full volume and
// every effect at half (GameRules), and SDL_mixer adds them with no limiter:
// the decoded music's peak plus the two loudest different effects of one frame
// must stay under -1 dBFS, so the music peaks near -10 dBFS and each effect
// file at -4.4 dBFS (about -10.5 dBFS as played).
constexpr float kMusicPeak = 0.32f;
constexpr float kEffectPeak = 0.6f;

float midiToHz(float note);
// Scales the samples so that the loudest reaches `peak`.
void normalize(std::vector<float>& samples, float peak);
// 16-bit PCM WAV bytes of mono or interleaved stereo samples in -1..1.
std::vector<uint8_t> wavBytes(const std::vector<float>& samples, int channels);

// The sound effects of the "system" set.
void makeSounds(Manifest& manifest);
// The second hero's own sounds, in its set: the snap of a kick, the whirlwind's
// spinning rush and a short shout.
void makeSecondHeroSounds(Manifest& manifest, const std::string& set);

}  // namespace assetgen
