// The music's building blocks: the tempo, a stereo mix that wraps at its end
// so the loop joins without a seam, oscillators, envelopes and the
// instruments every section shares.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "Synth.h"

namespace assetgen::music {

constexpr float kTwoPi = 6.2831853f;
constexpr double kBpm = 124;
constexpr double kBeat = 60.0 / kBpm;
constexpr double kBar = 4 * kBeat;
constexpr float kEighth = static_cast<float>(kBeat / 2);
constexpr float kSixteenth = static_cast<float>(kBeat / 4);

class Mix {
 public:
  explicit Mix(size_t frames) : l_(frames), r_(frames) {}
  size_t frames() const { return l_.size(); }
  // Adds a voice from time `start` (seconds into the piece) for `seconds`;
  // samples past the end wrap to the beginning so that the loop joins
  // without a seam. `pan` runs from -1 (left) to 1 (right). The last 3 ms
  // fade out, so a voice cut off while still sounding does not click.
  template <typename Voice>
  void add(double start, double seconds, float pan, Voice voice) {
    size_t s0 = static_cast<size_t>(std::lround(start * kSampleRate));
    size_t n = static_cast<size_t>(seconds * kSampleRate);
    const size_t fade = kSampleRate * 3 / 1000;
    float gl = std::sqrt(0.5f * (1 - pan)), gr = std::sqrt(0.5f * (1 + pan));
    for (size_t i = 0; i < n; ++i) {
      float v = voice(static_cast<float>(i) / kSampleRate);
      if (n - i < fade) v *= static_cast<float>(n - i) / fade;
      size_t k = (s0 + i) % l_.size();
      l_[k] += v * gl;
      r_[k] += v * gr;
    }
  }
  std::vector<float> interleaved() const {
    std::vector<float> out(l_.size() * 2);
    for (size_t i = 0; i < l_.size(); ++i) {
      out[2 * i] = l_[i];
      out[2 * i + 1] = r_[i];
    }
    return out;
  }

 private:
  std::vector<float> l_, r_;
};

inline float saw(float ph) { return 2 * (ph - std::floor(ph)) - 1; }
inline float pulse(float ph, float w) { return (ph - std::floor(ph)) < w ? 1.0f : -1.0f; }
inline float tri(float ph) { return 4 * std::fabs(ph - std::floor(ph) - 0.5f) - 1; }
// Attack, decay to the sustain level, held until `len`, then released.
inline float adsr(float t, float len, float a, float d, float s, float r) {
  float v = t < a ? t / a : (t < a + d ? 1 - (1 - s) * (t - a) / d : s);
  if (t > len) v *= std::max(0.0f, 1 - (t - len) / r);
  return v;
}
inline float hz(int note) { return midiToHz(static_cast<float>(note)); }

// Plays a line of slots `slotLen` seconds long from `t0`: a note number starts
// a note, 0 holds the note before, -1 rests. `play(start, seconds, note)`.
template <typename Play>
void playLine(const int* slots, int count, double t0, double slotLen, Play play) {
  for (int e = 0; e < count; ++e) {
    if (slots[e] <= 0) continue;
    int len = 1;
    while (e + len < count && slots[e + len] == 0) ++len;
    play(t0 + e * slotLen, static_cast<float>(len * slotLen), slots[e]);
  }
}

// Drums. `seed` makes each hit's noise its own and the same on every run.
void kick(Mix& mix, double t, float gain);
void snare(Mix& mix, double t, float gain, uint32_t seed, float decay = 16, float pan = 0.05f);
void hat(Mix& mix, double t, float gain, bool open, uint32_t seed);
// A long bright wash of noise on a section's first beat.
void crash(Mix& mix, double t, float gain, uint32_t seed);
// `hits` short noise strikes `spacing` apart, growing from `gain` to `endGain`.
void fill(Mix& mix, double t, int hits, double spacing, float gain, float endGain, uint32_t seed);

// A chord of `count` notes held for `seconds`: two soft detuned saws per note
// through a low-pass at `cutoff`, spread across the stereo field.
void pad(Mix& mix, double t, double seconds, const int* notes, int count, float cutoff, float gain, float attack);

}  // namespace assetgen::music
