#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace assetgen {

namespace {

constexpr float kTwoPi = 6.2831853f;

std::vector<float> render(float seconds, const std::function<float(float t)>& voice) {
  std::vector<float> out(static_cast<size_t>(seconds * kSampleRate));
  for (size_t i = 0; i < out.size(); ++i) out[i] = voice(static_cast<float>(i) / kSampleRate);
  return out;
}

float env(float t, float attack, float decay) {
  if (t < attack) return t / attack;
  return std::exp(-(t - attack) / decay);
}

// Fades the last 10 ms so nothing clicks.
void tail(std::vector<float>& s) {
  size_t n = std::min<size_t>(s.size(), kSampleRate / 100);
  for (size_t i = 0; i < n; ++i) s[s.size() - 1 - i] *= static_cast<float>(i) / n;
}

std::vector<float> punch(float length, float thumpHz, float noiseMs, uint32_t seed) {
  Noise n{seed};
  LowPass lp;
  float phase = 0;
  return render(length, [&](float t) {
    float cutoff = 6000 * std::exp(-t * 30) + 300;
    float hiss = lp.step(n.next(), cutoff) * env(t, 0.001f, noiseMs / 1000);
    float f = thumpHz * (1 + 1.5f * std::exp(-t * 40));
    phase += kTwoPi * f / kSampleRate;
    float thump = std::sin(phase) * env(t, 0.002f, length * 0.35f);
    return 0.9f * hiss + thump;
  });
}

}  // namespace

float LowPass::step(float x, float cutoff) {
  float a = 1 - std::exp(-kTwoPi * cutoff / kSampleRate);
  y += a * (x - y);
  return y;
}

float midiToHz(float note) { return 440.0f * std::pow(2.0f, (note - 69) / 12.0f); }

void normalize(std::vector<float>& s, float peak) {
  float m = 0;
  for (float v : s) m = std::max(m, std::fabs(v));
  if (m > 0)
    for (float& v : s) v *= peak / m;
}

std::vector<uint8_t> wavBytes(const std::vector<float>& s, int channels) {
  std::vector<uint8_t> out;
  auto p32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 255);
  };
  auto p16 = [&](uint32_t v) {
    out.push_back(v & 255);
    out.push_back((v >> 8) & 255);
  };
  uint32_t data = static_cast<uint32_t>(s.size() * 2);
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  p32(36 + data);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  p32(16);
  p16(1);
  p16(channels);
  p32(kSampleRate);
  p32(kSampleRate * channels * 2);
  p16(channels * 2);
  p16(16);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  p32(data);
  for (float v : s) p16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767))));
  return out;
}

void makeSounds(Manifest& m) {
  const char* set = "system";
  auto add = [&](const char* file, const char* meaning, std::vector<float> s) {
    tail(s);
    normalize(s, kEffectPeak);
    m.addSound(set, file, meaning, wavBytes(s, 1));
  };
  add("punch.wav", "punch landing: noise burst and low thump", punch(0.18f, 110, 45, 1));
  add("heavy.wav", "heavy hit: longer, lower", punch(0.36f, 70, 90, 2));
  {
    Noise n{3};
    LowPass a, b;
    add("swing.wav", "swing: filtered noise sweeping up", render(0.22f, [&](float t) {
          float cutoff = 400 + 5000 * (t / 0.22f);
          float x = n.next();
          float band = a.step(x, cutoff) - b.step(x, cutoff * 0.35f);
          return 2.2f * band * std::sin(3.14159f * t / 0.22f);
        }));
  }
  {
    float ph = 0;
    Noise n{4};
    LowPass lp;
    add("jump.wav", "jump: a quick rising chirp", render(0.16f, [&](float t) {
          ph += kTwoPi * (220 + 1800 * t) / kSampleRate;
          return 0.6f * std::sin(ph) * env(t, 0.005f, 0.06f) + 0.3f * lp.step(n.next(), 2500) * env(t, 0.001f, 0.03f);
        }));
  }
  add("land.wav", "landing: a soft thud", punch(0.14f, 60, 20, 5));
  {
    add("door.wav", "door open: a two-note chime", render(0.48f, [&](float t) {
          float a = std::sin(kTwoPi * midiToHz(88) * t) + 0.3f * std::sin(kTwoPi * midiToHz(100) * t);
          float b = t > 0.12f ? std::sin(kTwoPi * midiToHz(95) * (t - 0.12f)) + 0.3f * std::sin(kTwoPi * midiToHz(107) * (t - 0.12f)) : 0;
          return a * env(t, 0.003f, 0.12f) + b * env(std::max(0.0f, t - 0.12f), 0.003f, 0.16f);
        }));
  }
  {
    add("death.wav", "death sting: falling notes", render(0.48f, [&](float t) {
          const float notes[] = {76, 72, 69, 64};
          int k = std::min(3, static_cast<int>(t / 0.1f));
          float lt = t - 0.1f * k;
          float f = midiToHz(notes[k]);
          float sq = std::sin(kTwoPi * f * t) > 0 ? 1.0f : -1.0f;
          return 0.5f * sq * env(lt, 0.003f, 0.09f) + 0.4f * std::sin(kTwoPi * f * 0.5f * t) * env(t, 0.01f, 0.25f);
        }));
  }
  {
    float ph = 0;
    Noise n{6};
    LowPass lp;
    add("special.wav", "special move: rising sweep with shimmer", render(0.45f, [&](float t) {
          ph += kTwoPi * (180 + 900 * t * t * 4) / kSampleRate;
          float saw = 2 * (ph / kTwoPi - std::floor(ph / kTwoPi)) - 1;
          float shimmer = lp.step(n.next(), 8000) * std::sin(kTwoPi * 30 * t);
          return (0.5f * saw + 0.3f * shimmer) * env(t, 0.05f, 0.2f);
        }));
  }
  add("block.wav", "light tap: a short knock", punch(0.1f, 180, 15, 7));
}

void makeSecondHeroSounds(Manifest& m, const std::string& set) {
  auto add = [&](const char* file, const char* meaning, std::vector<float> s) {
    tail(s);
    normalize(s, kEffectPeak);
    m.addSound(set, file, meaning, wavBytes(s, 1));
  };
  {
    Noise n{21};
    LowPass a, b;
    add("kick.wav", "kick: a short bright whip of air", render(0.14f, [&](float t) {
          float cutoff = 1500 + 9000 * (t / 0.14f);
          float x = n.next();
          float band = a.step(x, cutoff) - b.step(x, cutoff * 0.5f);
          return 2.6f * band * env(t, 0.01f, 0.05f);
        }));
  }
  {
    Noise n{22};
    LowPass a, b;
    add("whirl.wav", "whirlwind: three rushes of air, rising", render(0.6f, [&](float t) {
          float phase = t / 0.2f;
          float within = phase - std::floor(phase);
          float cutoff = 600 + 2500 * phase + 3000 * within;
          float x = n.next();
          float band = a.step(x, cutoff) - b.step(x, cutoff * 0.4f);
          return 2.4f * band * std::sin(3.14159f * within) * env(t, 0.02f, 0.5f);
        }));
  }
  {
    float ph = 0;
    add("shout.wav", "a short shout: a falling voiced tone", render(0.22f, [&](float t) {
          float f = 330 - 140 * t;
          ph += kTwoPi * f / kSampleRate;
          float voice = std::sin(ph) + 0.5f * std::sin(2 * ph) + 0.3f * std::sin(3 * ph);
          return 0.5f * voice * env(t, 0.01f, 0.09f);
        }));
  }
}

}  // namespace assetgen
