#include "Music.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "Synth.h"

namespace assetgen {

namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr float kBpm = 124;
constexpr int kBars = 16;
constexpr float kBeat = 60.0f / kBpm;
constexpr float kEighth = kBeat / 2;

class Mix {
 public:
  explicit Mix(size_t frames) : l_(frames), r_(frames) {}
  size_t frames() const { return l_.size(); }
  // Adds a voice from time `start` for `seconds`; samples past the end wrap
  // to the beginning so that the loop joins without a seam.
  template <typename Voice>
  void add(float start, float seconds, float pan, Voice voice) {
    size_t s0 = static_cast<size_t>(start * kSampleRate);
    size_t n = static_cast<size_t>(seconds * kSampleRate);
    float gl = std::sqrt(0.5f * (1 - pan)), gr = std::sqrt(0.5f * (1 + pan));
    for (size_t i = 0; i < n; ++i) {
      float v = voice(static_cast<float>(i) / kSampleRate);
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

float saw(float ph) { return 2 * (ph - std::floor(ph)) - 1; }
float pulse(float ph, float w) { return (ph - std::floor(ph)) < w ? 1.0f : -1.0f; }
float adsr(float t, float len, float a, float d, float s, float r) {
  float v = t < a ? t / a : (t < a + d ? 1 - (1 - s) * (t - a) / d : s);
  if (t > len) v *= std::max(0.0f, 1 - (t - len) / r);
  return v;
}

// Chords per bar (A minor: i, VI, III, VII), as MIDI roots and chord tones.
const int kRoots[4] = {45, 41, 48, 43};  // A2, F2, C3, G2
const int kChords[4][3] = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}};

// The lead, eight eighths per bar; 0 holds the previous note, -1 rests.
const int kMelody[8][8] = {
    {76, 0, 74, 72, 0, 71, 72, 0}, {69, 0, 0, 72, 0, 77, 0, 76}, {76, 0, 74, 72, 0, 79, 0, 76},
    {74, 0, 0, 0, 71, 0, 74, 0},   {76, 0, 74, 72, 0, 71, 72, 0}, {69, 0, 72, 0, 77, 0, 81, 0},
    {79, 0, 77, 76, 0, 74, 72, 0}, {71, 0, 74, 0, 79, 0, 83, -1}};

void drums(Mix& mix, int bar) {
  float t0 = bar * 4 * kBeat;
  Noise n{static_cast<uint32_t>(1000 + bar)};
  for (int beat = 0; beat < 4; ++beat) {
    float t = t0 + beat * kBeat;
    bool kick = beat == 0 || beat == 2 || (bar % 4 == 3 && beat == 3);
    if (kick)
      mix.add(t, 0.3f, 0, [ph = 0.0f](float s) mutable {
        ph += (50 + 110 * std::exp(-s * 30)) / kSampleRate;
        return 0.9f * std::sin(kTwoPi * ph) * std::exp(-s * 9);
      });
    if (beat == 1 || beat == 3)
      mix.add(t, 0.22f, 0.05f, [n, lp = LowPass{}](float s) mutable {
        float noise = lp.step(n.next(), 5000);
        return (0.5f * noise + 0.3f * std::sin(kTwoPi * 190 * s)) * std::exp(-s * 16);
      });
    for (int h = 0; h < 2; ++h)
      mix.add(t + h * kEighth, 0.06f, 0.3f, [n, lp = LowPass{}, open = (h == 1)](float s) mutable {
        float x = n.next();
        float hi = x - lp.step(x, 6000);
        return 0.22f * hi * std::exp(-s * (open ? 40.0f : 80.0f));
      });
  }
  if (bar % 8 == 7)  // a fill into the next phrase
    for (int k = 0; k < 4; ++k)
      mix.add(t0 + 3 * kBeat + k * kBeat / 4, 0.12f, -0.1f, [n, lp = LowPass{}](float s) mutable {
        return 0.35f * lp.step(n.next(), 3000) * std::exp(-s * 20);
      });
}

}  // namespace

std::vector<float> renderMusic() {
  size_t frames = static_cast<size_t>(std::lround(kBars * 4 * kBeat * kSampleRate));
  Mix mix(frames);
  for (int bar = 0; bar < kBars; ++bar) {
    int c = bar % 4;
    float t0 = bar * 4 * kBeat;
    // Bass: driving eighths, root and octave.
    for (int e = 0; e < 8; ++e) {
      float f = midiToHz(static_cast<float>(kRoots[c] + (e % 4 == 3 ? 12 : 0)));
      mix.add(t0 + e * kEighth, kEighth * 1.2f, 0, [f, lp = LowPass{}](float s) mutable {
        float v = lp.step(saw(f * s) + 0.5f * pulse(f * 0.5f * s, 0.5f), 900 * std::exp(-s * 6) + 200);
        return 0.45f * v * adsr(s, kEighth * 0.85f, 0.004f, 0.05f, 0.7f, 0.03f);
      });
    }
    // Pad: the chord held through the bar, soft detuned saws.
    for (int k = 0; k < 3; ++k) {
      float f = midiToHz(static_cast<float>(kChords[c][k]));
      mix.add(t0, 4 * kBeat + 0.4f, k == 0 ? -0.4f : (k == 1 ? 0.4f : 0), [f, lp = LowPass{}](float s) mutable {
        float v = saw(f * s) + saw(f * 1.006f * s);
        return 0.07f * lp.step(v, 1400) * adsr(s, 4 * kBeat, 0.25f, 0.5f, 0.8f, 0.4f);
      });
    }
    // Arpeggio: sixteenths up the chord, an octave above, panned across.
    for (int k = 0; k < 16; ++k) {
      int note = kChords[c][k % 3] + 12 + (k % 6 >= 3 ? 12 : 0);
      float f = midiToHz(static_cast<float>(note));
      mix.add(t0 + k * kBeat / 4, 0.16f, (k % 2 ? 0.5f : -0.5f), [f](float s) {
        return 0.08f * pulse(f * s, 0.25f) * std::exp(-s * 22);
      });
    }
    // Lead from the second phrase on in full, first phrase from its fifth bar.
    if (bar >= 4) {
      const int* line = kMelody[(bar - 4) % 8];
      float octave = bar >= 12 ? 12.0f : 0.0f;
      for (int e = 0; e < 8; ++e) {
        if (line[e] <= 0) continue;
        int len = 1;
        while (e + len < 8 && line[e + len] == 0) ++len;
        float f = midiToHz(line[e] + octave);
        float dur = len * kEighth;
        mix.add(t0 + e * kEighth, dur + 0.15f, 0.1f, [f, dur, lp = LowPass{}](float s) mutable {
          float vib = 1 + 0.006f * std::sin(kTwoPi * 5.5f * s) * std::min(1.0f, s * 4);
          float v = 0.6f * pulse(f * vib * s, 0.5f) + 0.4f * saw(f * vib * s);
          return 0.16f * lp.step(v, 3200) * adsr(s, dur * 0.9f, 0.01f, 0.1f, 0.75f, 0.08f);
        });
      }
    }
    drums(mix, bar);
  }
  std::vector<float> out = mix.interleaved();
  normalize(out, kMusicPeak);
  return out;
}

std::vector<uint8_t> encodeMp3(const std::vector<float>& stereo) {
  lame_global_flags* gf = lame_init();
  if (!gf) throw std::runtime_error("libmp3lame: cannot start the encoder");
  lame_set_in_samplerate(gf, kSampleRate);
  lame_set_out_samplerate(gf, kSampleRate);
  lame_set_num_channels(gf, 2);
  lame_set_brate(gf, 128);
  lame_set_quality(gf, 5);
  lame_set_bWriteVbrTag(gf, 1);
  if (lame_init_params(gf) < 0) {
    lame_close(gf);
    throw std::runtime_error("libmp3lame: bad parameters");
  }
  size_t frames = stereo.size() / 2;
  std::vector<short> pcm(stereo.size());
  for (size_t i = 0; i < stereo.size(); ++i)
    pcm[i] = static_cast<short>(std::lround(std::clamp(stereo[i], -1.0f, 1.0f) * 32767));
  std::vector<uint8_t> out;
  std::vector<unsigned char> buf(static_cast<size_t>(1.25 * 4096 + 7200));
  const size_t chunk = 4096;
  for (size_t i = 0; i < frames; i += chunk) {
    int n = static_cast<int>(std::min(chunk, frames - i));
    int w = lame_encode_buffer_interleaved(gf, pcm.data() + 2 * i, n, buf.data(), static_cast<int>(buf.size()));
    if (w < 0) {
      lame_close(gf);
      throw std::runtime_error("libmp3lame: encoding failed");
    }
    out.insert(out.end(), buf.begin(), buf.begin() + w);
  }
  int w = lame_encode_flush(gf, buf.data(), static_cast<int>(buf.size()));
  if (w > 0) out.insert(out.end(), buf.begin(), buf.begin() + w);
  // The first frame was written as a placeholder for the stream's information
  // (length, encoder delay and padding for gapless looping): fill it in.
  std::vector<unsigned char> tag(4096);
  size_t tagSize = lame_get_lametag_frame(gf, tag.data(), tag.size());
  if (tagSize > 0 && tagSize <= out.size()) std::copy(tag.begin(), tag.begin() + tagSize, out.begin());
  lame_close(gf);
  return out;
}

void makeMusic(Manifest& m) { writeBytes(m.path("pack/pak/ui/hte/bg.mp3"), encodeMp3(renderMusic())); }

}  // namespace assetgen
